// The item values of a list-holding control (combo box, list box, tree
// view): the Qt model keeps only an id per item (an int in Qt::UserRole,
// -1 for none), the values live here under (id, column).
//
// Ids come from a counter that the owner sets (normally to 1) and only grow:
// clearing keeps the counter, so an id once handed out never names another
// item's value.
#pragma once

#include "AUILibAny.h"

#include <map>
#include <unordered_map>

namespace AUILib {

class ItemDataMap {
public:
    void SetNextId(int id) { nextId_ = id; }
    int GetNextId() const { return nextId_; }

    // Stores a copy under a new id and returns it; an empty value takes the
    // id without a column entry.
    int Add(int column, const any& value)
    {
        const int id = nextId_++;
        std::unordered_map<int, any>& columns = values_[id];
        if (value.has_value())
            columns[column] = value;
        return id;
    }

    // A copy of the value, empty when the id or the column is missing.
    any Get(int id, int column) const
    {
        const auto entry = values_.find(id);
        if (entry == values_.end())
            return any();
        const auto value = entry->second.find(column);
        return value == entry->second.end() ? any() : value->second;
    }

    // Sets the value of an existing id and returns it; an unknown id adds
    // the value under a new id instead and returns that.
    int Set(int id, int column, const any& value)
    {
        const auto entry = values_.find(id);
        if (entry == values_.end())
            return Add(column, value);
        if (value.has_value())
            entry->second[column] = value;
        else
            entry->second.erase(column);
        return id;
    }

    bool Contains(int id) const { return values_.count(id) != 0; }
    // True when the id had an entry.
    bool Erase(int id) { return values_.erase(id) != 0; }
    void Clear() { values_.clear(); }
    size_t Size() const { return values_.size(); }

private:
    int nextId_ = 1;
    std::map<int, std::unordered_map<int, any>> values_;
};

} // namespace AUILib

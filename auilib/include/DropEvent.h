// The library event of a drop: where (rounded, in the watched widget) and
// the paths of the dropped URLs in order.
#pragma once

#include "Event.h"

#include <string>
#include <vector>

namespace AUILib {

class DropEvent : public Event {
public:
    static constexpr Event::Type DropType = static_cast<Event::Type>(63);

    DropEvent(const Point& position, std::vector<std::wstring> files)
        : Event(DropType), position(position), files(std::move(files))
    {
    }

    Point position;
    std::vector<std::wstring> files;
};

} // namespace AUILib

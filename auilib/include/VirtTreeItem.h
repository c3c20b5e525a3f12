// A node of the tree control's virtual mode: a plain object much lighter
// than a QStandardItem, owned by its parent node (the invisible root by the
// model). The view learns about changes only when the caller refreshes it.
#pragma once

#include "AUILibAny.h"

#include <QList>
#include <QVariant>

#include <memory>
#include <string>
#include <utility>

namespace AUILib {

class VirtTreeItem {
public:
    explicit VirtTreeItem(VirtTreeItem* parent);
    ~VirtTreeItem();
    VirtTreeItem(const VirtTreeItem&) = delete;
    VirtTreeItem& operator=(const VirtTreeItem&) = delete;

    // Takes ownership; sets the child's level and row.
    void AppendChild(VirtTreeItem* child);
    void RemoveChilds();
    VirtTreeItem* Child(int i) const;
    int ChildCount() const { return children_.size(); }
    int Row() const { return row_; }
    void SetRow(int row) { row_ = row; }
    int Level() const { return level_; }
    VirtTreeItem* ParentItem() const { return parent_; }
    QList<VirtTreeItem*>& GetChildItems() { return children_; }

    void SetText(const std::wstring& text) { text_ = text; }
    const std::wstring& GetText() const { return text_; }
    void SetTooltip(const std::wstring& text);
    const std::wstring& GetTooltip() const;
    void SetData(any data) { data_ = std::move(data); }
    any GetData() const { return data_; }
    void SetChecked(bool checked) { checked_ = checked; }
    bool GetChecked() const { return checked_; }
    void SetCheckAll(bool checkAll) { checkAll_ = checkAll; }
    bool IsCheckAll() const { return checkAll_; }
    // Negative indexes are ignored: the node keeps its picture.
    void SetIcon(int index);
    int GetIcon() const { return icon_; }
    // Inclusive character range drawn in bold; a negative bound keeps the
    // bound stored before.
    void SetBoldTextPosition(int start, int end);
    std::pair<int, int> GetBoldTextPosition() const { return {boldStart_, boldEnd_}; }

    QVariant Data(int role, int column) const;

private:
    QList<VirtTreeItem*> children_;
    VirtTreeItem* parent_;
    int level_ = 0;
    int row_ = 0;
    bool checked_ = false;
    bool checkAll_ = false;
    std::wstring text_;
    // Few nodes have one: kept apart, so that the others do not carry an
    // empty string each (a tree may hold millions of nodes).
    std::unique_ptr<std::wstring> tooltip_;
    int icon_ = -1;
    any data_;
    int boldStart_ = -1;
    int boldEnd_ = -1;
};

} // namespace AUILib

// A tree control on a shown window, filled through the control with seven
// items on three levels:
//   A (A1 (A1a), A2), B (B1, B2)
// and helpers that write the tree as a nested string and click at points of
// the viewport with the cursor placed there first (the control's handlers
// read the cursor and the keyboard state, not the event).
#pragma once

#include "TreeView.h"
#include "TreeViewImplQt.h"
#include "TreeViewQt.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QStandardItem>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <initializer_list>
#include <list>
#include <map>
#include <memory>
#include <string>

namespace treekit {

inline std::string Nested(const QStandardItem* parent)
{
    std::string out;
    for (int row = 0; row < parent->rowCount(); ++row) {
        const QStandardItem* item = parent->child(row, 0);
        if (!out.empty())
            out += ",";
        out += item->text().toStdString();
        if (item->rowCount() > 0)
            out += "(" + Nested(item) + ")";
    }
    return out;
}

inline std::string Nested(AUILib::TreeView& tree)
{
    auto* view = static_cast<AUILib::TreeViewQt*>(tree.GetBaseImpl()->GetWndPtr());
    auto* model = view ? qobject_cast<QStandardItemModel*>(view->model()) : nullptr;
    return model ? Nested(model->invisibleRootItem()) : std::string("<gone>");
}

class TreeFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = new QWidget;
        window_->resize(320, 420);
        tree_ = std::make_shared<AUILib::TreeView>();
        tree_->Create(window_);
        View()->setGeometry(0, 0, 320, 420);
        Fill();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    }

    void TearDown() override
    {
        tree_.reset();
        delete window_.data();
    }

    void Fill()
    {
        using AUILib::TreeItemLast;
        auto& t = *tree_;
        items_["A"] = t.InsertItem(L"A", nullptr, TreeItemLast);
        items_["A1"] = t.InsertItem(L"A1", items_["A"], TreeItemLast);
        items_["A1a"] = t.InsertItem(L"A1a", items_["A1"], TreeItemLast);
        items_["A2"] = t.InsertItem(L"A2", items_["A"], TreeItemLast);
        items_["B"] = t.InsertItem(L"B", nullptr, TreeItemLast);
        items_["B1"] = t.InsertItem(L"B1", items_["B"], TreeItemLast);
        items_["B2"] = t.InsertItem(L"B2", items_["B"], TreeItemLast);
    }

    QStandardItem* I(const std::string& name) { return items_.at(name); }
    AUILib::TreeViewQt* View() { return static_cast<AUILib::TreeViewQt*>(tree_->GetBaseImpl()->GetWndPtr()); }
    AUILib::TreeView::impl* Impl() { return static_cast<AUILib::TreeView::impl*>(tree_->GetBaseImpl().get()); }
    // On the text, clear of a check box or an icon at the row's start.
    QPoint TextPoint(QStandardItem* item)
    {
        const QRect r = View()->visualRect(item->index());
        return QPoint(r.right() - 3, r.center().y());
    }
    QRect CheckRect(QStandardItem* item) { return CheckRect(item->index()); }
    QRect CheckRect(const QModelIndex& index)
    {
        // The check box as the control's hit test computes it.
        QStyleOptionViewItem option;
        option.initFrom(View());
        option.rect = View()->visualRect(index);
        option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
        option.text = index.data().toString();
        return View()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, nullptr);
    }
    QPoint CheckPoint(QStandardItem* item) { return CheckRect(item).center(); }
    // Clicks at a viewport point, the cursor placed there first.
    void Click(const QPoint& at, Qt::KeyboardModifiers mods = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton)
    {
        QWidget* viewport = View()->viewport();
        QCursor::setPos(viewport->mapToGlobal(at));
        QTest::mouseClick(viewport, button, mods, at);
    }
    void ExpandAll() { View()->expandAll(); }
    // Checked flags of the named items, as a string of 0 and 1.
    std::string Checks(std::initializer_list<const char*> names)
    {
        std::string out;
        for (const char* name : names)
            out += tree_->GetCheck(I(name)) ? '1' : '0';
        return out;
    }
    std::string Names(const std::list<QStandardItem*>& list)
    {
        std::string out;
        for (QStandardItem* item : list)
            out += (out.empty() ? "" : ",") + item->text().toStdString();
        return out;
    }

    QPointer<QWidget> window_;
    std::shared_ptr<AUILib::TreeView> tree_;
    std::map<std::string, QStandardItem*> items_;
};

} // namespace treekit

// Dropping rows inside the tree: drag-enter, drag-move and drop events with
// the view's own data reach the viewport while a drag that the view started
// runs, so they name the view as their source, as a user's drag inside it
// does. A process of its own on the minimal platform, whose drag runs until
// it is cancelled; the offscreen platform's drag ends at once.
#include "TreeTestKit.h"

#include "SignalRecorder.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTimer>

#include <functional>

using treekit::Nested;

namespace {

enum class Where { Above, On, Below };

class TreeDropTest : public treekit::TreeFixture {
protected:
    void SetUp() override
    {
        TreeFixture::SetUp();
        ASSERT_TRUE(tree_->EnableRowsDragAndDrop(true));
        ExpandAll();
    }

    // A point on the item's row: near its top edge, its middle or its
    // bottom edge, where the view places the drop above, on or below it.
    QPoint Point(QStandardItem* item, Where where)
    {
        const QRect r = View()->visualRect(item->index());
        const int y = where == Where::Above ? r.top() + 1 : where == Where::Below ? r.bottom() - 1 : r.center().y();
        return QPoint(r.left() + 5, y);
    }

    // Runs steps inside a drag of the selected items that the view started.
    void DuringOwnDrag(const std::function<void(const QMimeData*)>& steps) { DuringDrag(View(), steps); }

    void DuringDrag(QObject* source, const std::function<void(const QMimeData*)>& steps)
    {
        // Away from the window, so the platform sends nothing of its own.
        QCursor::setPos(window_->mapToGlobal(QPoint(window_->width() + 200, window_->height() + 200)));
        const QModelIndexList selected = View()->selectionModel()->selectedIndexes();
        auto* drag = new QDrag(source);
        drag->setMimeData(View()->model()->mimeData(selected));
        const QMimeData* data = drag->mimeData();
        bool ran = false;
        QTimer::singleShot(0, View(), [&] {
            ran = true;
            // The drag enters the view first: the moves and the drop go to
            // the widget that accepted the entry.
            QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(View()->viewport(), &enter);
            EXPECT_EQ(enter.isAccepted(), source == View());
            steps(data);
            // The drag leaves, as a cancelled drag does: the application
            // forgets its target, and the view its dragging state.
            QDragLeaveEvent leave;
            QApplication::sendEvent(View()->viewport(), &leave);
            QDrag::cancel();
        });
        drag->exec(Qt::MoveAction);
        ASSERT_TRUE(ran);
    }

    // A drag move to the point; whether the view accepted a drop there.
    bool MoveTo(const QMimeData* data, const QPoint& at)
    {
        QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(View()->viewport(), &move);
        return move.isAccepted() && move.dropAction() != Qt::IgnoreAction && View()->showDropIndicator();
    }

    void DropAt(const QMimeData* data, const QPoint& at)
    {
        QDropEvent drop(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(View()->viewport(), &drop);
    }

    void Select(std::initializer_list<const char*> names)
    {
        View()->selectionModel()->clearSelection();
        for (const char* name : names)
            tree_->SelectItem(I(name), true);
    }

    void Refill()
    {
        tree_->RemoveAllItems(false);
        items_.clear();
        Fill();
        ExpandAll();
    }
};

TEST_F(TreeDropTest, DropMovesTheDraggedItemsThere)
{
    struct Case {
        std::initializer_list<const char*> dragged;
        const char* target;
        Where where;
        const char* expected;
    };
    const Case cases[] = {
        {{"B1"}, "A2", Where::On, "A(A1(A1a),A2(B1)),B(B2)"},
        {{"B1"}, "A2", Where::Below, "A(A1(A1a),A2,B1),B(B2)"},
        {{"B2"}, "A2", Where::Above, "A(A1(A1a),B2,A2),B(B1)"},   // after the previous sibling
        {{"B1"}, "A1", Where::Above, "A(B1,A1(A1a),A2),B(B2)"},   // first child of the parent
        {{"B1"}, "A", Where::Above, "B1,A(A1(A1a),A2),B(B2)"},    // first at the top level
        {{"A1"}, "B", Where::On, "A(A2),B(A1(A1a),B1,B2)"},       // with its subtree
        {{"A"}, "A1a", Where::On, "A(A1(A1a),A2),B(B1,B2)"},      // into itself: nothing moves
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Refill();
        tree_->SetMultiSelection(true);
        Select(c.dragged);
        SignalRecorder<QStandardItem*, std::vector<QStandardItem*>&, bool> moved(tree_->OnItemsMoved);
        const QPoint at = Point(I(c.target), c.where);
        DuringOwnDrag([&](const QMimeData* data) {
            MoveTo(data, at);
            DropAt(data, at);
        });
        EXPECT_EQ(Nested(*tree_), c.expected);
        const bool moves = Nested(*tree_) != "A(A1(A1a),A2),B(B1,B2)";
        EXPECT_EQ(moved.Count(), moves ? 1u : 0u);
        EXPECT_EQ(tree_->Count(), 7);
    }
}

TEST_F(TreeDropTest, SingleRootRefusesAboveAndBelowTheTopLevel)
{
    tree_->RemoveItem(I("B"));
    EXPECT_FALSE(tree_->IsSingleRoot());
    tree_->SetSingleRoot(true);
    EXPECT_TRUE(tree_->IsSingleRoot());
    struct Case {
        const char* dragged;
        const char* target;
        Where where;
        bool accepted;
        const char* expected;
    };
    const Case cases[] = {
        {"A2", "A", Where::Above, false, "A(A1(A1a),A2)"},
        {"A2", "A", Where::Below, false, "A(A1(A1a),A2)"},
        {"A2", "A1", Where::On, true, "A(A1(A2,A1a))"},
        {"A1a", "A2", Where::Below, true, "A(A1,A2,A1a)"},    // beside an item with a parent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dragged) + " to " + c.target);
        tree_->SetSingleRoot(false);
        Refill();
        tree_->RemoveItem(I("B"));
        tree_->SetSingleRoot(true);
        Select({c.dragged});
        const QPoint at = Point(I(c.target), c.where);
        DuringOwnDrag([&](const QMimeData* data) {
            EXPECT_EQ(MoveTo(data, at), c.accepted);
            // A platform may deliver the drop all the same.
            DropAt(data, at);
        });
        EXPECT_EQ(Nested(*tree_), c.expected);
    }
}

TEST_F(TreeDropTest, ARefusedPlaceDoesNotMisplaceTheNextDrop)
{
    // After the refusal above the single root, the drag moves on to below
    // A2 and drops there at once.
    tree_->RemoveItem(I("B"));
    tree_->SetSingleRoot(true);
    Select({"A1a"});
    DuringOwnDrag([&](const QMimeData* data) {
        EXPECT_FALSE(MoveTo(data, Point(I("A"), Where::Above)));
        EXPECT_TRUE(MoveTo(data, Point(I("A2"), Where::Below)));
        DropAt(data, Point(I("A2"), Where::Below));
    });
    EXPECT_EQ(Nested(*tree_), "A(A1,A2,A1a)");
}

TEST_F(TreeDropTest, CanMoveCallbackIsAskedAtEveryMove)
{
    std::vector<std::tuple<QStandardItem*, bool>> asked;
    bool answer = false;
    tree_->SetDragAndDropCanMove([&](QStandardItem* reference, std::vector<QStandardItem*>& items, bool after) {
        EXPECT_EQ(items.size(), 1u);
        asked.emplace_back(reference, after);
        return answer;
    });
    Select({"B1"});
    DuringOwnDrag([&](const QMimeData* data) {
        EXPECT_FALSE(MoveTo(data, Point(I("A2"), Where::On)));
        answer = true;
        EXPECT_TRUE(MoveTo(data, Point(I("A2"), Where::Below)));
        EXPECT_TRUE(MoveTo(data, Point(I("A2"), Where::Above)));   // after A1
        EXPECT_TRUE(MoveTo(data, Point(I("A1"), Where::Above)));   // first child of A
    });
    using Asked = std::tuple<QStandardItem*, bool>;
    EXPECT_EQ(asked, (std::vector<Asked>{Asked{I("A2"), false}, Asked{I("A2"), true}, Asked{I("A1"), true},
                                         Asked{I("A"), false}}));
    EXPECT_EQ(Nested(*tree_), "A(A1(A1a),A2),B(B1,B2)");
}

TEST_F(TreeDropTest, DropFromElsewhereMovesNothing)
{
    Select({"B1"});
    const QPoint at = Point(I("A2"), Where::On);
    DuringDrag(window_, [&](const QMimeData* data) {
        EXPECT_FALSE(MoveTo(data, at));
        DropAt(data, at);
    });
    EXPECT_EQ(Nested(*tree_), "A(A1(A1a),A2),B(B1,B2)");
}

} // namespace

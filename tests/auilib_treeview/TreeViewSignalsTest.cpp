// Signals of the tree control that input to its view fires: a collapse
// through the keyboard, a double click, a key release, a right click, a text
// change, a label editor opening, and in virtual mode a collapse and a right
// click. Each fires once with the item the input was about, and a handler may
// destroy its control, its dialog or the dialog's window, at once too.
#include "TreeFormScene.h"

#include "ControlGoneKit.h"
#include "SignalRecorder.h"
#include "VirtTreeItem.h"

#include <QCursor>
#include <QStandardItem>

#include <functional>
#include <string>
#include <vector>

using AUILib::TreeView;
using AUILib::VirtTreeItem;

namespace {

std::string Describe(QStandardItem* item) { return item ? item->text().toStdString() : "<null>"; }
std::string Describe(VirtTreeItem* item) { return item ? QString::fromStdWString(item->GetText()).toStdString() : "<null>"; }
std::string Describe(AUILib::Event::Key key) { return "key " + std::to_string(static_cast<int>(key)); }

// The index at a path of rows from the top level, read from the view alone,
// so that input can still be aimed once the control is gone.
QModelIndex At(QTreeView* view, std::initializer_list<int> rows)
{
    QModelIndex index;
    for (int row : rows)
        index = view->model()->index(row, 0, index);
    return index;
}

// Clicks at the middle of an index's row, the cursor placed there first.
void ClickAt(QTreeView* view, const QModelIndex& index, Qt::MouseButton button)
{
    const QPoint at = view->visualRect(index).center();
    QCursor::setPos(view->viewport()->mapToGlobal(at));
    QTest::mouseClick(view->viewport(), button, Qt::NoModifier, at);
}

// One shown window holding one tree control: from the tree form through a
// dialog, or made on a plain window whose only owner of the control is here.
class Scene {
public:
    explicit Scene(bool fromForm)
    {
        if (fromForm) {
            form_ = std::make_unique<treekit::TreeFormScene>();
            tree = form_->tree;
            window = form_->window;
            shown = tree && form_->ShowActive();
        } else {
            plainWindow_ = new QWidget;
            plainWindow_->resize(320, 300);
            window = plainWindow_;
            tree = std::make_shared<TreeView>();
            tree->Create(plainWindow_);
            tree->GetBaseImpl()->GetWndPtr()->setGeometry(10, 10, 300, 280);
            shown = ShowUnplaced(plainWindow_, QRect(0, 0, 320, 300));
        }
        if (tree)
            view = qobject_cast<AUILib::TreeViewQt*>(tree->GetBaseImpl()->GetWndPtr());
    }
    ~Scene()
    {
        tree.reset();
        form_.reset();
        delete plainWindow_.data();
        RunPostedAndDeferredDeletes();
    }

    // A (A1 (A1a), A2), B (B1) in standard mode;
    // V0 (V0a, V0b), V1 (V1a) in virtual mode.
    void Fill(bool virtualMode)
    {
        using AUILib::TreeItemLast;
        if (!virtualMode) {
            QStandardItem* a = tree->InsertItem(L"A", nullptr, TreeItemLast);
            tree->InsertItem(L"A1a", tree->InsertItem(L"A1", a, TreeItemLast), TreeItemLast);
            tree->InsertItem(L"A2", a, TreeItemLast);
            tree->InsertItem(L"B1", tree->InsertItem(L"B", nullptr, TreeItemLast), TreeItemLast);
            return;
        }
        tree->SetVirtualMode(true);
        VirtTreeItem* v0 = tree->AddVirtualTreeItem(L"V0", nullptr);
        tree->AddVirtualTreeItem(L"V0a", v0);
        tree->AddVirtualTreeItem(L"V0b", v0);
        tree->AddVirtualTreeItem(L"V1a", tree->AddVirtualTreeItem(L"V1", nullptr));
        tree->UpdateVirtualView();
    }

    // Destroys what the scene's handler is told to destroy.
    void DestroyControl()
    {
        tree.reset();
        if (form_)
            form_->tree.reset();
    }
    // The window lives on as a plain dialog, and with it the control.
    void DestroyDialog()
    {
        DestroyControl();
        form_->dialog.reset();
    }
    void CloseWindow()
    {
        DestroyDialog();
        if (window)
            window->close();   // a dialog window deletes itself on close, later
    }
    // The window goes at once, with the view and its delegate, while the
    // control still names them; the control is dropped afterwards.
    void DeleteWindow()
    {
        delete window.data();
        DestroyControl();
    }

    std::shared_ptr<TreeView> tree;
    QPointer<AUILib::TreeViewQt> view;
    QPointer<QWidget> window;
    bool shown = false;

private:
    std::unique_ptr<treekit::TreeFormScene> form_;
    QPointer<QWidget> plainWindow_;
};

struct SignalCase {
    const char* name;
    bool virtualMode;
    std::function<void(Scene&)> prepare;   // through the control, before the input
    std::function<void(QTreeView*)> input; // real events to the view only
    std::string expected;
    // Records the signal around the input: emissions and the last argument.
    std::function<std::pair<size_t, std::string>(Scene&)> record;
    std::function<void(Scene&, std::function<void()>)> connectDestroying;
    // Qt's own handling of the input goes on using the view after the
    // signal, so its handlers must not delete the window at once.
    bool qtGoesOn = false;
};

SignalCase QtGoesOn(SignalCase c)
{
    c.qtGoesOn = true;
    return c;
}

// The signal's first argument names the case's item.
template <typename... Args>
SignalCase MakeCase(const char* name, bool virtualMode, AUILib::Signal<Args...> TreeView::*signal,
                    std::function<void(Scene&)> prepare, std::function<void(QTreeView*)> input, std::string expected)
{
    SignalCase c{name, virtualMode, prepare, input, expected, nullptr, nullptr};
    c.record = [signal, input](Scene& scene) {
        SignalRecorder<Args...> recorder((*scene.tree).*signal);
        input(scene.view);
        const size_t count = recorder.Count();
        return std::make_pair(count, count ? Describe(std::get<0>(recorder.Last())) : std::string());
    };
    c.connectDestroying = [signal](Scene& scene, std::function<void()> destroy) {
        ((*scene.tree).*signal).Connect([destroy](Args...) { destroy(); });
    };
    return c;
}

std::vector<SignalCase> Cases()
{
    auto keyClick = [](Qt::Key key) { return [key](QTreeView* view) { QTest::keyClick(view, key); }; };
    auto renameB = [](QTreeView* view) { view->model()->setData(At(view, {1}), QStringLiteral("B2")); };
    auto editB = [](QTreeView* view) { view->edit(At(view, {1})); };
    auto none = [](Scene&) {};
    return {
        QtGoesOn(MakeCase<QStandardItem*>(
            "collapse by the Left key", false, &TreeView::OnItemCollapsed,
            [](Scene& s) {
                QStandardItem* a = s.tree->GetRootItem();
                s.tree->SetExpanded(a, true);
                s.tree->SetCurrentItem(a);
            },
            keyClick(Qt::Key_Left), "A")),
        MakeCase<QStandardItem*>(
            "double click on a leaf", false, &TreeView::OnItemDoubleClicked,
            [](Scene& s) { s.tree->SetExpanded(s.tree->GetRootItem(), true); },
            [](QTreeView* view) {
                // What the platform delivers: press, release, press, double
                // click, release.
                const QPoint at = view->visualRect(At(view, {0, 1})).center();
                QCursor::setPos(view->viewport()->mapToGlobal(at));
                QPointer<QWidget> viewport = view->viewport();
                QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
                QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, at);
                QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
                if (viewport)
                    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at);
            },
            "A2"),
        MakeCase<AUILib::Event::Key>(
            "key release", false, &TreeView::OnKeyReleased, [](Scene&) {},
            [](QTreeView* view) { QTest::keyRelease(view, Qt::Key_C); },
            "key " + std::to_string(AUILib::Event::Key_A + 2)),
        QtGoesOn(MakeCase<VirtTreeItem*>(
            "virtual collapse by the Left key", true, &TreeView::OnVirtualItemCollapsed,
            [](Scene& s) {
                VirtTreeItem* v0 = s.tree->GetChildItem(s.tree->RootItem(), 0);
                s.tree->SetExpanded(v0, true);
                s.tree->SetCurrentVirtualItem(v0);
            },
            keyClick(Qt::Key_Left), "V0")),
        MakeCase<QStandardItem*>("right click", false, &TreeView::OnItemRightClicked, none,
                                 [](QTreeView* view) { ClickAt(view, At(view, {1}), Qt::RightButton); }, "B"),
        MakeCase<QStandardItem*, std::wstring>("text changed", false, &TreeView::OnItemTextChanged, none, renameB,
                                               "B2"),
        MakeCase<QStandardItem*, std::wstring, std::wstring>("text edited", false, &TreeView::OnItemTextEdited, none,
                                                             renameB, "B2"),
        MakeCase<QStandardItem*>("label editor begins", false, &TreeView::OnLabelEditBegin, none, editB, "B"),
        MakeCase<QStandardItem*, AUILib::Edit*>("label editor made", false, &TreeView::OnEditorCreated, none, editB,
                                                "B"),
        MakeCase<VirtTreeItem*>(
            "virtual right click", true, &TreeView::OnVirtualItemRightClicked, [](Scene&) {},
            [](QTreeView* view) { ClickAt(view, At(view, {1}), Qt::RightButton); }, "V1"),
    };
}

TEST(TreeViewSignals, RealInputFiresOnceWithItsItem)
{
    for (const SignalCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        Scene scene(true);
        ASSERT_TRUE(scene.shown);
        scene.Fill(c.virtualMode);
        c.prepare(scene);
        const auto fired = c.record(scene);
        EXPECT_EQ(fired.first, 1u);
        EXPECT_EQ(fired.second, c.expected);
    }
}

TEST(TreeViewSignals, HandlerMayDestroyItsControlDialogOrWindow)
{
    struct Destruction {
        const char* name;
        bool fromForm;
        void (Scene::*destroy)();
        bool controlGoes;   // at once, or with the window at the latest
        bool atOnce;        // the window is deleted in the handler
    };
    const Destruction destructions[] = {
        {"control on a plain window", false, &Scene::DestroyControl, true, false},
        {"dialog", true, &Scene::DestroyDialog, false, false},
        {"dialog and closes its window", true, &Scene::CloseWindow, true, false},
        {"dialog's window at once", true, &Scene::DeleteWindow, true, true},
    };
    for (const SignalCase& c : Cases()) {
        for (const Destruction& d : destructions) {
            if (d.atOnce && c.qtGoesOn)
                continue;
            SCOPED_TRACE(std::string(c.name) + ", handler destroys the " + d.name);
            Scene scene(d.fromForm);
            ASSERT_TRUE(scene.shown);
            scene.Fill(c.virtualMode);
            c.prepare(scene);
            int calls = 0;
            c.connectDestroying(scene, [&scene, &calls, destroy = d.destroy] {
                ++calls;
                (scene.*destroy)();
            });
            QPointer<AUILib::TreeViewQt> view = scene.view;
            c.input(view);
            EXPECT_EQ(calls, 1);
            EXPECT_EQ(scene.tree, nullptr);
            RunPostedAndDeferredDeletes();
            // The widget left behind (if any) takes the same input again.
            if (view)
                c.input(view);
            if (d.controlGoes) {
                EXPECT_EQ(calls, 1);
            }
        }
    }
}

} // namespace

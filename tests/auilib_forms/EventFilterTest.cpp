// The dialog's event filter: Qt events to library events, the key rules and
// the guard after deactivation, drops, tool tips, input methods and queued
// signal calls. Events are handed to the filter itself to read its answer.
#include "AUILibLogger.h"
#include "DropEvent.h"
#include "Edit.h"
#include "FocusWatcher.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include <functional>
#include <sstream>

namespace {

using AUILib::Event;

struct Record {
    int type = 0;
    AUILib::Point position{};
    unsigned buttons = 0;
    unsigned modifiers = 0;
    int extra = 0;                // timer id, wheel delta, key
    AUILib::Size oldSize{}, newSize{};
    std::wstring text;
    std::vector<std::wstring> files;
};

class Recorder {
public:
    explicit Recorder(AUILib::BaseGUIObject* control)
    {
        control->SetEventProcedure([this](AUILib::BaseGUIObject*, Event* e) {
            Record r;
            r.type = e->type;
            // The record's kind follows from its type; events carry no RTTI.
            switch (static_cast<int>(e->type)) {
            case 2: case 3: case 4: case 5: case 127: {
                auto* m = static_cast<AUILib::MouseEvent*>(e);
                r.position = m->position;
                r.buttons = m->buttons;
                r.modifiers = m->modifiers;
                break;
            }
            case 31: {
                auto* w = static_cast<AUILib::MouseWheelEvent*>(e);
                r.position = w->position;
                r.extra = w->delta;
                r.modifiers = w->modifiers;
                break;
            }
            case 1:
                r.extra = static_cast<AUILib::TimerEvent*>(e)->id;
                break;
            case 14:
                r.oldSize = static_cast<AUILib::ResizeEvent*>(e)->oldSize;
                r.newSize = static_cast<AUILib::ResizeEvent*>(e)->newSize;
                break;
            case 6: case 7: case 51: {
                auto* k = static_cast<AUILib::KeyEvent*>(e);
                r.extra = k->key;
                r.modifiers = k->modifiers;
                r.text = k->text;
                r.buttons = static_cast<unsigned>(k->nativeKey);
                break;
            }
            case 63:
                r.position = static_cast<AUILib::DropEvent*>(e)->position;
                r.files = static_cast<AUILib::DropEvent*>(e)->files;
                break;
            default:
                break;
            }
            records.push_back(r);
            return answer;
        });
    }
    std::vector<Record> records;
    bool answer = false;
};

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<VetoDialog>(FormPath("main"));
        window = dialog->GetWndPtr();
        helper = dialog->Impl()->GetEventHelper();
    }
    void TearDown() override
    {
        dialog.reset();
        delete window.data();
        RunDeferredDeletes();
    }
    QWidget* Widget(const wchar_t* name) { return dialog->GetElementByName(name)->GetPlatformWindow(); }
    bool Filter(QWidget* widget, QEvent& event) { return helper->eventFilter(widget, &event); }

    GermanStrings strings{false};
    std::unique_ptr<VetoDialog> dialog;
    QPointer<QWidget> window;
    AUILib::EventHelper* helper = nullptr;
};

TEST_F(FilterTest, RoutingTable)
{
    auto edit = dialog->GetElementByName(L"lineEdit");
    auto button = dialog->GetElementByName(L"pushButton");
    Recorder onEdit(edit.get());
    Recorder onButton(button.get());
    Recorder onDialog(dialog.get());
    QWidget* editWidget = Widget(L"lineEdit");
    QWidget* buttonWidget = Widget(L"pushButton");

    struct Case {
        const char* name;
        std::function<QEvent*()> make;
        QWidget* target;
        Recorder* recorder;
        bool answer;
        bool filtered;
        std::function<void(const Record&)> check;   // null: nothing delivered
    };
    const auto press = [](QPointF at, Qt::KeyboardModifiers mods) {
        return [=]() { return new QMouseEvent(QEvent::MouseButtonPress, at, at, at, Qt::LeftButton, Qt::LeftButton, mods); };
    };
    const std::vector<Case> cases = {
        {"press rounds half up", press({10.5, 3.4}, Qt::ShiftModifier), editWidget, &onEdit, true, true,
         [](const Record& r) {
             EXPECT_EQ(r.type, 2);
             EXPECT_EQ(r.position.x, 11);
             EXPECT_EQ(r.position.y, 3);
             EXPECT_EQ(r.buttons, 1u);
             EXPECT_EQ(r.modifiers, static_cast<unsigned>(Qt::ShiftModifier));
         }},
        {"press answered false", press({1, 1}, Qt::NoModifier), editWidget, &onEdit, false, false,
         [](const Record& r) { EXPECT_EQ(r.type, 2); }},
        {"timer", [] { return new QTimerEvent(77); }, editWidget, &onEdit, false, false,
         [](const Record& r) {
             EXPECT_EQ(r.type, 1);
             EXPECT_EQ(r.extra, 77);
         }},
        {"resize gives old then new", [] { return new QResizeEvent(QSize(30, 40), QSize(10, 20)); }, editWidget,
         &onEdit, false, false,
         [](const Record& r) {
             EXPECT_EQ(r.type, 14);
             EXPECT_EQ(r.oldSize.width, 10);
             EXPECT_EQ(r.oldSize.height, 20);
             EXPECT_EQ(r.newSize.width, 30);
             EXPECT_EQ(r.newSize.height, 40);
         }},
        {"wheel backwards", [] {
             return new QWheelEvent(QPointF(1, 1), QPointF(100.5, 20.4), QPoint(), QPoint(0, -120), Qt::NoButton,
                                    Qt::ControlModifier, Qt::NoScrollPhase, false);
         }, editWidget, &onEdit, true, true,
         [](const Record& r) {
             EXPECT_EQ(r.type, 31);
             EXPECT_EQ(r.extra, -120);
             EXPECT_EQ(r.position.x, 101);
             EXPECT_EQ(r.position.y, 20);
         }},
        {"leave without tracking", [] { return new QEvent(QEvent::Leave); }, editWidget, &onEdit, true, false, nullptr},
        {"focus in", [] { return new QFocusEvent(QEvent::FocusIn); }, editWidget, &onEdit, true, true,
         [](const Record& r) { EXPECT_EQ(r.type, 8); }},
        {"move as moving", [] { return new QMoveEvent(QPoint(1, 1), QPoint(0, 0)); }, editWidget, &onEdit, false,
         false, [](const Record& r) { EXPECT_EQ(r.type, 1002); }},
        {"palette change never filters", [] { return new QEvent(QEvent::ApplicationPaletteChange); }, editWidget,
         &onEdit, true, false, [](const Record& r) { EXPECT_EQ(r.type, 38); }},
        {"enter is not delivered", [] { return new QEvent(QEvent::Enter); }, editWidget, &onEdit, true, false, nullptr},
        {"window activation on the dialog", [] { return new QEvent(QEvent::WindowActivate); }, window.data(),
         &onDialog, false, false, [](const Record& r) { EXPECT_EQ(r.type, 24); }},
        {"enabled button pressed", press({2, 2}, Qt::NoModifier), buttonWidget, &onButton, false, false,
         [](const Record& r) { EXPECT_EQ(r.type, 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.recorder->records.clear();
        c.recorder->answer = c.answer;
        std::unique_ptr<QEvent> event(c.make());
        EXPECT_EQ(Filter(c.target, *event), c.filtered);
        if (!c.check) {
            EXPECT_TRUE(c.recorder->records.empty());
            continue;
        }
        ASSERT_EQ(c.recorder->records.size(), 1u);
        c.check(c.recorder->records[0]);
    }

    // A disabled button gets no mouse, hover or wheel events; a disabled
    // edit does.
    buttonWidget->setEnabled(false);
    editWidget->setEnabled(false);
    onButton.records.clear();
    onEdit.records.clear();
    QMouseEvent mouse(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QHoverEvent hover(QEvent::HoverEnter, QPointF(1, 1), QPointF(0, 0));
    QWheelEvent wheel(QPointF(1, 1), QPointF(1, 1), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    EXPECT_FALSE(Filter(buttonWidget, mouse));
    EXPECT_FALSE(Filter(buttonWidget, hover));
    EXPECT_FALSE(Filter(buttonWidget, wheel));
    EXPECT_TRUE(onButton.records.empty());
    Filter(editWidget, mouse);
    Filter(editWidget, hover);
    EXPECT_EQ(onEdit.records.size(), 2u);

    // Leave with tracking.
    edit->SetTrackMouseEvent();
    onEdit.records.clear();
    QEvent leave(QEvent::Leave);
    Filter(editWidget, leave);
    ASSERT_EQ(onEdit.records.size(), 1u);
    EXPECT_EQ(onEdit.records[0].type, 11);

    // Close: vetoed only on the dialog window.
    dialog->veto = true;
    QCloseEvent close;
    EXPECT_TRUE(Filter(window, close));
    EXPECT_FALSE(close.isAccepted());
    QCloseEvent childClose;
    EXPECT_FALSE(Filter(editWidget, childClose));
    dialog->veto = false;
    QCloseEvent allowed;
    EXPECT_FALSE(Filter(window, allowed));
    EXPECT_EQ(dialog->seen, (std::vector<int>{0, 0}));

    // Widgets the form did not name have no control.
    QWidget stranger(window);
    QMouseEvent strangerPress(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(Filter(&stranger, strangerPress));
}

TEST_F(FilterTest, KeyTable)
{
    auto edit = dialog->GetElementByName(L"lineEdit");
    Recorder onEdit(edit.get());
    QWidget* widget = Widget(L"lineEdit");
    const struct {
        const char* name;
        QEvent::Type type;
        int key;
        const char* text;
        bool answer;
        bool delivered;
        bool filtered;
        bool acceptedAfter;
    } cases[] = {
        {"tab", QEvent::KeyPress, Qt::Key_Tab, "\t", true, false, false, true},
        {"escape", QEvent::KeyPress, Qt::Key_Escape, "\x1b", true, false, false, false},
        {"pause", QEvent::KeyPress, Qt::Key_Pause, "", true, false, false, false},
        {"shortcut override", QEvent::ShortcutOverride, Qt::Key_A, "a", true, false, false, false},
        {"letter release", QEvent::KeyRelease, Qt::Key_A, "a", true, false, false, false},
        {"special release", QEvent::KeyRelease, Qt::Key_Delete, "", false, true, false, true},
        {"letter, procedure true", QEvent::KeyPress, Qt::Key_A, "a", true, true, true, false},
        {"letter, procedure false", QEvent::KeyPress, Qt::Key_A, "a", false, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        onEdit.records.clear();
        onEdit.answer = c.answer;
        QKeyEvent event(c.type, c.key, Qt::ShiftModifier | Qt::KeypadModifier, QString::fromLatin1(c.text));
        EXPECT_EQ(Filter(widget, event), c.filtered);
        EXPECT_EQ(event.isAccepted(), c.acceptedAfter);
        EXPECT_EQ(onEdit.records.size(), c.delivered ? 1u : 0u);
        if (c.delivered && !onEdit.records.empty()) {
            EXPECT_EQ(onEdit.records[0].type, static_cast<int>(c.type));
            EXPECT_EQ(onEdit.records[0].modifiers, static_cast<unsigned>(Qt::ShiftModifier));
            EXPECT_EQ(onEdit.records[0].buttons, static_cast<unsigned>(c.key));
        }
    }
}

// Key handling traces nothing to standard error (it did on every key press);
// at the logger's debug level it keeps its last trace there.
TEST_F(FilterTest, KeyTracesGoToTheLoggerAtItsDebugLevelOnly)
{
    static int messages = 0;
    messages = 0;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) { ++messages; });
    auto debugEntry = [] {
        std::wostringstream out;
        AUILibLogger::GetInstance().WriteLog(out);
        const std::wstring text = out.str();
        const std::size_t at = text.find(L"Debug: ");
        return at == std::wstring::npos ? std::wstring() : text.substr(at, text.find(L'\n', at) - at);
    };
    Recorder onEdit(dialog->GetElementByName(L"lineEdit").get());
    QWidget* widget = Widget(L"lineEdit");
    auto press = [&] {
        QKeyEvent shortcut(QEvent::ShortcutOverride, Qt::Key_A, Qt::NoModifier, "a");
        Filter(widget, shortcut);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        Filter(widget, key);
    };
    ASSERT_FALSE(AUILibLogger::GetInstance().IsDebugLevel());
    press();
    EXPECT_EQ(debugEntry(), L"");

    AUILibLogger::GetInstance().SetDebugLevel(true);
    press();
    AUILibLogger::GetInstance().SetDebugLevel(false);
    qInstallMessageHandler(previous);
    EXPECT_EQ(messages, 0);
    EXPECT_EQ(debugEntry(), L"Debug: Event processed and NOT propagated to parent");
    EXPECT_EQ(onEdit.records.size(), 2u);   // each key press reached the edit
}

TEST_F(FilterTest, GuardAfterDeactivation)
{
    auto edit = dialog->GetElementByName(L"lineEdit");
    Recorder onEdit(edit.get());
    QWidget* widget = Widget(L"lineEdit");
    const int interval = QApplication::keyboardInputInterval();
    const auto key = [&](int code, bool repeat, QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent event(type, code, Qt::NoModifier, QString(), repeat);
        return Filter(widget, event);
    };
    QEvent deactivate(QEvent::WindowDeactivate);

    Filter(window, deactivate);
    EXPECT_TRUE(key(Qt::Key_Return, false));   // soon after: swallowed
    EXPECT_TRUE(onEdit.records.empty());

    QApplication::setKeyboardInputInterval(5);
    Filter(window, deactivate);
    QTest::qWait(30);
    EXPECT_FALSE(key(Qt::Key_Return, false));   // later: delivered
    EXPECT_EQ(onEdit.records.size(), 1u);

    // Auto-repeated Space is swallowed from a deactivation until a release.
    onEdit.records.clear();
    Filter(window, deactivate);
    QTest::qWait(30);
    EXPECT_TRUE(key(Qt::Key_Space, true));
    EXPECT_TRUE(key(Qt::Key_Space, true));
    key(Qt::Key_Shift, false, QEvent::KeyRelease);
    EXPECT_FALSE(key(Qt::Key_Space, true));
    // A deactivation during auto-repeat starts no guard, however long.
    QApplication::setKeyboardInputInterval(60000);
    Filter(window, deactivate);
    key(Qt::Key_Shift, false, QEvent::KeyRelease);
    EXPECT_FALSE(key(Qt::Key_Enter, false));
    QApplication::setKeyboardInputInterval(interval);
}

TEST_F(FilterTest, InputMethodToolTipsAndQueuedCalls)
{
    auto edit = dialog->GetElementByName(L"lineEdit");
    Recorder onEdit(edit.get());
    QWidget* widget = Widget(L"lineEdit");

    QInputMethodEvent commit;
    commit.setCommitString("éz");
    onEdit.answer = false;
    EXPECT_FALSE(Filter(widget, commit));
    ASSERT_EQ(onEdit.records.size(), 2u);
    EXPECT_EQ(onEdit.records[0].text, L"é");
    EXPECT_EQ(onEdit.records[1].text, L"z");
    EXPECT_EQ(onEdit.records[0].buttons, 0x01FFFFFFu);
    EXPECT_EQ(onEdit.records[0].extra, 0);
    auto editImpl = std::dynamic_pointer_cast<AUILib::BaseImplQt>(edit->GetBaseImpl());
    editImpl->SetChangeInProgress(true);
    onEdit.records.clear();
    onEdit.answer = true;
    EXPECT_FALSE(Filter(widget, commit));
    EXPECT_TRUE(onEdit.records.empty());
    editImpl->SetChangeInProgress(false);
    EXPECT_TRUE(Filter(widget, commit));
    QInputMethodEvent empty;
    EXPECT_FALSE(Filter(widget, empty));

    dialog->DoModeless();
    QRect first(0, 0, 10, 10);
    QRect second(5, 5, 10, 10);
    dialog->SetToolTip(edit, L"first", L"", 0, &first);
    dialog->SetToolTip(edit, L"second", L"", 0, &second);
    const struct {
        QPoint at;
        const char* shown;
    } tips[] = {{{7, 7}, "first"}, {{9, 9}, "first"}, {{12, 12}, "second"}, {{50, 50}, ""}};
    for (const auto& t : tips) {
        SCOPED_TRACE(t.shown);
        QHelpEvent help(QEvent::ToolTip, t.at, widget->mapToGlobal(t.at));
        EXPECT_TRUE(Filter(widget, help));
        if (*t.shown) {
            ASSERT_TRUE(QToolTip::isVisible());
            EXPECT_TRUE(QToolTip::text().contains(t.shown)) << QToolTip::text().toStdString();
        } else {
            // Outside every area the tip is hidden (after Qt's short delay).
            for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
                QTest::qWait(20);
            EXPECT_FALSE(QToolTip::isVisible());
        }
    }
    QToolTip::hideText();

    // Queued signal calls run through the filter of the receiver's widget.
    AUILib::Signal<int> signal;
    std::vector<int> seen;
    signal.ConnectQueued([&seen](int v) { seen.push_back(v); }, edit);
    signal.Emit(5);
    signal.Emit(6);
    EXPECT_TRUE(seen.empty());
    QCoreApplication::sendPostedEvents(widget);
    EXPECT_EQ(seen, (std::vector<int>{5, 6}));
}

TEST(Filter, DropsTableViewportAndFocusWatcher)
{
    GermanStrings strings(false);
    VetoDialog dialog(FormPath("drop"));
    WindowGuard guard(dialog.GetWndPtr());
    auto table = dialog.GetElementByName(L"table");
    ASSERT_TRUE(table);
    Recorder onTable(table.get());
    auto* tableWidget = static_cast<QTableWidget*>(table->GetPlatformWindow());
    QWidget* viewport = tableWidget->viewport();
    AUILib::EventHelper* helper = dialog.Impl()->GetEventHelper();

    QMimeData data;
    data.setUrls({QUrl("file:///tmp/a%20b.txt"), QUrl("file:///tmp/c.pdf"), QUrl("file:///tmp/%C3%A9.txt")});
    const auto drop = [&](QWidget* at) {
        QDropEvent event(QPointF(2.5, 3.5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        return helper->eventFilter(at, &event);
    };
    EXPECT_FALSE(drop(viewport));   // drops not accepted
    EXPECT_TRUE(onTable.records.empty());
    QDragEnterEvent refused(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(helper->eventFilter(viewport, &refused));

    table->SetAcceptDrops(true);
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(helper->eventFilter(viewport, &enter));
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), enter.proposedAction());
    onTable.answer = true;
    EXPECT_TRUE(drop(viewport));
    ASSERT_EQ(onTable.records.size(), 1u);
    EXPECT_EQ(onTable.records[0].type, 63);
    EXPECT_EQ(onTable.records[0].position.x, 3);
    EXPECT_EQ(onTable.records[0].position.y, 4);
    EXPECT_EQ(onTable.records[0].files, (std::vector<std::wstring>{L"/tmp/a b.txt", L"/tmp/c.pdf", L"/tmp/é.txt"}));
    QMimeData noUrls;
    noUrls.setText("plain");
    QDropEvent textDrop(QPointF(1, 1), Qt::CopyAction, &noUrls, Qt::LeftButton, Qt::NoModifier);
    helper->eventFilter(viewport, &textDrop);
    ASSERT_EQ(onTable.records.size(), 2u);
    EXPECT_TRUE(onTable.records[1].files.empty());

    // The focus watcher reports and passes every event on.
    QLineEdit line;
    auto* watcher = new AUILib::FocusWatcher(&line);
    line.installEventFilter(watcher);
    QSignalSpy spy(watcher, &AUILib::FocusWatcher::focusChanged);
    QFocusEvent in(QEvent::FocusIn);
    QFocusEvent out(QEvent::FocusOut);
    EXPECT_FALSE(watcher->eventFilter(&line, &in));
    EXPECT_FALSE(watcher->eventFilter(&line, &out));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_TRUE(spy[0][0].toBool());
    EXPECT_FALSE(spy[1][0].toBool());
}

} // namespace

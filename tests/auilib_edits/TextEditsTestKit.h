// What the tests of the multi-line and the rich text edit share: a shown,
// active window to type into, the order of the two text signals, the
// clipboard set for one paste, and the check that an operation refuses a
// control whose widget is gone.
#pragma once

#include "AgnosticUIException.h"
#include "BaseGUIObject.h"
#include "BaseImpl.h"
#include "Signal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QWidget>

#include <functional>
#include <string>

// A window shown and made active, so keys and focus reach its children.
class EditWindow {
public:
    EditWindow() { window_.resize(360, 240); }

    QWidget* Get() { return &window_; }

    // Shows the window with widget at geometry and gives the widget focus;
    // false when the platform does not activate it.
    bool ShowWith(QWidget* widget, const QRect& geometry = QRect(10, 10, 300, 120))
    {
        widget->setGeometry(geometry);
        window_.show();
        QApplication::setActiveWindow(&window_);
        if (!QTest::qWaitForWindowActive(&window_))
            return false;
        widget->setFocus();
        QApplication::processEvents();
        return widget->hasFocus();
    }

private:
    QWidget window_;
};

template <typename Widget>
Widget* WidgetOf(const AUILib::BaseGUIObject& control)
{
    return qobject_cast<Widget*>(control.GetBaseImpl()->GetWndPtr());
}

// "E" for each OnTextEdited, "C" for each OnTextChanged, in emission order.
class TextSignalOrder {
public:
    TextSignalOrder(AUILib::Signal<>& edited, AUILib::Signal<>& changed) : edited_(edited), changed_(changed)
    {
        editedId_ = edited_.Connect([this] { order += 'E'; });
        changedId_ = changed_.Connect([this] { order += 'C'; });
    }
    ~TextSignalOrder()
    {
        edited_.Disconnect(editedId_);
        changed_.Disconnect(changedId_);
    }
    TextSignalOrder(const TextSignalOrder&) = delete;
    TextSignalOrder& operator=(const TextSignalOrder&) = delete;

    std::string Take()
    {
        std::string taken;
        taken.swap(order);
        return taken;
    }

    std::string order;

private:
    AUILib::Signal<>& edited_;
    AUILib::Signal<>& changed_;
    AUILib::Signal<>::ConnectionId editedId_ = 0;
    AUILib::Signal<>::ConnectionId changedId_ = 0;
};

inline void SetClipboardText(const QString& text) { QApplication::clipboard()->setText(text); }

inline void SetClipboardHtml(const QString& html, const QString& plain)
{
    auto* data = new QMimeData;
    data->setHtml(html);
    data->setText(plain);
    QApplication::clipboard()->setMimeData(data);
}

inline void ExpectControlNotValid(const char* what, const std::function<void()>& call)
{
    SCOPED_TRACE(what);
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const AUILib::AgnosticUIException& e) {
        EXPECT_STREQ(e.what(), "Control is not valid.");
    }
}

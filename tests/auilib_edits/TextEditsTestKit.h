// What the tests of the multi-line and the rich text edit share: a shown,
// active window to type into, the order of the two text signals and the
// clipboard set for one paste.
#pragma once

#include "ControlGoneKit.h"
#include "Signal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QWidget>

#include <functional>
#include <string>

// An active window big enough for an edit, which must take the focus too:
// the tests type into it.
class EditWindow : public ActiveWindow {
public:
    EditWindow() : ActiveWindow(360, 240) {}

    // false when the platform does not activate the window or the widget
    // does not take the focus.
    bool ShowWith(QWidget* widget, const QRect& geometry = QRect(10, 10, 300, 120))
    {
        return ActiveWindow::ShowWith(widget, geometry) && widget->hasFocus();
    }
};

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

// What the label, link, check-box, radio-button and button-widget tests
// share: the implementation and widget behind a control, a shown top-level
// window for controls, and picture files in a temporary folder.
#pragma once

#include "CheckBox.h"
#include "CheckBoxImplQt.h"
#include "GifBytes.h"
#include "HyperLinkElement.h"
#include "HyperLinkElementImplQt.h"
#include "IcoBytes.h"
#include "Label.h"
#include "LabelImplQt.h"
#include "PngBytes.h"
#include "RadioButton.h"
#include "RadioButtonImplQt.h"
#include "TempFolder.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>

template <typename Impl, typename Control>
Impl& ImplOfControl(const Control& control)
{
    return *std::static_pointer_cast<Impl>(control.GetBaseImpl());
}

inline AUILib::Label::impl& ImplOf(const AUILib::Label& c) { return ImplOfControl<AUILib::Label::impl>(c); }
inline AUILib::CheckBox::impl& ImplOf(const AUILib::CheckBox& c) { return ImplOfControl<AUILib::CheckBox::impl>(c); }
inline AUILib::RadioButton::impl& ImplOf(const AUILib::RadioButton& c)
{
    return ImplOfControl<AUILib::RadioButton::impl>(c);
}
inline AUILib::HyperLinkElementImpl& ImplOf(const AUILib::HyperLinkElement& c)
{
    return ImplOfControl<AUILib::HyperLinkElementImpl>(c);
}

template <typename Control>
auto* WidgetOf(const Control& control)
{
    return ImplOf(control).GetWidget();
}

// A top-level window that the tests place controls in; shown and active on
// Show(), deleted at the end unless a test deleted it.
class TestWindow {
public:
    TestWindow(int width = 400, int height = 300) : window_(new QWidget)
    {
        window_->setGeometry(100, 100, width, height);
    }
    ~TestWindow()
    {
        delete window_.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    QWidget* Get() const { return window_.data(); }
    QWidget* operator->() const { return window_.data(); }

    // Shown and active, so focus and shortcuts reach its children.
    bool Show()
    {
        window_->show();
        QApplication::setActiveWindow(window_);
        return QTest::qWaitForWindowActive(window_);
    }

    // Makes a control in the window at (x, y) with the given size.
    template <typename Control>
    std::shared_ptr<Control> Place(int x, int y, int width, int height)
    {
        auto control = std::make_shared<Control>();
        control->Create(window_);
        QWidget* widget = control->GetBaseImpl()->GetWndPtr();
        widget->setGeometry(x, y, width, height);
        widget->show();
        return control;
    }

private:
    QPointer<QWidget> window_;
};

// Picture files of each kind the controls load, written once per test.
class PictureFiles {
public:
    PictureFiles()
    {
        png = Write("blue.png", PngBytes(16, 12, Qt::blue));
        ico = Write("x.ico", IcoBytes({16, 32}));
        icoUpper = Write("y.ICO", IcoBytes({16}));
        archiveIco = Write("archive.old.ico", IcoBytes({16, 32}));
        gif = Write("moving.gif", GifBytes(10, 8, {0, 1, 2}));
        missing = QString::fromStdString(folder_.Path("missing.png")).toStdWString();
    }

    static QByteArray Bytes(const std::wstring& path)
    {
        return QByteArray::fromStdString(TempFolder::Read(QString::fromStdWString(path).toStdString()));
    }

    std::wstring png, ico, icoUpper, archiveIco, gif, missing;

private:
    std::wstring Write(const std::string& name, const QByteArray& bytes)
    {
        return QString::fromStdString(folder_.Write(name, bytes.toStdString())).toStdWString();
    }

    TempFolder folder_;
};

inline const unsigned char* Data(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

// Shared pieces of the combo box tests: a combo box placed in a shown
// window, and its widget.
#pragma once

#include "BaseImpl.h"
#include "ComboBox.h"
#include "ComboBoxImplQt.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <memory>

inline AUILib::ComboBoxQt* WidgetOf(AUILib::ComboBox& box)
{
    return static_cast<AUILib::ComboBox::impl*>(box.GetBaseImpl().get())->GetWidget();
}

class ComboOnWindow {
public:
    explicit ComboOnWindow(bool show = true) : window(new QWidget), box(std::make_shared<AUILib::ComboBox>())
    {
        window->setGeometry(100, 100, 260, 120);
        box->Create(window);
        WidgetOf(*box)->setGeometry(10, 10, 200, 28);
        if (show) {
            window->show();
            exposed = QTest::qWaitForWindowExposed(window);
        }
    }
    ~ComboOnWindow()
    {
        box.reset();
        delete window.data();
    }
    ComboOnWindow(const ComboOnWindow&) = delete;
    ComboOnWindow& operator=(const ComboOnWindow&) = delete;

    AUILib::ComboBoxQt* widget() { return WidgetOf(*box); }
    QLineEdit* edit() { return widget()->lineEdit(); }

    bool exposed = false;
    QPointer<QWidget> window;
    std::shared_ptr<AUILib::ComboBox> box;
};

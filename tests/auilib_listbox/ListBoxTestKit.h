// A list box placed in a shown window, with helpers to click its rows the
// way a user does (the handlers read the cursor position, so it is moved
// first) and to make pictures.
#pragma once

#include "ListBox.h"
#include "ListBoxImplQt.h"
#include "ListBoxQt.h"
#include "PngBytes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <list>
#include <memory>
#include <string>

inline QPoint CellCentre0(QTableWidget* table, int row)
{
    return table->visualRect(table->model()->index(row, 0)).center();
}

// A picture of one colour with a dark border, as PNG bytes.
inline QByteArray PicturePng(int edge, QColor colour)
{
    QImage image(edge, edge, QImage::Format_ARGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.setPen(QColor(20, 20, 20));
    painter.drawRect(0, 0, edge - 1, edge - 1);
    painter.end();
    return PngOf(image);
}

inline const unsigned char* Bytes(const QByteArray& data)
{
    return reinterpret_cast<const unsigned char*>(data.constData());
}

class ListBoxTest : public ::testing::Test {
public:
    void SetUp() override
    {
        window.reset(new QWidget);
        window->resize(360, 240);
        list = std::make_shared<AUILib::ListBox>();
        ASSERT_TRUE(list->Create(window.get()));
        table()->setGeometry(0, 0, 360, 240);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        list.reset();
        window.reset();
    }

    AUILib::ListBoxQt* table() const { return list->GetImpl()->GetWidget(); }

    void Fill(std::initializer_list<const wchar_t*> texts)
    {
        for (const wchar_t* text : texts)
            list->AddItem(text);
    }

    std::list<std::wstring> Column0() const
    {
        std::list<std::wstring> texts;
        for (int row = 0; row < list->Count(); ++row)
            texts.push_back(list->GetItem(row, 0));
        return texts;
    }

    QPoint CellCentre(int row, int column) const
    {
        return table()->visualRect(table()->model()->index(row, column)).center();
    }

    // A click as the user makes it: cursor on the point first.
    void Click(QPoint viewportPoint, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QCursor::setPos(table()->viewport()->mapToGlobal(viewportPoint));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, modifiers, viewportPoint);
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Click(CellCentre(row, 0), modifiers);
    }

    std::unique_ptr<QWidget> window;
    std::shared_ptr<AUILib::ListBox> list;
};

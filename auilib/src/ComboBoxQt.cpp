#include "ComboBoxQt.h"

#include "AUILibTypes.h"
#include "WideQt.h"

#include <QAction>
#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

#include <memory>

namespace AUILib {

FontData EntryFont(const QComboBox& box, int index)
{
    FontData data;
    const QVariant role = box.itemData(index, Qt::FontRole);
    if (role.isNull() || !role.canConvert<QFont>())
        return data;
    const QFont font = role.value<QFont>();
    data.faceName = ToWide(font.family());
    if (font.pointSize() > 0)
        data.pointSize = font.pointSize();
    if (font.style() != QFont::StyleNormal)
        data.italic = 1;
    if (font.weight() >= 58)
        data.bold = 1;
    if (font.underline())
        data.underline = 1;
    return data;
}

void ApplyFontData(QWidget& widget, const FontData& data)
{
    QFont font;
    if (data.bold >= 0)
        font.setWeight(data.bold != 0 ? 75 : 50);
    if (data.italic >= 0)
        font.setItalic(data.italic != 0);
    if (data.underline >= 0)
        font.setUnderline(data.underline != 0);
    if (data.pointSize > 0.0)
        font.setPointSizeF(data.pointSize);
    if (!data.faceName.empty())
        font.setFamily(ToQString(data.faceName));
    widget.setFont(font);
}

namespace {

bool IsUnset(const FontData& data)
{
    return data.faceName.empty() && data.pointSize == -1.0 && data.bold == -1 && data.italic == -1 &&
           data.underline == -1;
}

} // namespace

ComboBoxQt::ComboBoxQt() : QComboBox(nullptr)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QWidget::customContextMenuRequested, this, &ComboBoxQt::ShowContextMenu);
    // Connected before the control's own handlers: the entry's font is the
    // box's before OnCurrentIndexChanged reports the entry.
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        const FontData data = EntryFont(*this, index);
        if (!IsUnset(data))
            ApplyFontData(*this, data);
    });
}

void ComboBoxQt::showPopup()
{
    QComboBox::showPopup();
    dropped_ = true;
}

void ComboBoxQt::hidePopup()
{
    QComboBox::hidePopup();
    dropped_ = false;
}

void ComboBoxQt::childEvent(QChildEvent* event)
{
    // The edit field's own menu would hide the box's, whose Paste entry
    // reports the paste.
    if (event->added()) {
        if (auto* edit = qobject_cast<QLineEdit*>(event->child()))
            edit->setContextMenuPolicy(Qt::NoContextMenu);
    }
    QComboBox::childEvent(event);
}

void ComboBoxQt::keyPressEvent(QKeyEvent* event)
{
    QPointer<ComboBoxQt> alive = this;
    QComboBox::keyPressEvent(event);
    if (!alive)
        return;
    if (event->matches(QKeySequence::Paste)) {
        skipPaste_ = true;
        MyPaste();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) {
        auto* items = qobject_cast<QStandardItemModel*>(model());
        const int current = currentIndex();
        const QStandardItem* item = items && current >= 0 ? items->item(current, modelColumn()) : nullptr;
        if (item && (item->flags() & Qt::ItemIsSelectable))
            emit onCurrentIndexSelected(current);
        else
            event->ignore();
    }
}

void ComboBoxQt::MyPaste()
{
    QLineEdit* edit = lineEdit();
    if (!edit) {
        // Else a later paste from the menu would be skipped.
        skipPaste_ = false;
        return;
    }
    // After a paste key the base handling has pasted already.
    if (!skipPaste_)
        edit->paste();
    skipPaste_ = false;
    emit onPaste(ToWide(edit->text()));
}

void ComboBoxQt::ShowContextMenu(const QPoint& pos)
{
    QLineEdit* edit = lineEdit();
    if (!edit)
        return;
    QPointer<QMenu> menu = edit->createStandardContextMenu();
    const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(pasteText)) {
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &ComboBoxQt::MyPaste);
            break;
        }
    }
    // A paste handler may take the box, and the menu with it.
    menu->exec(mapToGlobal(pos));
    delete menu.data();
}

void ComboBoxQt::paintEvent(QPaintEvent* event)
{
    if (!editListMode_) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyle* widgetStyle = style();
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox box;
    initStyleOption(&box);
    widgetStyle->drawComplexControl(QStyle::CC_ComboBox, &box, &painter, this);

    QLineEdit sample;
    QStyleOptionFrame frame;
    frame.initFrom(&sample);
    frame.rect = QRect(QPoint(3, 0), QPoint(width() - 5, height() - 1));
    frame.lineWidth = widgetStyle->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &sample);
    frame.midLineWidth = 0;
    frame.features = QStyleOptionFrame::Rounded;
    frame.state |= QStyle::State_Sunken;
    widgetStyle->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);

    if (currentIndex() < 0)
        box.palette.setBrush(QPalette::ButtonText, QBrush(box.palette.color(QPalette::ButtonText).lighter(150)));
    widgetStyle->drawControl(QStyle::CE_ComboBoxLabel, &box, &painter, this);
}

} // namespace AUILib

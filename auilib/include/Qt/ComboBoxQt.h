// The Qt widget of ComboBox: made with no parent; ComboBox::Create places
// it. Knows the drop-down state, pastes through one path (keys and the edit
// field's menu) and reports Up/Down onto a selectable entry.
#pragma once

#include "ControlLifetime.h"

#include <QComboBox>

#include <string>

namespace AUILib {

class ComboBox;
struct FontData;

// The entry's font, all fields unset when it has none.
FontData EntryFont(const QComboBox& box, int index);
// The widget font made from data (unset fields keep Qt's defaults).
void ApplyFontData(QWidget& widget, const FontData& data);

class ComboBoxQt : public QComboBox, public ControlOwnerSlot<ComboBox> {
    Q_OBJECT

public:
    ComboBoxQt();

    void showPopup() override;
    void hidePopup() override;
    bool IsDropped() const { return dropped_; }
    void SetEditListMode(bool on) { editListMode_ = on; }
    bool IsEditListMode() const { return editListMode_; }

    void ShowContextMenu(const QPoint& pos);
    void MyPaste();

signals:
    void onPaste(std::wstring text);
    void onCurrentIndexSelected(int id);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    bool dropped_ = false;
    bool skipPaste_ = false;
    bool editListMode_ = false;
};

} // namespace AUILib

// The implementation of Button: watches its push button (its own ButtonQt
// or a wrapped one), deletes its own only if it goes while the button was
// never placed, never a wrapped one, and keeps the button's looks: the
// prepared sheets, the applied sheet, pictures, labels and colours.
#pragma once

#include "BaseImplQt.h"
#include "Button.h"
#include "ButtonSheets.h"
#include "ControlLifetime.h"

#include <QColor>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>

#include <memory>

namespace AUILib {

class Button::impl : public BaseImplQt {
public:
    // widget must not be null; its palette gives the text colours. A made
    // widget learns its owner and goes with this object while unplaced.
    impl(Button& owner, QPushButton* widget, WidgetOwnership ownership);
    ~impl() override;

    QWidget* GetWndPtr() override;
    QPushButton* GetWidget() const { return widget_.data(); }
    FontData GetFont() override;

    // Pictures: a null picture (unreadable file or data) still goes through
    // SetPicture, so a failed disabled load drops the earlier one.
    void LoadPicture(const std::wstring& path, ScalePicture mode, int size, bool disabled);
    void LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode, int size,
                     bool disabled);
    void SetPicture(const QPixmap& picture, ScalePicture mode, QSize area, bool disabled);

    // Puts the gradient or the standard sheet on a button that has no sheet.
    void ApplyDefaultStyleSheet();
    // Hands sheet to the widget (colons decoded) and keeps it as the applied
    // sheet; inside a button box, to the box instead.
    void ApplyStyleSheet(const QString& sheet);
    // Edits one property of the applied sheet and applies the result; an
    // empty applied sheet that stays empty is not applied, so a sheet the
    // widget has from elsewhere (a form) is kept.
    void EditAppliedSheet(const QString& selector, const QString& name, const QString& value);
    // The same on the text label's sheet.
    void EditLabelSheet(const QString& selector, const QString& name, const QString& value);
    // Makes the labels and their layout on the widget, first removing what
    // is left of earlier ones.
    void CreateLabels();

    // Sets the widget's text with the programmatic-change flag raised.
    void SetWidgetText(const QString& text);

    // The owning button, cleared when it goes.
    Button* GetOwner() const { return widget_.Owner(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

    const std::shared_ptr<ContextMenu>& GetMenu() const { return menu_; }
    void SetMenu(std::shared_ptr<ContextMenu> menu, bool showArrow);
    bool HasMenuFlag() const { return menuFlag_; }

    const QString& GetAppliedStyleSheet() const { return appliedStyleSheet_; }
    // Records a sheet the widget set on itself (its corner radius), so later
    // edits start from it.
    void StoreAppliedStyleSheet(const QString& sheet) { appliedStyleSheet_ = sheet; }
    const QColor& GetTextColour() const { return textColour_; }
    const QColor& GetDisabledTextColour() const { return disabledTextColour_; }
    void SetTextColours(const QColor& normal, const QColor& disabled)
    {
        textColour_ = normal;
        disabledTextColour_ = disabled;
    }
    void SetTextColour(const QColor& normal) { textColour_ = normal; }

    ButtonStyle GetStyle() const { return style_; }
    void SetStyleValue(ButtonStyle style) { style_ = style; }
    QLabel* GetPictureLabel() const { return pictureLabel_; }
    QLabel* GetTextLabel() const { return textLabel_; }
    // Both labels and their layout are there; any of them may have been
    // deleted from outside, since they are children of the widget.
    bool HasLabels() const { return labelLayout_ && pictureLabel_ && textLabel_; }
    // The text label's sheet as edited, colons still encoded.
    const QString& GetLabelStyleSheet() const { return labelStyleSheet_; }
    const QIcon& GetIcon() const { return icon_; }
    const QPixmap& GetPicture() const { return picture_; }
    const QPixmap& GetDisabledPicture() const { return disabledPicture_; }
    int GetCornerRadius() const { return cornerRadius_; }
    void SetCornerRadius(int radius) { cornerRadius_ = radius; }
    bool IsFocusRectDisabled() const { return focusRectDisabled_; }
    void SetFocusRectDisabled(bool disabled) { focusRectDisabled_ = disabled; }
    bool Is3d() const { return threeD_; }

    const ButtonSheets& Sheets() const { return sheets_; }
    const ButtonSheetColours& SheetColours() const { return sheetColours_; }

    // True when the widget stands in a QDialogButtonBox.
    bool IsInButtonBox() const;

private:
    void OnClicked();

    std::shared_ptr<ContextMenu> menu_;
    QString appliedStyleSheet_;
    bool menuFlag_ = false;
    QColor textColour_{0, 0, 0};
    QColor disabledTextColour_{195, 195, 195};
    bool threeD_ = false;
    ButtonStyle style_ = Default;
    // Children of the widget: gone with it.
    QPointer<QLabel> pictureLabel_;
    QPointer<QLabel> textLabel_;
    QPointer<QVBoxLayout> labelLayout_;
    QIcon icon_;
    QPixmap picture_;
    QPixmap disabledPicture_;
    int cornerRadius_ = 0;
    bool focusRectDisabled_ = false;
    ButtonSheetColours sheetColours_;
    ButtonSheets sheets_;
    QString labelStyleSheet_;
    // Last, so it goes first: the click connection ends before the members
    // its handler reads.
    ControlLifetime<QPushButton, Button> widget_;
};

} // namespace AUILib

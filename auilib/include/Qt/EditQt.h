// The Qt widget of Edit: a line edit whose paste notifies its control,
// whose right-click shows the control's menu or the standard one, and which
// may carry a trailing button with a hover icon. Made with no parent;
// Edit::Create places it. It may outlive its control: without one it
// behaves as a plain line edit.
#pragma once

#include "ControlLifetime.h"

#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

namespace AUILib {

class Edit;

class EditQt : public QLineEdit, public ControlOwnerSlot<Edit> {
    Q_OBJECT

public:
    EditQt();
    ~EditQt() override;

    void EnableExtendedButton(const QString& normalIcon, const QString& hoverIcon);
    void ExtendedButtonSetImage(const QString& normalIcon, const QString& hoverIcon);
    void ExtendedButtonSetImage(const unsigned char* data, int length, int type, bool hover);
    QToolButton* ExtendedButton() const { return button_.data(); }
    bool IsExtendedButtonEnabled() const { return buttonEnabled_; }

    // Inserts the clipboard's text after telling the control (OnPaste);
    // nothing for an empty clipboard or a read-only edit.
    void Paste();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ShowStandardMenu(const QPoint& globalPosition);

    QPointer<QToolButton> button_;
    QIcon normalIcon_;
    QIcon hoverIcon_;
    bool buttonEnabled_ = false;
    bool hoverShown_ = false;
};

} // namespace AUILib

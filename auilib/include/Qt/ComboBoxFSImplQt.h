// The implementation of ComboBoxFS: watches its widget (never deletes a
// placed one), asks for a folder through the replaceable chooser and passes
// the widget's notifications on to the control.
#pragma once

#include "BaseImplQt.h"
#include "ComboBoxFS.h"
#include "ComboBoxFSQt.h"
#include "ControlLifetime.h"

#include <QString>

#include <functional>

namespace AUILib {

class ComboBoxFS::impl : public BaseImplQt {
public:
    // Asks the user for a folder: (caption, starting folder) -> the folder,
    // or a null QString when the user cancelled.
    using FolderChooser = std::function<QString(const QString& caption, const QString& startFolder)>;
    // Replaces the chooser of every file-system combo box (a null one
    // restores the system folder dialog); returns the one before.
    static FolderChooser SetFolderChooser(FolderChooser chooser);

    explicit impl(ComboBoxFS& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    ComboBoxFSQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

    QString currentPath;
    // The entry that a cancelled folder dialog goes back to: the last
    // current one other than the browse entry.
    int previousIndex = 0;

private:
    void OnActivated(int index);
    void OnCurrentIndexChanged(int index);

    ControlLifetime<ComboBoxFSQt, ComboBoxFS> widget_;
};

} // namespace AUILib

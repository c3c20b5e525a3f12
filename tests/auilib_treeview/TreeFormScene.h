// The tree fixture form loaded through AUILib::Dialog: a dialog window with
// one tree control ("tree"), shown and active. The dialog is held so that a
// handler can destroy it; the window goes at the end of the scene.
#pragma once

#include "AUILibConfig.h"
#include "BaseImpl.h"
#include "Dialog.h"
#include "Translator.h"
#include "TreeView.h"
#include "TreeViewQt.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

#include <memory>
#include <string>

namespace treekit {

class TreeFormScene {
public:
    TreeFormScene() : dialog(std::make_unique<AUILib::Dialog>(Prepared())), window(dialog->GetWndPtr())
    {
        tree = std::dynamic_pointer_cast<AUILib::TreeView>(dialog->GetElementByName(L"tree"));
        if (tree)
            view = qobject_cast<AUILib::TreeViewQt*>(tree->GetBaseImpl()->GetWndPtr());
    }
    ~TreeFormScene()
    {
        tree.reset();
        dialog.reset();
        delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TreeFormScene(const TreeFormScene&) = delete;
    TreeFormScene& operator=(const TreeFormScene&) = delete;

    bool ShowActive()
    {
        dialog->DoModeless();
        QApplication::setActiveWindow(window);
        return QTest::qWaitForWindowActive(window);
    }

    std::unique_ptr<AUILib::Dialog> dialog;
    QPointer<QWidget> window;
    std::shared_ptr<AUILib::TreeView> tree;
    QPointer<AUILib::TreeViewQt> view;

private:
    static std::wstring Prepared()
    {
        const std::wstring dir = QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString();
        AUILib::SetCurrentLanguage(L"en-US", true);
        AUILib::SetWorkingDirPath(dir);
        AUILib::Translator::GetInstance().ResetStringsTable();
        return dir + L"auiresources/ui/tree.ui.kw";
    }
};

} // namespace treekit

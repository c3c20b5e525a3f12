// The labels-and-buttons fixture form, loaded through AUILib::Dialog in
// English; its window deletes itself on close, or here at the end.
#pragma once

#include "AUILibConfig.h"
#include "Dialog.h"
#include "Translator.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

#include <string>

inline std::wstring FixtureDir() { return QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString(); }

class LabelsButtonsForm {
public:
    LabelsButtonsForm() : dialog_(Prepared()), window_(dialog_.GetWndPtr()) {}
    ~LabelsButtonsForm()
    {
        delete window_.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    LabelsButtonsForm(const LabelsButtonsForm&) = delete;
    LabelsButtonsForm& operator=(const LabelsButtonsForm&) = delete;

    AUILib::Dialog& Get() { return dialog_; }
    QWidget* Window() const { return window_.data(); }

    template <typename Control>
    Control* Named(const std::wstring& name)
    {
        return dialog_.GetControlPtr<Control*>(name);
    }

    // Shown and active, as a user's first look.
    bool ShowActive()
    {
        dialog_.DoModeless();
        QApplication::setActiveWindow(window_);
        return QTest::qWaitForWindowActive(window_);
    }

private:
    static std::wstring Prepared()
    {
        AUILib::SetCurrentLanguage(L"en-US", true);
        AUILib::SetWorkingDirPath(FixtureDir());
        AUILib::Translator::GetInstance().ResetStringsTable();
        return FixtureDir() + L"auiresources/ui/labels_buttons.ui.kw";
    }

    AUILib::Dialog dialog_;
    QPointer<QWidget> window_;
};

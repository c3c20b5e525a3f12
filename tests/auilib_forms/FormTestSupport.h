// Shared pieces of the form tests: the build's enciphered fixtures as the
// library's working folder, the German strings, and a dialog whose
// FilterDone can veto.
#pragma once

#include "AUILibConfig.h"
#include "Dialog.h"
#include "DialogImplQt.h"
#include "EventHelper.h"
#include "Translator.h"
#include "WindowGuard.h"

#include <QCoreApplication>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

inline std::wstring FixtureDir() { return QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString(); }

inline std::wstring FormPath(const char* name)
{
    return FixtureDir() + L"auiresources/ui/" + QString::fromLatin1(name).toStdWString() + L".ui.kw";
}

// German texts for forms and box buttons, loaded the way an application
// does; the tables are emptied again at the end.
class GermanStrings {
public:
    explicit GermanStrings(bool load = true)
    {
        AUILib::SetCurrentLanguage(L"de-DE", true);
        AUILib::SetWorkingDirPath(FixtureDir());
        AUILib::Translator::GetInstance().ResetStringsTable();
        if (load)
            AUILib::Translator::GetInstance().LoadStrings(L"main");
    }
    ~GermanStrings() { AUILib::Translator::GetInstance().ResetStringsTable(); }
};

class VetoDialog : public AUILib::Dialog {
public:
    using Dialog::Dialog;

    int FilterDone(int result) override
    {
        seen.push_back(result);
        return veto ? -1 : result;
    }

    std::shared_ptr<AUILib::Dialog::impl> Impl() const
    {
        return std::dynamic_pointer_cast<AUILib::Dialog::impl>(GetBaseImpl());
    }

    bool veto = false;
    std::vector<int> seen;
};

inline void RunDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// The download-and-install dialog over its forms: which controls it finds
// (and which it leaves null when the form holds another class or lacks
// them), the title translated in context "QObject" and the version emptied
// on every show, and pictures of the full form, light and dark.
#include "AuiDownloadInstallDlg.h"

#include "DarkLook.h"
#include "PngBytes.h"
#include "Screenshot.h"
#include "WindowGuard.h"

#include "AUILibEnums.h"
#include "Button.h"
#include "Edit.h"
#include "Label.h"
#include "TreeView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPointer>
#include <QTest>
#include <QTranslator>

#include <memory>
#include <string>

// Reads the dialog's control pointers.
class CAuiDownloadInstallDlgTestAccess {
public:
    explicit CAuiDownloadInstallDlgTestAccess(const CAuiDownloadInstallDlg& dialog) : d_(dialog) {}
    AUILib::Button* CloseButton() const { return d_.closeButton_; }
    AUILib::Button* DownloadButton() const { return d_.downloadButton_; }
    AUILib::Label* PictureLabel() const { return d_.pictureLabel_; }
    AUILib::Label* TitleLabel() const { return d_.titleLabel_; }
    AUILib::Label* UpdatesDescriptionLabel() const { return d_.updatesDescriptionLabel_; }
    AUILib::Label* VersionLabel() const { return d_.versionLabel_; }
    AUILib::Label* DescriptionLabel() const { return d_.descriptionLabel_; }
    AUILib::Edit* DescriptionEdit() const { return d_.descriptionEdit_; }
    AUILib::TreeView* Tree() const { return d_.tree_; }

private:
    const CAuiDownloadInstallDlg& d_;
};

namespace {

const QString kTranslatedTitle = QStringLiteral("Velto PDF-Leser");

// Answers only the title's source text in context "QObject", so a lookup
// under any other context or text shows as the untranslated text.
class TitleTranslator : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation, int) const override
    {
        if (qstrcmp(context, "QObject") == 0 && qstrcmp(source, "Velto PDF Reader") == 0 && !disambiguation)
            return kTranslatedTitle;
        return QString();
    }
};

class InstalledTranslator {
public:
    InstalledTranslator() { QCoreApplication::installTranslator(&translator_); }
    ~InstalledTranslator() { QCoreApplication::removeTranslator(&translator_); }

private:
    TitleTranslator translator_;
};

std::wstring FormPath(const char* form)
{
    return (QStringLiteral(AUILIB_FIXTURES_ENCIPHERED "/auiresources/ui/") + QLatin1String(form) +
            QStringLiteral(".ui.kw"))
        .toStdWString();
}

struct FormCase {
    const char* form;
    bool descriptionEdit;   // "txt_desc" is a QLineEdit
    bool titleAndVersion;   // the form has both labels
};

const FormCase kForms[] = {
    {"downloadinstall", true, true},
    {"downloadinstall_plaindesc", false, true},
    {"downloadinstall_notitle", true, false},
};

TEST(DownloadInstallDialog, FindsItsControlsAndFillsTitleAndVersionOnEveryShow)
{
    InstalledTranslator translator;
    for (const FormCase& c : kForms) {
        SCOPED_TRACE(c.form);
        CAuiDownloadInstallDlg dialog(FormPath(c.form), nullptr);
        ClosingWindowGuard guard(dialog.GetWndPtr());
        CAuiDownloadInstallDlgTestAccess access(dialog);

        // Nothing is looked up before the first show.
        EXPECT_EQ(access.CloseButton(), nullptr);
        EXPECT_EQ(access.Tree(), nullptr);

        dialog.DoModeless();
        EXPECT_FALSE(dialog.IsModal());
        EXPECT_EQ(access.CloseButton(), dialog.GetElementByName(L"btn_close").get());
        EXPECT_EQ(access.DownloadButton(), dialog.GetElementByName(L"btn_download").get());
        EXPECT_NE(access.CloseButton(), access.DownloadButton());
        EXPECT_EQ(access.PictureLabel(), dialog.GetElementByName(L"lbl_Img").get());
        EXPECT_EQ(access.UpdatesDescriptionLabel(), dialog.GetElementByName(L"lbl_updates_desc").get());
        EXPECT_EQ(access.DescriptionLabel(), dialog.GetElementByName(L"lbl_Description").get());
        EXPECT_EQ(access.Tree(), dialog.GetElementByName(L"treeView").get());
        for (const void* p : {static_cast<const void*>(access.CloseButton()), static_cast<const void*>(access.PictureLabel()),
                              static_cast<const void*>(access.UpdatesDescriptionLabel()),
                              static_cast<const void*>(access.DescriptionLabel()), static_cast<const void*>(access.Tree())})
            EXPECT_NE(p, nullptr);

        // A "txt_desc" of another class is found by name but not taken.
        ASSERT_NE(dialog.GetElementByName(L"txt_desc"), nullptr);
        if (c.descriptionEdit)
            EXPECT_EQ(access.DescriptionEdit(), dialog.GetElementByName(L"txt_desc").get());
        else
            EXPECT_EQ(access.DescriptionEdit(), nullptr);

        if (!c.titleAndVersion) {
            EXPECT_EQ(access.TitleLabel(), nullptr);
            EXPECT_EQ(access.VersionLabel(), nullptr);
            dialog.DoModeless();   // a second show without them does not crash either
            continue;
        }
        AUILib::Label* title = access.TitleLabel();
        AUILib::Label* version = access.VersionLabel();
        ASSERT_NE(title, nullptr);
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(title->GetText(), kTranslatedTitle.toStdWString());
        EXPECT_EQ(version->GetText(), L"");

        // A caller's texts last until the next show.
        title->SetText(L"Something else");
        version->SetText(L"12.1.0.1");
        dialog.DoModeless();
        EXPECT_EQ(access.TitleLabel(), title);
        EXPECT_EQ(title->GetText(), kTranslatedTitle.toStdWString());
        EXPECT_EQ(version->GetText(), L"");
    }
}

TEST(DownloadInstallDialog, WithoutATranslationTheTitleIsTheSourceText)
{
    CAuiDownloadInstallDlg dialog(FormPath("downloadinstall"), nullptr);
    ClosingWindowGuard guard(dialog.GetWndPtr());
    dialog.DoModeless();
    AUILib::Label* title = CAuiDownloadInstallDlgTestAccess(dialog).TitleLabel();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetText(), L"Velto PDF Reader");
}

QString SavePicture(const QString& look)
{
    CAuiDownloadInstallDlg dialog(FormPath("downloadinstall"), nullptr);
    QWidget* window = dialog.GetWndPtr();
    ClosingWindowGuard guard(window);
    dialog.DoModeless();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    CAuiDownloadInstallDlgTestAccess access(dialog);
    const QByteArray png = PngBytes(48, 48, QColor(200, 40, 40));
    if (access.PictureLabel())
        access.PictureLabel()->LoadPicture(reinterpret_cast<const unsigned char*>(png.constData()), png.size(),
                                           AUILib::ImagePNG, AUILib::ScaleKeep, 0);
    if (access.VersionLabel())
        access.VersionLabel()->SetText(L"Version 12.1.0.2");
    return saveScreenshot(window, QStringLiteral("auilib_download_dialog_") + look);
}

TEST(DownloadInstallDialog, LightAndDarkPictures)
{
    QString light, dark;
    {
        LightLook look;
        light = SavePicture(QStringLiteral("light"));
    }
    {
        DarkLook look;
        dark = SavePicture(QStringLiteral("dark"));
    }
    ASSERT_FALSE(light.isEmpty());
    ASSERT_FALSE(dark.isEmpty());
    const QImage lightImage(light);
    const QImage darkImage(dark);
    ASSERT_FALSE(lightImage.isNull());
    ASSERT_FALSE(darkImage.isNull());
    EXPECT_GT(qGray(lightImage.pixel(2, 2)), qGray(darkImage.pixel(2, 2)) + 100);
}

} // namespace

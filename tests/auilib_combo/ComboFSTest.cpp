// The file-system combo box over a temporary home with its own
// user-dirs.dirs (two folders missing): the standard folders in order, the
// browse entry through a replaced folder chooser, vanished folders dropped
// on a mouse press, and the records behind the entries.
#include "ComboBoxFS.h"
#include "ComboBoxFSImplQt.h"

#include "AgnosticUIException.h"
#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using AUILib::ComboBoxFS;
using FSData = AUILib::ComboBoxFS::FSData;

const QStandardPaths::StandardLocation kLocations[] = {
    QStandardPaths::DocumentsLocation, QStandardPaths::DesktopLocation, QStandardPaths::DownloadLocation,
    QStandardPaths::PicturesLocation,  QStandardPaths::MusicLocation,   QStandardPaths::MoviesLocation};

// HOME and the configuration folder pointed at a temporary home whose
// user-dirs.dirs names six folders, of which Downloads and Music are not
// there; the chooser answers what the test says.
class TemporaryHome {
public:
    TemporaryHome() : home_(qgetenv("HOME")), config_(qgetenv("XDG_CONFIG_HOME"))
    {
        const QString root = folder.path();
        QDir(root).mkpath(QStringLiteral(".config"));
        for (const char* name : {"Docs", "Desk", "Pics", "Vids", "Other"})
            QDir(root).mkpath(QString::fromLatin1(name));
        QFile dirs(root + QStringLiteral("/.config/user-dirs.dirs"));
        dirs.open(QIODevice::WriteOnly);
        QTextStream(&dirs) << "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n"
                              "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n"
                              "XDG_DOWNLOAD_DIR=\"$HOME/Down\"\n"
                              "XDG_PICTURES_DIR=\"$HOME/Pics\"\n"
                              "XDG_MUSIC_DIR=\"$HOME/Music\"\n"
                              "XDG_VIDEOS_DIR=\"$HOME/Vids\"\n";
        dirs.close();
        qputenv("HOME", root.toUtf8());
        qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/.config")).toUtf8());
        previous_ = ComboBoxFS::impl::SetFolderChooser([this](const QString& caption, const QString& start) {
            captions.push_back(caption);
            starts.push_back(start);
            return answer;
        });
    }
    ~TemporaryHome()
    {
        ComboBoxFS::impl::SetFolderChooser(previous_);
        qputenv("HOME", home_);
        if (config_.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", config_);
    }

    QString Path(const char* name) const { return folder.path() + QLatin1Char('/') + QString::fromLatin1(name); }

    QTemporaryDir folder;
    QString answer;  // null: cancelled
    std::vector<QString> captions, starts;

private:
    QByteArray home_, config_;
    ComboBoxFS::impl::FolderChooser previous_;
};

class ComboFS : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = std::make_unique<QWidget>();
        window_->setGeometry(50, 50, 300, 100);
        box_ = std::make_shared<ComboBoxFS>();
        box_->Create(window_.get());
        widget_ = static_cast<ComboBoxFS::impl*>(box_->GetBaseImpl().get())->GetWidget();
        widget_->setGeometry(10, 10, 220, 28);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        box_->InitComboBoxFS();
    }
    void TearDown() override
    {
        box_.reset();
        window_.reset();
    }

    FSData Item(int index)
    {
        FSData data;
        EXPECT_TRUE(box_->GetSearchFolderItem(data, index));
        return data;
    }
    // The user picks the entry from the list.
    void Activate(int index)
    {
        widget_->setCurrentIndex(index);
        emit widget_->activated(index);
    }
    int BrowseIndex() { return widget_->findText(QObject::tr("<Browse...>")); }

    TemporaryHome home_;
    std::unique_ptr<QWidget> window_;
    std::shared_ptr<ComboBoxFS> box_;
    QPointer<AUILib::ComboBoxFSQt> widget_;
};

TEST_F(ComboFS, InitListsTheStandardFoldersThenBrowse)
{
    ASSERT_EQ(box_->Count(), 7);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const QString name = QStandardPaths::displayName(kLocations[i]);
        const QString path = QFileInfo(QStandardPaths::writableLocation(kLocations[i])).canonicalFilePath();
        EXPECT_EQ(widget_->itemText(i), name);
        const FSData data = Item(i);
        EXPECT_EQ(data.type, ComboBoxFS::StandardFolder);
        EXPECT_EQ(data.tag, 0);
        EXPECT_EQ(QString::fromStdWString(data.path), path);
        EXPECT_EQ(QString::fromStdWString(data.displayName), name);
        EXPECT_EQ(widget_->itemIcon(i).isNull(), path.isEmpty());
    }
    // The home's own folders, missing ones with empty paths.
    EXPECT_EQ(QString::fromStdWString(Item(0).path), QFileInfo(home_.Path("Docs")).canonicalFilePath());
    EXPECT_TRUE(Item(2).path.empty());
    EXPECT_TRUE(Item(4).path.empty());

    const FSData browse = Item(6);
    EXPECT_EQ(browse.type, ComboBoxFS::BrowseEntry);
    EXPECT_EQ(browse.tag, 0);
    EXPECT_EQ(QString::fromStdWString(browse.path), QObject::tr("<Browse...>"));
    EXPECT_TRUE(widget_->itemIcon(6).isNull());

    EXPECT_EQ(widget_->currentIndex(), 0);
    FSData current;
    EXPECT_TRUE(box_->GetCurSearchFolderItem(current));
    EXPECT_EQ(current.path, Item(0).path);
    EXPECT_GE(widget_->view()->minimumWidth(), widget_->sizeHint().width());

    // Again: the same list, not twice.
    box_->InitComboBoxFS();
    EXPECT_EQ(box_->Count(), 7);
}

TEST_F(ComboFS, BrowsingThroughTheChooser)
{
    SignalRecorder<int> activated(box_->OnActivated);
    const QString other = QFileInfo(home_.Path("Other")).canonicalFilePath();
    const QString link = home_.Path("LinkToOther");
    ASSERT_TRUE(QFile::link(other, link));
    const struct {
        const char* what;
        QString answer;
        int expectedIndex;  // -1: a new entry at the end
        int countAfter;
    } cases[] = {
        {"new folder", other, -1, 8},
        {"listed folder in other case", other.toUpper(), 7, 8},
        {"link to a listed folder", link, 7, 8},
        {"Documents: standard entries show names", home_.Path("Docs"), -1, 9},
        {"cancel", QString(), 8, 9},  // back to the entry current before
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        home_.answer = c.answer;
        const size_t before = activated.Count();
        Activate(BrowseIndex());
        ASSERT_EQ(activated.Count(), before + 1);
        EXPECT_EQ(box_->Count(), c.countAfter);
        const int expected = c.expectedIndex < 0 ? box_->Count() - 1 : c.expectedIndex;
        EXPECT_EQ(widget_->currentIndex(), expected);
        EXPECT_EQ(std::get<0>(activated.Last()), expected);
    }
    const FSData added = Item(7);
    EXPECT_EQ(added.type, ComboBoxFS::BrowsedFolder);
    EXPECT_EQ(added.tag, 1);
    EXPECT_EQ(QString::fromStdWString(added.path), other);
    EXPECT_EQ(QString::fromStdWString(added.displayName), other);
    EXPECT_EQ(widget_->itemText(7), other);
    EXPECT_EQ(home_.captions.back(), QObject::tr("Select the folder you want to search."));
    EXPECT_EQ(home_.starts.back(), home_.folder.path());

    // Cancel with nothing chosen since Init: back to the first entry.
    box_->InitComboBoxFS();
    home_.answer = QString();
    Activate(BrowseIndex());
    EXPECT_EQ(widget_->currentIndex(), 0);

    // Any other entry: only focus and the notification.
    const size_t calls = home_.captions.size();
    Activate(3);
    EXPECT_EQ(home_.captions.size(), calls);
    EXPECT_EQ(std::get<0>(activated.Last()), 3);
}

TEST_F(ComboFS, VanishedFoldersGoOnTheNextMousePress)
{
    const QString gone = home_.Path("Gone");
    QDir().mkpath(gone);
    home_.answer = gone;
    Activate(BrowseIndex());
    ASSERT_EQ(box_->Count(), 8);
    FSData extra;
    extra.type = ComboBoxFS::BrowsedFolder;
    extra.tag = 1;
    extra.path = home_.Path("Other").toStdWString();
    EXPECT_EQ(box_->AddSearchFolderItem(L"other", extra), 8);
    FSData missing = extra;
    missing.path = home_.Path("Nowhere").toStdWString();
    EXPECT_EQ(box_->AddSearchFolderItem(L"nowhere", missing), -1);
    EXPECT_EQ(box_->InsertSearchFolderItem(0, L"nowhere", missing), -1);
    EXPECT_EQ(box_->Count(), 9);
    EXPECT_EQ(box_->InsertSearchFolderItem(1, L"other again", extra), 1);
    EXPECT_EQ(box_->Count(), 10);

    ASSERT_TRUE(QDir(gone).removeRecursively());
    widget_->view()->setMinimumWidth(1);
    QTest::mousePress(widget_, Qt::LeftButton);
    QTest::mouseRelease(widget_, Qt::LeftButton);
    widget_->hidePopup();
    EXPECT_EQ(box_->Count(), 9);
    EXPECT_EQ(widget_->findText(QFileInfo(home_.Path("Other")).canonicalFilePath()), -1);
    EXPECT_NE(widget_->findText(QStringLiteral("other")), -1);
    EXPECT_NE(BrowseIndex(), -1);      // the browse entry stays
    EXPECT_TRUE(Item(3).path.empty()); // and so do the folders without path
    EXPECT_GT(widget_->view()->minimumWidth(), 1);
}

TEST_F(ComboFS, EntriesWithoutRecordAndAWidgetThatWent)
{
    widget_->addItem(QStringLiteral("plain"));
    widget_->addItem(QStringLiteral("foreign"), QVariant::fromValue(AUILib::KwLPMRUComboBoxItem_Qt(nullptr)));
    FSData out;
    out.tag = 42;
    EXPECT_FALSE(box_->GetSearchFolderItem(out, 7));
    EXPECT_FALSE(box_->GetSearchFolderItem(out, 8));
    EXPECT_FALSE(box_->GetSearchFolderItem(out, 99));
    EXPECT_EQ(out.tag, 42);
    box_->SetCurSel(7);
    EXPECT_FALSE(box_->GetCurSearchFolderItem(out));

    window_.reset();
    FSData data;
    data.path = home_.Path("Other").toStdWString();
    EXPECT_EQ(box_->Count(), -1);
    EXPECT_EQ(box_->AddSearchFolderItem(L"x", data), -1);
    EXPECT_EQ(box_->AddSearchFolderItem(L"x", ComboBoxFS::BrowsedFolder, 1, L"/", L"/"), -1);
    EXPECT_EQ(box_->InsertSearchFolderItem(0, L"x", data), -1);
    EXPECT_FALSE(box_->GetCurSearchFolderItem(data));
    EXPECT_FALSE(box_->GetSearchFolderItem(data, 0));
    box_->InitComboBoxFS();
    box_->SetCurSel(0);
    box_->AutoUpdateComboboxViewWidth();
    box_->UpdateCustomColors();
    QWidget other;
    EXPECT_THROW(box_->Create(&other), AUILib::AgnosticUIException);
}

TEST_F(ComboFS, HandlersMayDropTheControl)
{
    home_.answer = home_.Path("Other");
    box_->OnActivated.Connect([this](int) { box_.reset(); });
    Activate(BrowseIndex());
    EXPECT_FALSE(box_);
    ASSERT_TRUE(widget_);
    // The released control's widget goes on taking events.
    QTest::mousePress(widget_, Qt::LeftButton);
    QTest::mouseRelease(widget_, Qt::LeftButton);
    widget_->hidePopup();
    emit widget_->activated(0);
}

} // namespace

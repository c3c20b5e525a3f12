// The update list: the shape of the tree for the offered modules, check
// propagation and the exclusion between the two groups, the selection that
// "Download and Install" hands over, and the ways out of the list.
#include "CheckTestSupport.h"
#include "DlgUpdatesTree.h"
#include "ModalAnswerer.h"

#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

namespace {

// One <addon> per row: name, title, version, size, module_type.
struct Mod { const char* name; const char* title; const char* version; const char* size; const char* type; };

QByteArray replyOf(std::initializer_list<Mod> modules)
{
    QByteArray xml = "<addons rollback=\"false\">";
    for (const Mod& m : modules) {
        xml += QStringLiteral("<addon name=\"%1\" title=\"%2\" version=\"%3\" size=\"%4\" module_type=\"%5\" "
                              "description=\"About %2\" result=\"true\"/>")
                   .arg(QLatin1String(m.name), QLatin1String(m.title), QLatin1String(m.version),
                        QLatin1String(m.size), QLatin1String(m.type))
                   .toUtf8();
    }
    return xml + "</addons>";
}

// Reader update, two plain add-ons and two OCR packs.
const Mod kReader{"ReaderUpdate", "Reader 11.1", "11.1.0.0", "20971520B", "updater"};
const Mod kStamps{"StampSet", "Stamps", "2.0", "1048576", "basic"};
const Mod kAnnotations{"Notes", "Annotations", "1.0", "1048576", "service"};
const Mod kArabic{"OCR_ar", "Arabic OCR", "1.0", "abc", "service"};
const Mod kZulu{"OCR_zu", "Zulu OCR", "1.0", "3221225472", "basic"};

// "text size[children]" for every row under the item, in tree order.
QString shape(const QStandardItem* parent)
{
    QStringList rows;
    for (int row = 0; row < parent->rowCount(); ++row) {
        const QStandardItem* item = parent->child(row, 0);
        QString text = item->text();
        const QStandardItem* size = parent->child(row, 1);
        if (size && !size->text().isEmpty())
            text += QLatin1Char(' ') + size->text();
        if (item->rowCount() > 0)
            text += QLatin1Char('[') + shape(item) + QLatin1Char(']');
        rows << text;
    }
    return rows.join(QStringLiteral(", "));
}

QStandardItem* findItem(QStandardItemModel* model, const QString& text)
{
    const QList<QStandardItem*> found = model->findItems(text, Qt::MatchExactly | Qt::MatchRecursive, 0);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class UpdatesTree : public CheckRun
{
protected:
    // A list over the offered modules, shown (not modal) for the test to act on.
    std::unique_ptr<DlgUpdatesTree> open(const QByteArray& reply, const QString& type = QStringLiteral("Update List"))
    {
        start(type);
        managerFromReply(reply);
        auto list = std::make_unique<DlgUpdatesTree>(manager, app.get(), nullptr);
        list->show();
        return list;
    }

    // What a click on a check box does: the view toggles, then reports the click.
    static void toggle(DlgUpdatesTree& list, const QString& text)
    {
        QStandardItem* item = findItem(list.model(), text);
        ASSERT_TRUE(item) << text.toStdString();
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        clickCell(list, item->index());
    }
    // The keyboard's way: the row made current, then Space (no click follows).
    static void press(DlgUpdatesTree& list, const QString& text)
    {
        QStandardItem* item = findItem(list.model(), text);
        ASSERT_TRUE(item) << text.toStdString();
        auto* view = list.findChild<QTreeView*>(QStringLiteral("treeView_4"));
        view->setCurrentIndex(item->index());
        QTest::keyClick(view, Qt::Key_Space);
    }
    // A click on the text only (no toggle).
    static void clickCell(DlgUpdatesTree& list, const QModelIndex& index)
    {
        auto* view = list.findChild<QTreeView*>(QStringLiteral("treeView_4"));
        QMetaObject::invokeMethod(view, "clicked", Q_ARG(QModelIndex, index));
    }
    static Qt::CheckState state(DlgUpdatesTree& list, const QString& text)
    {
        QStandardItem* item = findItem(list.model(), text);
        return item ? item->checkState() : Qt::CheckState(-1);
    }
    static bool downloadEnabled(DlgUpdatesTree& list)
    {
        return list.findChild<QPushButton*>(QStringLiteral("button_download"))->isEnabled();
    }
};

TEST_F(UpdatesTree, ShapeOfTheTree)
{
    const Mod other{"Plug", "Plug-in", "1.0", "1", "plugin"};
    const Mod untitled{"NoTitle", "", "1.0", "1", "basic"};
    const Mod stampsAgain{"StampSet2", "Stamps", "2.0", "2097152", "basic"};
    struct Case { const char* name; QByteArray reply; QString shape; };
    const Case cases[] = {
        {"both groups", replyOf({kStamps, kZulu, kReader, kArabic, kAnnotations}),
         "Velto PDF Reader Updates[Reader 11.1 20.00MB], "
         "Add-ons[Annotations 1.00MB, OCR[Arabic OCR 0.00MB, Zulu OCR 3072.00MB], Stamps 1.00MB]"},
        {"only add-ons", replyOf({kStamps}), "Add-ons[Stamps 1.00MB]"},
        {"only reader updates", replyOf({kReader}), "Velto PDF Reader Updates[Reader 11.1 20.00MB]"},
        // Neither an untitled add-on nor a module of another type is shown,
        // and a group left empty goes with them.
        {"reader and untitled add-on", replyOf({kReader, untitled}), "Velto PDF Reader Updates[Reader 11.1 20.00MB]"},
        {"untitled add-on only", replyOf({untitled}), ""},
        {"unlisted type only", replyOf({other}), ""},
        {"unlisted type and an add-on", replyOf({other, kStamps}), "Add-ons[Stamps 1.00MB]"},
        {"same title twice", replyOf({kStamps, stampsAgain}), "Add-ons[Stamps 1.00MB, Stamps 2.00MB]"},
        {"nothing offered", replyOf({}), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto list = open(c.reply);
        EXPECT_EQ(shape(list->model()->invisibleRootItem()), c.shape);
        EXPECT_FALSE(downloadEnabled(*list));
        if (QLatin1String(c.name) == QLatin1String("only add-ons")) {
            EXPECT_EQ(list->model()->item(0, 1), nullptr);   // the blank cell went with the removed row
        }
        list.reset();
        delete manager.data();
    }
}

TEST_F(UpdatesTree, ChecksPropagateAndGroupsExcludeEachOtherByMouseAndByKeyboard)
{
    const struct {
        const char* name;
        void (*toggle)(DlgUpdatesTree&, const QString&);
    } ways[] = {{"click", &UpdatesTree::toggle}, {"Space", &UpdatesTree::press}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        auto list = open(replyOf({kStamps, kZulu, kReader, kArabic, kAnnotations}));
        DlgUpdatesTree& l = *list;
        const auto toggle = [&](const char* text) { way.toggle(l, QString::fromUtf8(text)); };

        toggle("Arabic OCR");
        EXPECT_EQ(state(l, "Arabic OCR"), Qt::Checked);
        EXPECT_EQ(state(l, "OCR"), Qt::PartiallyChecked);
        EXPECT_EQ(state(l, "Add-ons"), Qt::PartiallyChecked);
        EXPECT_TRUE(downloadEnabled(l));
        toggle("Zulu OCR");
        EXPECT_EQ(state(l, "OCR"), Qt::Checked);
        EXPECT_EQ(state(l, "Add-ons"), Qt::PartiallyChecked);
        toggle("Annotations");
        toggle("Stamps");
        EXPECT_EQ(state(l, "Add-ons"), Qt::Checked);

        // The label of a partly checked group pushes "partly" down to every child.
        toggle("Stamps");
        ASSERT_EQ(state(l, "Add-ons"), Qt::PartiallyChecked);
        clickCell(l, findItem(l.model(), "Add-ons")->index());
        for (const char* text : {"Annotations", "OCR", "Arabic OCR", "Zulu OCR", "Stamps"})
            EXPECT_EQ(state(l, text), Qt::PartiallyChecked) << text;
        EXPECT_FALSE(downloadEnabled(l));

        // A reader update clears every add-on, and the other way round.
        toggle("Stamps");
        toggle("Reader 11.1");
        EXPECT_EQ(state(l, "Velto PDF Reader Updates"), Qt::Checked);   // a single child decides
        for (const char* text : {"Add-ons", "Annotations", "OCR", "Arabic OCR", "Zulu OCR", "Stamps"})
            EXPECT_EQ(state(l, text), Qt::Unchecked) << text;
        // Clicking the row's size cell leaves the group as its child is.
        QStandardItem* readerGroup = findItem(l.model(), "Velto PDF Reader Updates");
        clickCell(l, readerGroup->child(0, 1)->index());
        EXPECT_EQ(state(l, "Velto PDF Reader Updates"), Qt::Checked);

        toggle("Zulu OCR");
        EXPECT_EQ(state(l, "Reader 11.1"), Qt::Unchecked);
        EXPECT_EQ(state(l, "Velto PDF Reader Updates"), Qt::Unchecked);
        EXPECT_EQ(state(l, "OCR"), Qt::PartiallyChecked);
        EXPECT_EQ(state(l, "Add-ons"), Qt::PartiallyChecked);

        // Checking the group checks the whole group.
        toggle("Velto PDF Reader Updates");
        EXPECT_EQ(state(l, "Reader 11.1"), Qt::Checked);
        EXPECT_EQ(state(l, "Zulu OCR"), Qt::Unchecked);
        EXPECT_TRUE(downloadEnabled(l));

        // Unchecking the last chosen module leaves nothing to download, and a
        // group never shows checked over an unchecked child.
        toggle("Reader 11.1");
        EXPECT_EQ(state(l, "Velto PDF Reader Updates"), Qt::Unchecked);
        EXPECT_FALSE(downloadEnabled(l));
        list.reset();
        delete manager.data();
    }
}

TEST_F(UpdatesTree, SameTitleTwiceOnlyTheLaterIsSelectable)
{
    auto list = open(replyOf({kStamps, {"StampSet2", "Stamps", "2.0", "2097152", "basic"}}));
    QStandardItem* group = findItem(list->model(), "Add-ons");
    QStandardItem* earlier = group->child(0, 0);
    earlier->setCheckState(Qt::Checked);
    clickCell(*list, earlier->index());
    EXPECT_FALSE(downloadEnabled(*list));
}

TEST_F(UpdatesTree, DownloadHandsOverTheCheckedModulesInTitleOrder)
{
    auto list = open(replyOf({kStamps, kZulu, kReader, kArabic, kAnnotations}));
    toggle(*list, "Zulu OCR");
    press(*list, "Reader 11.1");   // by keyboard: clears the add-ons...
    press(*list, "Zulu OCR");      // ...and this clears the reader update again
    press(*list, "Stamps");
    toggle(*list, "Annotations");   // tree order: Annotations, Zulu OCR, Stamps

    ModalAnswerer answerer;
    QStringList selectedWhenListOpened;
    answerer.answer([&](QWidget* w) {
        for (int i = 0; i < manager->CountSelModules(); ++i)
            selectedWhenListOpened << QString::fromStdString(manager->GetSelModule(i)->title);
        static_cast<QDialog*>(w)->done(0);
    }, QStringLiteral("dlgfound"));
    list->findChild<QPushButton*>(QStringLiteral("button_download"))->click();

    EXPECT_EQ(answerer.pending(), 0);
    EXPECT_EQ(selectedWhenListOpened, QStringList({"Annotations", "Stamps", "Zulu OCR"}));
    EXPECT_TRUE(list->bHandled);
    EXPECT_FALSE(list->isVisible());
    flushDeferredDeletes();
    EXPECT_FALSE(manager.isNull());   // the download goes on with it
}

TEST_F(UpdatesTree, EscapeCloseButtonAndClose)
{
    struct Case { const char* name; int how; bool handled; bool released; };   // how: 0 Escape, 1 window close, 2 Close
    const Case cases[] = {
        {"Escape", 0, false, false},
        {"window close button", 1, true, true},
        {"Close", 2, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto list = open(replyOf({kStamps}));
        ModalAnswerer answerer;
        answerer.clickButton(QStringLiteral("No"), QStringLiteral("QMessageBox"));
        answerer.clickButton(QStringLiteral("Yes"), QStringLiteral("QMessageBox"));
        const auto act = [&] {
            if (c.how == 0)
                QTest::keyClick(list.get(), Qt::Key_Escape);
            else if (c.how == 1)
                list->close();
            else
                list->findChild<QPushButton*>(QStringLiteral("button_cancel"))->click();
        };
        act();   // answered No: the list stays
        EXPECT_TRUE(list->isVisible());
        EXPECT_FALSE(list->bHandled);
        act();   // answered Yes
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(list->bHandled, c.handled);
        EXPECT_EQ(answerer.seen().size(), 2);
        if (!answerer.seen().isEmpty()) {
            EXPECT_EQ(answerer.seen().at(0).title, QStringLiteral("Velto PDF Reader Updater"));
            EXPECT_TRUE(answerer.seen().at(0).texts.contains(
                QStringLiteral("Are you sure you want to cancel the installation?")));
        }
        flushDeferredDeletes();
        EXPECT_EQ(manager.isNull(), c.released);
        list.reset();
        delete manager.data();
    }
}

// What the update list shows of the reply's texts: the description of the
// current row (whatever made it current: a click, the arrows, Home/End), as
// plain text, and titles whose direction-control characters are taken out.
#include "CheckTestSupport.h"
#include "DlgUpdatesTree.h"

#include <QStandardItemModel>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeView>
#include <vector>

namespace {

QByteArray addon(const QString& name, const QString& title, const QString& type, const QString& description)
{
    return QStringLiteral("<addon name=\"%1\" title=\"%2\" version=\"12.0.0.0\" size=\"1024\" module_type=\"%3\" "
                          "description=\"%4\" result=\"true\"/>")
        .arg(name, title, type, description)
        .toUtf8();
}

} // namespace

class UpdatesTreeText : public CheckRun
{
protected:
    std::unique_ptr<DlgUpdatesTree> open(const QByteArray& modules)
    {
        start(QStringLiteral("Update List"));
        managerFromReply("<addons>" + modules + "</addons>");
        auto list = std::make_unique<DlgUpdatesTree>(manager, app.get(), nullptr);
        list->show();
        return list;
    }
    static QTextEdit* descriptionBox(DlgUpdatesTree& list)
    {
        return list.findChild<QTextEdit*>(QStringLiteral("textEdit"));
    }
    static QTreeView* tree(DlgUpdatesTree& list)
    {
        return list.findChild<QTreeView*>(QStringLiteral("treeView_4"));
    }
};

TEST_F(UpdatesTreeText, DescriptionFollowsTheCurrentRowFromTheKeyboard)
{
    auto list = open(addon("ReaderUpdate", "Reader 11.1", "updater", "About the reader")
                     + addon("StampSet", "Stamps", "basic", "About stamps")
                     + addon("Notes", "Annotations", "service", "About notes"));
    QTreeView* view = tree(*list);
    QTextEdit* box = descriptionBox(*list);
    view->setFocus();
    view->setCurrentIndex(list->model()->index(0, 0));   // the reader-updates group
    // Rows: Reader updates [Reader 11.1], Add-ons [Annotations, Stamps].
    struct Step { const char* what; Qt::Key key; const char* current; const char* description; };
    const Step steps[] = {
        {"down to the reader update", Qt::Key_Down, "Reader 11.1", "About the reader"},
        {"down to a group: the text stays", Qt::Key_Down, "Add-ons", "About the reader"},
        {"down to an add-on", Qt::Key_Down, "Annotations", "About notes"},
        {"space toggles, the text stays", Qt::Key_Space, "Annotations", "About notes"},
        {"down to the last row", Qt::Key_Down, "Stamps", "About stamps"},
        {"up again", Qt::Key_Up, "Annotations", "About notes"},
        {"home", Qt::Key_Home, "Velto PDF Reader Updates", "About notes"},
        {"end", Qt::Key_End, "Stamps", "About stamps"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        QTest::keyClick(view, s.key);
        EXPECT_EQ(view->currentIndex().data().toString(), QLatin1String(s.current));
        EXPECT_EQ(box->toPlainText(), QLatin1String(s.description));
    }
    EXPECT_EQ(list->model()->findItems(QStringLiteral("Annotations"), Qt::MatchExactly | Qt::MatchRecursive)
                  .value(0)->checkState(),
              Qt::Checked);

    // The size cell of a row stands for its row too.
    const QModelIndex stampsSize = view->currentIndex().sibling(view->currentIndex().row(), 1);
    view->setCurrentIndex(view->currentIndex().sibling(0, 0));   // Annotations
    ASSERT_EQ(box->toPlainText(), QStringLiteral("About notes"));
    view->setCurrentIndex(stampsSize);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("About stamps"));
}

TEST_F(UpdatesTreeText, ReplyTextsArePlainAndDirectionControlsAreTakenOut)
{
    const QString markup = QStringLiteral("<h1 style=\"font-size:80px;color:red\">INSTALL NOW</h1>"
                                          "<img src=\"/local/file.png\"><a href=\"http://x\">here</a>");
    const QString escaped = markup.toHtmlEscaped();
    struct Title { const char* what; QString sent; QString shown; };
    const std::vector<Title> titles = {
        {"right-to-left override", QStringLiteral("Invoice\u202Egnp.exe"), QStringLiteral("Invoicegnp.exe")},
        {"every embedding and isolate",
         QStringLiteral("a\u202Ab\u202Bc\u202Cd\u202De\u2066f\u2067g\u2068h\u2069i"), QStringLiteral("abcdefghi")},
        {"marks that reorder nothing stay", QStringLiteral("x\u200Fy\u200Ez"), QStringLiteral("x\u200Fy\u200Ez")},
    };
    for (const Title& t : titles) {
        SCOPED_TRACE(t.what);
        auto list = open(addon("Odd", t.sent.toHtmlEscaped(), "basic",
                               escaped + QStringLiteral("\u202Etxt.exe")));
        QTextEdit* box = descriptionBox(*list);
        // The description is the literal text: no banner, picture or link.
        EXPECT_EQ(box->toPlainText(), markup + QStringLiteral("txt.exe"));
        const QString html = box->document()->toHtml();
        EXPECT_FALSE(html.contains(QLatin1String("<img"))) << html.toStdString();
        EXPECT_FALSE(html.contains(QLatin1String("<h1"))) << html.toStdString();
        EXPECT_FALSE(html.contains(QLatin1String("<a href"))) << html.toStdString();
        // The title in the list and the module's own record.
        EXPECT_EQ(list->model()->findItems(t.shown, Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
        EXPECT_EQ(QString::fromStdString(manager->GetAvailabletModule(0)->title), t.shown);
        // A click on the row shows the same plain text again.
        tree(*list)->setCurrentIndex(QModelIndex());
        box->clear();
        QStandardItem* row = list->model()->findItems(t.shown, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        ASSERT_TRUE(row);
        list->OnTreeViewClicked(row->index());
        EXPECT_EQ(box->toPlainText(), markup + QStringLiteral("txt.exe"));
        list.reset();
        delete manager.data();
    }
}

// The update list's check boxes, light and dark: their outlines stand out
// from the list's background as much in the dark appearance as in the light
// one, checked or not, module or group. Pictures go to <build>/screenshots/.
#include "Appearance.h"
#include "CheckTestSupport.h"
#include "DlgUpdatesTree.h"
#include "Screenshot.h"
#include "WidgetLooks.h"

#include <QFileInfo>
#include <QImage>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeView>
#include <cstdlib>

namespace {

// The largest luminance difference between the outline of the row's check box
// (a ring from one pixel outside its edge to two inside, so the check mark
// does not count) and the list's background beside the row's text.
int outlineContrast(QTreeView* view, const QModelIndex& index)
{
    const QImage image = view->viewport()->grab().toImage();
    QStyleOptionViewItem option;
    option.initFrom(view->viewport());
    option.widget = view;
    option.rect = view->visualRect(index);
    option.font = view->font();
    option.fontMetrics = view->fontMetrics();
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = index.data().toString();
    option.checkState = Qt::CheckState(index.data(Qt::CheckStateRole).toInt());
    const QRect edge = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    const QRect box = edge.adjusted(-1, -1, 1, 1);
    const QRect inside = edge.adjusted(2, 2, -2, -2);
    const int background = qGray(image.pixel(option.rect.right() - 3, option.rect.center().y()));
    int contrast = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (image.rect().contains(x, y) && !inside.contains(x, y))
                contrast = std::max(contrast, std::abs(qGray(image.pixel(x, y)) - background));
        }
    }
    return contrast;
}

} // namespace

class CheckBoxOutline : public CheckRun
{
protected:
    ~CheckBoxOutline() override
    {
        env.set("UPDATER_APPEARANCE", "");
        Appearance::applySystemAppearance();
    }
    AgentLook look;
};

TEST_F(CheckBoxOutline, DarkOutlinesStandOutAsMuchAsLightOnes)
{
    start(QStringLiteral("Update List"));
    // Unchecked module, checked module, group: what each looks like per appearance.
    const QStringList rows{QStringLiteral("Stamps"), QStringLiteral("French OCR"), QStringLiteral("Add-ons")};
    QMap<QString, int> light;
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        env.set("UPDATER_APPEARANCE", dark ? "dark" : "");
        Appearance::applySystemAppearance();
        managerFromReply(fixture(QStringLiteral("reply_offers.xml")));
        DlgUpdatesTree list(manager, app.get(), nullptr);
        list.show();
        QTest::qWait(50);
        auto* view = list.findChild<QTreeView*>(QStringLiteral("treeView_4"));
        const auto item = [&](const QString& text) {
            return list.model()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        };
        ASSERT_TRUE(item(QStringLiteral("French OCR")));
        item(QStringLiteral("French OCR"))->setCheckState(Qt::Checked);
        ASSERT_EQ(item(QStringLiteral("French OCR"))->parent()->checkState(), Qt::PartiallyChecked);
        QTest::qWait(20);

        for (const QString& row : rows) {
            ASSERT_TRUE(item(row)) << row.toStdString();
            const int contrast = outlineContrast(view, item(row)->index());
            if (!dark) {
                light[row] = contrast;
                EXPECT_GT(contrast, 50) << row.toStdString();
            } else {
                EXPECT_GE(contrast, light[row] - 8) << row.toStdString() << ": light " << light[row];
            }
        }
        EXPECT_GT(QFileInfo(saveScreenshot(&list, QStringLiteral("update-list-check-boxes-%1")
                                                       .arg(dark ? QStringLiteral("dark") : QStringLiteral("light"))))
                      .size(),
                  0);
        delete manager.data();
    }
}

// Item pictures through the tree control, in both modes.
#include "TreeTestKit.h"

#include "PngBytes.h"
#include "TempFolder.h"
#include "TreeModel.h"
#include "VirtTreeItem.h"

#include <QFile>
#include <QIcon>

namespace {

using AUILib::BitmapDefault;

const unsigned char* Data(const QByteArray& bytes) { return reinterpret_cast<const unsigned char*>(bytes.constData()); }

class TreePicturesFixture : public treekit::TreeFixture {};

TEST_F(TreePicturesFixture, BytesFormRefusalsAndSharing)
{
    auto& t = *tree_;
    const QByteArray png = PngBytes();
    const QByteArray zeroFirst = QByteArray(1, '\0') + png;
    struct Case {
        const char* name;
        const unsigned char* data;
        int length;
        AUILib::ImageTypes type;
    } refused[] = {
        {"null data", nullptr, 10, AUILib::ImagePNG},
        {"type 0", Data(png), png.size(), AUILib::ImageUnknown},
        {"first byte 0", Data(zeroFirst), zeroFirst.size(), AUILib::ImagePNG},
        {"length 0", Data(png), 0, AUILib::ImagePNG},
        {"length -1", Data(png), -1, AUILib::ImagePNG},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(t.AddPicture(I("A"), c.data, c.length, c.type, 16, BitmapDefault), -1);
    }
    EXPECT_TRUE(I("A")->icon().isNull());
    EXPECT_EQ(t.AddPicture(I("A"), Data(png), png.size(), AUILib::ImagePNG, 16, BitmapDefault), 1);
    EXPECT_EQ(t.AddPicture(I("B"), Data(png), png.size(), AUILib::ImagePNG, 16, BitmapDefault), 1);
    EXPECT_FALSE(I("B")->icon().isNull());
    EXPECT_EQ(View()->iconSize(), QSize(16, 16));
    EXPECT_EQ(t.GetItemPicturePath(I("A")), L"");
    // A null item only stores the picture.
    const QByteArray blue = PngBytes(8, 8, Qt::blue);
    EXPECT_EQ(t.AddPicture(static_cast<QStandardItem*>(nullptr), Data(blue), blue.size(), AUILib::ImagePNG, 20,
                           BitmapDefault), 2);
    EXPECT_TRUE(t.SetPicture(I("A2"), 2));
    EXPECT_FALSE(I("A2")->icon().isNull());
    EXPECT_TRUE(t.SetPicture(I("A2"), 0));   // the empty slot: no icon shown
    EXPECT_TRUE(I("A2")->icon().isNull());
    EXPECT_FALSE(t.SetPicture(I("A2"), -1));
    EXPECT_FALSE(t.SetPicture(AUILib::TreeItemRoot, 1));
}

TEST_F(TreePicturesFixture, PathFormRecordsItsPath)
{
    auto& t = *tree_;
    TempFolder folder;
    const QByteArray png = PngBytes(8, 8, Qt::green);
    const QString path = QString::fromStdString(folder.Write("flag.png", std::string(png.constData(), png.size())));
    folder.Write("empty.png", "");
    const QString base = QString::fromStdString(folder.Path());
    EXPECT_EQ(t.AddPicture(I("A1"), path.toStdWString(), 16, BitmapDefault), 1);
    EXPECT_EQ(t.GetItemPicturePath(I("A1")), path.toStdWString());
    EXPECT_EQ(t.AddPicture(I("A1"), (base + "/missing.png").toStdWString(), 16, BitmapDefault), -1);
    EXPECT_EQ(t.AddPicture(I("A1"), (base + "/empty.png").toStdWString(), 16, BitmapDefault), -1);
    EXPECT_EQ(t.GetItemPicturePath(I("A1")), path.toStdWString());
}

TEST_F(TreePicturesFixture, RemovedItemsLeaveThePictureBookkeeping)
{
    auto& t = *tree_;
    const QByteArray png = PngBytes();
    ASSERT_EQ(t.AddPicture(I("A1a"), Data(png), png.size(), AUILib::ImagePNG, 16, BitmapDefault), 1);
    ASSERT_TRUE(t.RemoveItem(I("A")));
    QStandardItem* fresh = t.InsertItem(L"fresh", nullptr, AUILib::TreeItemLast);
    EXPECT_EQ(t.GetItemPicturePath(fresh), L"");
    EXPECT_TRUE(t.RemoveAllItems(true));
    fresh = t.InsertItem(L"again", nullptr, AUILib::TreeItemLast);
    EXPECT_EQ(t.AddPicture(fresh, Data(png), png.size(), AUILib::ImagePNG, 16, BitmapDefault), 1);
}

TEST_F(TreePicturesFixture, VirtualPictures)
{
    auto& t = *tree_;
    t.SetVirtualMode(true);
    AUILib::VirtTreeItem* node = t.AddVirtualTreeItem(L"node", nullptr);
    AUILib::VirtTreeItem* other = t.AddVirtualTreeItem(L"other", nullptr);
    t.UpdateVirtualView();
    auto* model = qobject_cast<AUILib::TreeModel*>(View()->model());
    const QByteArray png = PngBytes();
    EXPECT_FALSE(t.SetPicture(node, 1));   // no cache yet
    EXPECT_EQ(t.AddPicture(node, Data(png), png.size(), AUILib::ImagePNG, 16, BitmapDefault), 1);
    EXPECT_EQ(t.AddPicture(static_cast<AUILib::VirtTreeItem*>(nullptr), Data(png), png.size(), AUILib::ImagePNG, 16,
                           BitmapDefault), -1);
    EXPECT_FALSE(model->data(model->IndexOf(node), Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_TRUE(t.SetPicture(other, 5));   // past the end: no picture
    EXPECT_FALSE(model->data(model->IndexOf(other), Qt::DecorationRole).isValid());
    EXPECT_TRUE(t.SetPicture(other, 0));
    EXPECT_FALSE(model->data(model->IndexOf(other), Qt::DecorationRole).isValid());
    EXPECT_EQ(t.GetItemPicturePath(node), L"");
    EXPECT_EQ(t.AddPicture(I("A"), Data(png), png.size(), AUILib::ImagePNG, 16, BitmapDefault), -1);
}

} // namespace

// The drawing pad: strokes from a mouse script, the image of them (strokes
// only, on white), recolouring, the frame and the picture behind.
#include "RangesTestKit.h"

#include "DrawElement.h"
#include "DrawElementQt.h"

#include <QImage>

#include <memory>

using AUILib::DrawElement;
using AUILib::DrawElementQt;

namespace {

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;

class DrawElementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pad_ = std::make_shared<DrawElement>();
        pad_->Create(window_.Get());
        widget_ = WidgetOf<DrawElementQt>(*pad_);
        ASSERT_NE(widget_, nullptr);
        ASSERT_TRUE(window_.ShowWith(widget_, QRect(10, 10, 120, 80)));
    }

    std::unique_ptr<QImage> Image() { return std::unique_ptr<QImage>(pad_->GetImage()); }

    void Stroke(int y) { DragAlong(widget_, {QPoint(20, y), QPoint(60, y), QPoint(100, y)}); }

    ActiveWindow window_;
    std::shared_ptr<DrawElement> pad_;
    DrawElementQt* widget_ = nullptr;
};

TEST_F(DrawElementTest, AMouseScriptDrawsBlackStrokesOnWhite)
{
    EXPECT_EQ(pad_->GetParentWindow(), nullptr);  // Create does not record it
    EXPECT_EQ(widget_->GetOwner(), pad_.get());
    EXPECT_EQ(Image(), nullptr);

    // A picture behind is not a drawing, and not part of the image.
    QImage picture(30, 30, QImage::Format_ARGB32);
    picture.fill(QColor(kRed));
    pad_->DrawImage(&picture, 80, 0);
    SendMouse(widget_, QEvent::MouseButtonPress, QPoint(10, 40));
    EXPECT_EQ(Image(), nullptr);
    SendMouse(widget_, QEvent::MouseMove, QPoint(50, 40));
    SendMouse(widget_, QEvent::MouseMove, QPoint(90, 40));
    EXPECT_EQ(Image(), nullptr);  // not while the stroke is being drawn
    SendMouse(widget_, QEvent::MouseButtonRelease, QPoint(110, 40));

    const std::unique_ptr<QImage> image = Image();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), QSize(120, 80));
    for (int x : {10, 30, 50, 70, 90, 110})
        EXPECT_EQ(image->pixel(x, 40), kBlack) << x;
    for (const QPoint& p : {QPoint(0, 0), QPoint(119, 79), QPoint(60, 10), QPoint(90, 10), QPoint(60, 70)})
        EXPECT_EQ(image->pixel(p), kWhite) << p.x() << "," << p.y();

    // On screen the frame and the picture are there.
    const QImage screen = widget_->grab().toImage();
    EXPECT_EQ(screen.pixel(90, 10), kRed);
    EXPECT_NE(screen.pixel(0, 40), kWhite);
    EXPECT_EQ(screen.pixel(50, 40), kBlack);
}

TEST_F(DrawElementTest, AClickAloneMakesAStroke)
{
    QTest::mouseClick(widget_, Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
    ASSERT_EQ(widget_->GetStrokes().size(), 1u);
    EXPECT_TRUE(widget_->HasDrawing());
    EXPECT_NE(Image(), nullptr);

    pad_->ResetImage();
    EXPECT_TRUE(widget_->GetStrokes().empty());
    EXPECT_EQ(Image(), nullptr);
}

TEST_F(DrawElementTest, LineColourForNewStrokesAndRecolouringOfOldOnes)
{
    EXPECT_EQ(pad_->GetLineColor(), kBlack);
    Stroke(20);
    pad_->SetLineColor(0x00FF0000u);  // top byte ignored
    EXPECT_EQ(pad_->GetLineColor(), kRed);
    EXPECT_EQ(Image()->pixel(60, 20), kBlack);  // the old stroke keeps its colour
    Stroke(40);
    EXPECT_EQ(Image()->pixel(60, 40), kRed);

    pad_->UpdateLinesColor(kBlue);
    std::unique_ptr<QImage> image = Image();
    EXPECT_EQ(image->pixel(60, 20), kBlue);
    EXPECT_EQ(image->pixel(60, 40), kBlue);
    EXPECT_EQ(pad_->GetLineColor(), kRed);  // new strokes still take the line colour
    Stroke(60);
    EXPECT_EQ(Image()->pixel(60, 60), kRed);
}

TEST_F(DrawElementTest, FrameComesAndGoesAndALargePictureIsClipped)
{
    EXPECT_TRUE(pad_->IsSetBorder());
    EXPECT_NE(widget_->grab().toImage().pixel(0, 40), kWhite);
    pad_->SetBorder(false);
    EXPECT_FALSE(pad_->IsSetBorder());
    EXPECT_EQ(widget_->grab().toImage().pixel(0, 40), kWhite);

    QImage picture(400, 300, QImage::Format_ARGB32);
    picture.fill(QColor(kBlue));
    pad_->DrawImage(&picture, 10, 10);
    pad_->DrawImage(nullptr, 0, 0);  // nothing changes
    const QImage screen = widget_->grab().toImage();
    EXPECT_EQ(screen.size(), QSize(120, 80));
    EXPECT_EQ(screen.pixel(5, 5), kWhite);
    EXPECT_EQ(screen.pixel(119, 79), kBlue);
    EXPECT_EQ(Image(), nullptr);  // still nothing drawn
}

} // namespace

#include "DrawElementQt.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace AUILib {

namespace {

constexpr qreal kStrokeWidth = 5.0;

QPointF Position(const QMouseEvent* event) { return QPointF(event->localPos().toPoint()); }

} // namespace

DrawElementQt::DrawElementQt() : QWidget(nullptr) {}

DrawElementQt::~DrawElementQt() = default;

void DrawElementQt::DrawStrokes(QPainter& painter) const
{
    for (const Stroke& stroke : strokes_) {
        painter.setPen(QPen(stroke.colour, kStrokeWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.drawPath(stroke.path);
    }
}

std::unique_ptr<QImage> DrawElementQt::GetImage() const
{
    if (!hasDrawing_)
        return nullptr;
    auto image = std::make_unique<QImage>(width(), height(), QImage::Format_ARGB32);
    image->fill(Qt::white);
    QPainter painter(image.get());
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    DrawStrokes(painter);
    return image;
}

void DrawElementQt::ResetImage()
{
    strokes_.clear();
    currentStroke_ = -1;
    picture_ = QImage();
    hasDrawing_ = false;
    update();
}

void DrawElementQt::DrawImage(const QImage& image, int x, int y)
{
    picture_ = image.copy();
    pictureX_ = x;
    pictureY_ = y;
    update();
}

void DrawElementQt::SetBorder(bool border)
{
    border_ = border;
    update();
}

void DrawElementQt::UpdateLinesColor(const QColor& colour)
{
    for (Stroke& stroke : strokes_)
        stroke.colour = colour;
    update();
}

void DrawElementQt::mousePressEvent(QMouseEvent* event)
{
    Stroke stroke{QPainterPath(), lineColour_};
    stroke.path.moveTo(Position(event));
    strokes_.push_back(stroke);
    currentStroke_ = static_cast<int>(strokes_.size()) - 1;
}

void DrawElementQt::mouseMoveEvent(QMouseEvent* event)
{
    if (currentStroke_ < 0)
        return;
    strokes_[static_cast<size_t>(currentStroke_)].path.lineTo(Position(event));
    update();
}

void DrawElementQt::mouseReleaseEvent(QMouseEvent* event)
{
    if (currentStroke_ >= 0)
        strokes_[static_cast<size_t>(currentStroke_)].path.lineTo(Position(event));
    currentStroke_ = -1;
    hasDrawing_ = true;
    update();
}

void DrawElementQt::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), height()), QBrush(Qt::white, Qt::SolidPattern));
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (!picture_.isNull())
        painter.drawImage(QPoint(pictureX_, pictureY_), picture_);
    if (border_) {
        painter.setPen(QPen(borderColour_, 1, Qt::SolidLine));
        painter.drawRect(QRect(0, 0, width(), height()));
    }
    DrawStrokes(painter);
}

} // namespace AUILib

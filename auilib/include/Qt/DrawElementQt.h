// The Qt widget of DrawElement: a white pad the user draws strokes on with
// the mouse (any button), optionally framed and showing a picture behind
// the strokes. It holds all of the drawing. Made with no parent;
// DrawElement::Create places it. Its owner is cleared when the control goes.
#pragma once

#include "ControlLifetime.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QWidget>

#include <memory>
#include <vector>

namespace AUILib {

class DrawElement;

class DrawElementQt : public QWidget, public ControlOwnerSlot<DrawElement> {
    Q_OBJECT

public:
    struct Stroke {
        QPainterPath path;
        QColor colour;
    };

    DrawElementQt();
    ~DrawElementQt() override;

    // The strokes on white at the pad's size, without picture or frame;
    // null until a stroke was finished.
    std::unique_ptr<QImage> GetImage() const;
    // Removes every stroke and the picture.
    void ResetImage();
    // A copy of image with its top-left corner at (x, y).
    void DrawImage(const QImage& image, int x, int y);
    void SetBorder(bool border);
    bool IsSetBorder() const { return border_; }
    // Only strokes begun later take it.
    void SetLineColor(const QColor& colour) { lineColour_ = colour; }
    const QColor& GetLineColor() const { return lineColour_; }
    // Recolours every stroke drawn so far; the colour of new strokes stays.
    void UpdateLinesColor(const QColor& colour);

    bool HasDrawing() const { return hasDrawing_; }
    const std::vector<Stroke>& GetStrokes() const { return strokes_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawStrokes(QPainter& painter) const;

    bool hasDrawing_ = false;
    std::vector<Stroke> strokes_;
    // Index into strokes_ of the stroke between press and release, -1 when none.
    int currentStroke_ = -1;
    QColor borderColour_{175, 175, 175};
    QColor lineColour_{0, 0, 0};
    bool border_ = true;
    QImage picture_;
    int pictureX_ = 0;
    int pictureY_ = 0;
};

} // namespace AUILib

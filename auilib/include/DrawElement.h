// DrawElement: a free-hand drawing pad. The user draws strokes with the
// mouse; the application reads them back as an image, clears or recolours
// them, and may show a picture behind them and a grey frame around them.
#pragma once

#include "BaseGUIObject.h"

#include <memory>

class QImage;

namespace AUILib {

class DrawElement : public BaseGUIObject {
public:
    class impl;

    DrawElement();
    ~DrawElement() override;

    // Places the widget under parent; the parent is not recorded in the base.
    bool Create(QWidget* parent) override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // A new image (the caller's) of the strokes on white at the pad's size,
    // without picture or frame; null until a stroke was finished, and once
    // the widget is gone.
    QImage* GetImage();
    // Removes every stroke and the picture.
    void ResetImage();
    // Shows a copy of image with its top-left corner at (x, y); null changes
    // nothing.
    void DrawImage(const QImage* image, int x, int y);
    void SetBorder(bool border);
    bool IsSetBorder();
    // 0xRRGGBB (the top byte ignored) for strokes begun from now on.
    void SetLineColor(RGBColor colour);
    // The colour of new strokes, alpha byte 0xFF; opaque black once the
    // widget is gone.
    RGBColor GetLineColor();
    // Recolours the strokes drawn so far, not the ones to come.
    void UpdateLinesColor(RGBColor colour);

    // Nothing emits it.
    Signal<> OnUnused;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib

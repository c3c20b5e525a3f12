// The tree control's style: the base style's drawing plus backgrounds that
// keep the selection highlight on an item's content, and its own branch
// marks (triangles or boxes) chosen by the style flags.
#pragma once

#include <QProxyStyle>

namespace AUILib {

class CustomStyle : public QProxyStyle {
    Q_OBJECT

public:
    enum Flag : int {
        BoxBranchMarks = 1,
        CommonBranchMarks = 2,   // with BoxBranchMarks: the common style's drawing
        NoBranchMarks = 4,
        InactiveSelectionKept = 8,
    };

    CustomStyle();
    ~CustomStyle() override;

    int GetFlags() const { return flags_; }
    void SetFlags(int flags) { flags_ = flags; }
    bool HasSelectionColors() const { return selectionColors_; }
    void SetSelectionColors(bool set) { selectionColors_ = set; }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    void DrawBranch(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;

    bool selectionColors_ = false;
    int flags_ = 0;
};

} // namespace AUILib

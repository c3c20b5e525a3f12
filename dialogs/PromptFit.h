#pragma once
// Sizes a prompt for the texts it holds once they are translated: a German
// button text or sentence can be twice as long as the English one the form
// was drawn for, and a title from the service can be any length.
#include <QRect>
#include <QSize>

class QDialog;
class QWidget;

namespace PromptFit {

// The size the dialog's layout needs: at least `formSize` (the size the form
// was drawn at), at least as wide as the layout's minimum (buttons take the
// width of their texts), and as tall as its wrapped sentences need at that
// width. A prompt that would be taller than `available` grows wider first;
// the result never exceeds `available`.
QSize neededSize(QWidget* dialog, const QSize& formSize, const QRect& available);

// Gives the dialog that size on its own screen: it becomes the dialog's
// minimum (with `fixed`, also its maximum) and its current size.
void fit(QDialog* dialog, const QSize& formSize, bool fixed = false);

} // namespace PromptFit

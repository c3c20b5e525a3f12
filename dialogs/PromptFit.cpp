#include "PromptFit.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace PromptFit {

namespace {

// How much wider a prompt grows per step while its sentences are too tall.
const int kWidenStep = 40;

int heightAt(const QLayout* layout, int width)
{
    const int minimum = layout->totalMinimumSize().height();
    return layout->hasHeightForWidth() ? qMax(minimum, layout->totalHeightForWidth(width)) : minimum;
}

} // namespace

QSize neededSize(QWidget* dialog, const QSize& formSize, const QRect& available)
{
    const QSize limit = available.isValid() ? available.size() : formSize;
    QLayout* layout = dialog->layout();
    if (!layout)
        return formSize.boundedTo(limit);
    // Sizes come from the style sheet and font in force, which apply when a
    // widget is polished.
    dialog->ensurePolished();
    layout->activate();

    int width = qMin(limit.width(), qMax(formSize.width(), layout->totalMinimumSize().width()));
    int height = qMax(formSize.height(), heightAt(layout, width));
    while (height > limit.height() && width < limit.width()) {
        width = qMin(limit.width(), width + kWidenStep);
        height = qMax(formSize.height(), heightAt(layout, width));
    }
    return QSize(width, qMin(height, limit.height()));
}

void fit(QDialog* dialog, const QSize& formSize, bool fixed)
{
    QScreen* screen = dialog->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QSize size = neededSize(dialog, formSize, available);
    if (fixed) {
        dialog->setFixedSize(size);
        return;
    }
    dialog->setMinimumSize(size);
    dialog->resize(size);
}

} // namespace PromptFit

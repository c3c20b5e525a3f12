#pragma once
// What a window looks like to a user, for tests of sizes and colours: the
// agent's own look (32-pixel buttons, 12-pixel font) while a test runs, the
// children that stick out of their dialog, the texts that do not fit their
// place, and how strongly a control's text stands out from its background.
#include <QFont>
#include <QString>
#include <QStringList>

class QWidget;

// Applies the look that the agent sets at start-up; restores the earlier one
// when it goes.
class AgentLook
{
public:
    AgentLook();
    ~AgentLook();
    AgentLook(const AgentLook&) = delete;
    AgentLook& operator=(const AgentLook&) = delete;

private:
    QString m_sheet;
    QFont m_font;
};

// "name (class) x,y wxh" of every visible child that does not lie wholly
// inside the dialog.
QStringList childrenOutside(const QWidget* dialog);

// The largest luminance difference (0..255) between a pixel in the middle
// band of the widget's picture (where a button's text is) and the widget's
// background there: small for text that reads as disabled.
int textContrast(QWidget* widget);

// Luminance (0..255) of the widget's background, taken at the middle band's
// left end.
int backgroundLuminance(QWidget* widget);

// "name (class): needs WxH, has WxH" for every visible label or button of the
// window whose text does not fit the place it was given: a word-wrapped
// label shorter than its text needs at its width, any other label or button
// narrower or lower than its size hint.
QStringList textsCut(const QWidget* window);

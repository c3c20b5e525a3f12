#pragma once
// What a window looks like to a user, for tests of sizes and colours: the
// agent's own look (32-pixel buttons, 12-pixel font) while a test runs, the
// children that stick out of their dialog, and how strongly a control's text
// stands out from its background.
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

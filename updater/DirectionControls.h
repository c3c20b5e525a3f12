#pragma once
// Texts from the update reply are shown to the user. Direction-control
// characters in them would let the service (or whoever answers in its place)
// make a name read otherwise than it is: "Invoice<U+202E>gnp.exe" displays as
// "Invoiceexe.png". Such characters carry nothing a module's title or
// description needs, so they are taken out before anything shows the text.
#include <QString>

namespace DirectionControls {

// True for the embedding and override controls U+202A-U+202E and the
// isolates U+2066-U+2069.
bool IsDirectionControl(QChar c);

// The text without those characters.
QString Neutralised(const QString& text);

} // namespace DirectionControls

#pragma once
// The two report channels to the reader: a short UTF-8 text sent to its local
// server "updater_check_state", and, with an internal update address, an
// empty marker file whose existence is the message.
#include "UpdateCheckState.h"

#include <QPointer>
#include <QString>

class QLocalSocket;
class QObject;

namespace ReaderReport {

// The reader's local server.
QString serverName();
// "errornetwork", "update finished", "close", "autoclose"; empty for any other number.
QString stateText(int state);
// The state's marker file under the system root; empty for any other number.
QString markerFilePath(int state);

// Makes the state's marker file anew and empty, never writing through a link
// (symbolic or hard) planted at its name. False when it could not be made
// (callers ignore it).
bool writeMarker(int state);

// One report: connects (creating the socket with the given parent when it
// does not exist yet), writes the text, waits for the reader's answer and
// closes. True when the reader answered.
bool sendText(QPointer<QLocalSocket>& socket, QObject* parent, const QString& text);

} // namespace ReaderReport

#pragma once
// A plain blocking TCP client for probes that answer and hang up (no HTTP):
// it must not need this thread's event loop, so a server in this very process
// can be served by the caller meanwhile.
#include <QByteArray>
#include <QtGlobal>

// Connects to 127.0.0.1:port and reads until the peer closes (bounded).
// Returns false when the connection could not be made.
bool readTcpUntilClosed(quint16 port, QByteArray& received, int timeoutMs = 10000);

#pragma once
// A loopback port that refuses every connection for this object's lifetime:
// a socket bound to it that never listens. Unlike a port a probe server held
// and let go, no other program (another test running alongside) can take it
// meanwhile and answer in its place.
#include <QByteArray>
#include <QtGlobal>

class RefusingPort
{
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    // 0 when no socket could be bound.
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>"
    QByteArray baseUrl() const;

private:
    int m_socket = -1;
    quint16 m_port = 0;
};

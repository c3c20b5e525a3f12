#include "RefusingPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

RefusingPort::RefusingPort()
{
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_socket < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) == 0
        && ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        m_port = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

QByteArray RefusingPort::baseUrl() const
{
    return "http://127.0.0.1:" + QByteArray::number(m_port);
}

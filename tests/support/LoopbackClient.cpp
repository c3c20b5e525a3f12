#include "LoopbackClient.h"

#include <QDeadlineTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

bool readTcpUntilClosed(quint16 port, QByteArray& received, int timeoutMs)
{
    received.clear();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    QDeadlineTimer deadline(timeoutMs);
    char buffer[256];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int remaining = static_cast<int>(deadline.remainingTime());
        if (remaining <= 0 || ::poll(&p, 1, remaining) <= 0)
            break;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;   // closed (or reset)
        received.append(buffer, static_cast<int>(n));
    }
    ::close(fd);
    return true;
}

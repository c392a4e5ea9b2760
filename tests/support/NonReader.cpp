#include "NonReader.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace testsupport {

int nonReader(quint16 port, const QByteArray& request, int patienceSeconds) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int window = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
    if (patienceSeconds > 0) {
        const timeval patience{patienceSeconds, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
        (void)::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
    return fd;
}

} // namespace testsupport

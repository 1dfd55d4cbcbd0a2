#include "central/loopback_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zv::test {

namespace {

int boundPort(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

int loopbackSocket() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot bind a loopback socket");
    return fd;
}

}  // namespace

int closedPort() {
    const int fd = loopbackSocket();
    const int port = boundPort(fd);
    ::close(fd);
    return port;
}

BlackHole::BlackHole() {
    fd_ = loopbackSocket();
    port_ = boundPort(fd_);
    ::listen(fd_, 16);  // connections complete in the kernel and are never served
}

BlackHole::~BlackHole() { ::close(fd_); }

}  // namespace zv::test

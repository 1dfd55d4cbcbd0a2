#pragma once

namespace zv::test {

// A socket on 127.0.0.1 that listens but never accepts nor answers: a server behind a
// firewall that drops packets, as the sender sees it.
class BlackHole {
public:
    BlackHole();
    ~BlackHole();
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
int closedPort();

}  // namespace zv::test

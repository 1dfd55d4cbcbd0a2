#include "pty_pair.h"

#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace zv::test {

PtyPair::PtyPair() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    slaveName_ = name;
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
}

PtyPair::~PtyPair() {
    closeMaster();
    if (slave_ >= 0) ::close(slave_);
}

void PtyPair::send(const std::vector<unsigned char>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw std::runtime_error("write to pty master failed");
        done += static_cast<std::size_t>(n);
    }
}

std::size_t PtyPair::unread() const {
    int waiting = 0;
    if (ioctl(slave_, FIONREAD, &waiting) != 0) return 0;
    return static_cast<std::size_t>(waiting);
}

termios PtyPair::slaveSettings() const {
    termios t{};
    tcgetattr(slave_, &t);
    return t;
}

void PtyPair::closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

}  // namespace zv::test

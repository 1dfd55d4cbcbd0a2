#include "simulator/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zv {

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("Cannot open a pseudo-terminal: " + what + ": " +
                             std::strerror(errno));
}

}  // namespace

PseudoTerminal::PseudoTerminal(std::size_t frameSize) : frameSize_(frameSize) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        ::close(master_);
        fail("grantpt/unlockpt");
    }
    const char* name = ptsname(master_);
    if (!name) {
        ::close(master_);
        fail("ptsname");
    }
    path_ = name;
    setRawMode();
}

PseudoTerminal::~PseudoTerminal() {
    ::close(master_);
}

// Opening and closing the line once also puts it into the state of a line whose reader has
// gone, which readerPresent() can tell from a line with a reader.
void PseudoTerminal::setRawMode() {
    int slave = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        ::close(master_);
        fail(path_);
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    ::close(slave);
}

bool PseudoTerminal::readerPresent() const {
    pollfd p{master_, POLLOUT, 0};
    return ::poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
}

std::size_t PseudoTerminal::send(std::string_view frames) {
    discardInput();
    if (!readerPresent()) {
        pending_.clear();
        return frames.size() / frameSize_;
    }
    if (!pending_.empty()) {
        std::size_t done = write(pending_);
        pending_.erase(0, done);
        if (!pending_.empty()) return frames.size() / frameSize_;
    }
    std::size_t done = write(frames);
    std::size_t cut = done % frameSize_;
    if (cut != 0) pending_ = frames.substr(done, frameSize_ - cut);
    return (frames.size() - done - pending_.size()) / frameSize_;
}

// Writes what the line takes now; an error (no reader, a full line) takes nothing.
std::size_t PseudoTerminal::write(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// A converter listens to nothing: whatever a program sends on the line is thrown away, so
// that it cannot fill the line and block the program.
void PseudoTerminal::discardInput() {
    char buffer[256];
    while (::read(master_, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace zv

#include "privilege/operator_rights.h"

#include <fcntl.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <cerrno>

namespace zv {

namespace {

// setfsgid reports no error: an invalid group changes nothing and returns the current one.
gid_t currentFsGroup() { return static_cast<gid_t>(::setfsgid(static_cast<gid_t>(-1))); }

}  // namespace

OperatorRights::OperatorRights()
    : previous_(static_cast<gid_t>(::setfsgid(::getgid()))), held_(currentFsGroup() == ::getgid()) {}

OperatorRights::~OperatorRights() { ::setfsgid(previous_); }

bool keepOnlyOperatorRights() {
    const gid_t real = ::getgid();
    gid_t r, e, s;
    if (::getresgid(&r, &e, &s) == 0 && e == real && s == real) return true;
    return ::setresgid(real, real, real) == 0;
}

int openAsOperator(const std::string& path, int flags, mode_t mode) {
    const OperatorRights rights;
    if (!rights.held()) {
        errno = EPERM;
        return -1;
    }
    return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

}  // namespace zv

#include "privilege/secure_start.h"

#include <sys/auxv.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "privilege/unsafe_environment.h"

#ifndef ZOLVELT_INSTALL_FOLDER
#error "ZOLVELT_INSTALL_FOLDER must come from the build's install prefix"
#endif

extern char** environ;

namespace zv {

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

void dropUnsafeEnvironment() {
    std::vector<std::string> entries;
    for (char** e = environ; e && *e; ++e) entries.emplace_back(*e);
    for (const std::string& name : unsafeVariables(entries, true)) ::unsetenv(name.c_str());
    ::setenv("PATH", SecurePath, 1);
}

// Memory of a privileged process holds what the records group may read (the seal key):
// neither a core file nor another process of the operator may see it.
void forbidDumps() {
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
}

}  // namespace

std::string runningExecutable() {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

bool liesDirectlyIn(const std::string& file, const std::string& folder) {
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos || file.empty() || file.front() != '/') return false;
    const std::string parent = slash == 0 ? std::string("/") : file.substr(0, slash);
    return parent == withoutTrailingSlashes(folder) && slash + 1 < file.size();
}

std::string installedProgramFolder() { return withoutTrailingSlashes(ZOLVELT_INSTALL_FOLDER); }

bool runsWithRaisedPrivileges() { return ::getauxval(AT_SECURE) != 0; }

std::string secureStart() {
    ::umask(007);
    if (!runsWithRaisedPrivileges()) return {};
    forbidDumps();
    dropUnsafeEnvironment();
    const std::string executable = runningExecutable();
    if (liesDirectlyIn(executable, installedProgramFolder())) return {};
    return "ZOLVelt: программа с правами группы записей запущена не из своей папки " +
           installedProgramFolder() + " (а из " + (executable.empty() ? "?" : executable) +
           "): запуск отменен";
}

}  // namespace zv

#include "support/operator_identity.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zv::test {

bool canBecomeOperator() { return ::geteuid() == 0; }

int runAsOperator(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kOperator, kRecordsGroup, kRecordsGroup) != 0 ||
            ::setresuid(kOperator, kOperator, kOperator) != 0)
            ::_exit(255);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 255;
    return WEXITSTATUS(status);
}

namespace {

// The operator passes through the folders above (a test's temporary folder is root's 0700).
void makeFolderBelowPassable(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    ::chmod(folder.parent_path().c_str(), 0711);
}

}  // namespace

void makeRecordsFolder(const std::filesystem::path& folder) {
    makeFolderBelowPassable(folder);
    ::chown(folder.c_str(), 0, kRecordsGroup);
    ::chmod(folder.c_str(), 02770);
}

void makeOperatorFolder(const std::filesystem::path& folder) {
    makeFolderBelowPassable(folder);
    ::chown(folder.c_str(), kOperator, kOperator);
    ::chmod(folder.c_str(), 0700);
}

}  // namespace zv::test

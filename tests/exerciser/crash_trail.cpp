#include "exerciser/crash_trail.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace zv::test {
namespace {

constexpr int kLines = 24;
constexpr int kLength = 300;
char trail[kLines][kLength];
int nextLine = 0;
constexpr int kSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};

void say(const char* text) {
    const ssize_t ignored = write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

extern "C" void printTrail(int signal) {
    say("\nexerciser: the program died; its last inputs:\n");
    for (int i = 0; i < kLines; ++i) {
        const char* line = trail[(nextLine + i) % kLines];
        if (!*line) continue;
        say(line);
        say("\n");
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

CrashTrail::CrashTrail() {
    std::memset(trail, 0, sizeof trail);
    nextLine = 0;
    for (int s : kSignals) std::signal(s, printTrail);
}

CrashTrail::~CrashTrail() {
    for (int s : kSignals) std::signal(s, SIG_DFL);
}

void CrashTrail::add(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    std::strncpy(trail[nextLine], bytes.constData(), kLength - 1);
    trail[nextLine][kLength - 1] = '\0';
    nextLine = (nextLine + 1) % kLines;
}

}  // namespace zv::test

#pragma once

#include <string>

namespace zv {

// First thing in main() of the program and of zolvelt-tool, both installed set-group-ID to
// the records group. Files the process makes get no access for others (umask 007). When the
// kernel runs it with raised privileges (its secure-execution flag), the unsafe environment is
// dropped, PATH is reset, no core dump or debugger can read its memory, and it refuses to run
// from anywhere but its installed folder. Returns why it must not start (empty: it may).
std::string secureStart();

// Whether the kernel runs this process with raised privileges (set-group-ID by someone
// outside the group): its secure-execution flag.
bool runsWithRaisedPrivileges();

// The file the kernel runs, as /proc/self/exe names it; empty when it cannot be read.
std::string runningExecutable();

// Whether `file` lies directly in `folder` (both absolute; trailing slashes do not count).
bool liesDirectlyIn(const std::string& file, const std::string& folder);

// The folder the build installs the programs into.
std::string installedProgramFolder();

}  // namespace zv

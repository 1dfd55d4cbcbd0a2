#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>

namespace zv::test {

// The operator's identity under a program installed set-group-ID to the records group, made
// for real in a child process: real user and group "nobody", effective and saved group
// kRecordsGroup, no supplementary groups. Only root can make it; tests skip elsewhere.
inline constexpr gid_t kRecordsGroup = 4242;
inline constexpr uid_t kOperator = 65534;
bool canBecomeOperator();

// Runs `body` as that operator in a child and returns what it returned (or 255 when the child
// could not take the identity or did not end by itself within ten seconds).
int runAsOperator(const std::function<int()>& body);

// Both make the folder's parent passable (0711) for the operator.
// A folder only the records group may enter and write (root:kRecordsGroup 2770), like the
// tables folder of an installation.
void makeRecordsFolder(const std::filesystem::path& folder);
// A folder the operator owns.
void makeOperatorFolder(const std::filesystem::path& folder);

}  // namespace zv::test

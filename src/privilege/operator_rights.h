#pragma once

#include <sys/types.h>

#include <string>

namespace zv {

// A file the operator chooses (a saved report, a recording, a tool's output) is opened with
// the operator's own rights, never with those of the records group the program runs with: a
// save dialog or a command line must not reach a table. While an OperatorRights lives, the
// calling thread's file-system group is the real group (setfsgid), so the kernel checks and
// creates files as for the operator; the other threads keep theirs. Without raised privileges
// it changes nothing.
class OperatorRights {
  public:
    OperatorRights();
    ~OperatorRights();
    OperatorRights(const OperatorRights&) = delete;
    OperatorRights& operator=(const OperatorRights&) = delete;

    // False when the group could not be dropped: then nothing may be opened.
    bool held() const { return held_; }

  private:
    gid_t previous_;
    bool held_;
};

// Gives the records group up for good (real, effective and saved group): for a run that has
// no business with the records. False when it could not be given up.
bool keepOnlyOperatorRights();

// open(2) with the operator's rights: a descriptor, or -1 with errno set.
int openAsOperator(const std::string& path, int flags, mode_t mode = 0666);

}  // namespace zv

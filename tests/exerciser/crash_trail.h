#pragma once

#include <QString>

namespace zv::test {

// The last inputs of a run, kept where a crash can still print them: while it lives, a
// fatal signal writes them to stderr before the process ends as it would have.
class CrashTrail {
  public:
    CrashTrail();
    ~CrashTrail();
    CrashTrail(const CrashTrail&) = delete;
    CrashTrail& operator=(const CrashTrail&) = delete;

    void add(const QString& line);
};

}  // namespace zv::test

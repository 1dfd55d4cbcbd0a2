#pragma once

#include <termios.h>

#include <string>
#include <vector>

namespace zv::test {

// A pseudo-terminal standing in for the converter's serial line: the program opens the
// slave by name, the test plays the converter on the master side.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slaveName() const { return slaveName_; }
    void send(const std::vector<unsigned char>& bytes);
    // Bytes that reached the slave side and wait there for the program to read them.
    std::size_t unread() const;
    // The line settings the program put on the port.
    termios slaveSettings() const;
    // The converter disappears: the slave side sees a hang-up.
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
};

}  // namespace zv::test

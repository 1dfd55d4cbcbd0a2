#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zv {

// The converter's end of a serial line that exists only in the kernel: a pseudo-terminal in
// raw mode whose other end a program opens by path() as it would open a real port.
//
// Writing never blocks and never fails: while nobody has the line open, or while the reader
// lags behind so far that the line is full, whole frames are dropped, as a converter keeps
// sending into a cable nobody listens to. A frame is never cut: when the line takes only
// part of one, its rest goes out first on the next send.
class PseudoTerminal {
  public:
    // frameSize: bytes of one frame. Throws std::runtime_error when no pseudo-terminal can
    // be had.
    explicit PseudoTerminal(std::size_t frameSize);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& path() const { return path_; }
    // Whether a program has the line open now.
    bool readerPresent() const;
    // Sends whole frames, as many as the line takes; returns the number of frames dropped.
    std::size_t send(std::string_view frames);

  private:
    void setRawMode();
    std::size_t write(std::string_view bytes);
    void discardInput();

    int master_ = -1;
    std::size_t frameSize_;
    std::string path_;
    std::string pending_;  // the rest of a frame the line took only part of
};

}  // namespace zv

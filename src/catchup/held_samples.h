#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace zv {

// One converter sample as it arrived: its codes, the millisecond tick it came with, whether
// the zero button was down then, whether the converter's calibration mark came with it (the
// sample count restarts there) and whether the port was opened again just before it (the
// filters restart there).
// No member initialisers: a ring of them is allocated without touching its pages.
struct HeldSample {
    std::array<uint16_t, 8> codes;
    uint32_t ms;
    bool zeroButton;
    bool calibrationMark;
    bool portOpened;
};

// The samples held back, oldest first, in a ring allocated once: holding and dropping
// never allocate.
class HeldSamples {
  public:
    // Allocates room for `capacity` samples; what was held is dropped.
    void setCapacity(std::size_t capacity);
    std::size_t capacity() const { return capacity_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool full() const { return size_ == capacity_; }

    // False (and nothing held) when full.
    bool push(const HeldSample& sample);
    const HeldSample& front() const { return ring_[head_]; }
    void dropFront(std::size_t count);
    void clear();

  private:
    std::unique_ptr<HeldSample[]> ring_;
    std::size_t capacity_ = 0;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

}  // namespace zv

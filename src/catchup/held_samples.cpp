#include "catchup/held_samples.h"

#include <algorithm>

namespace zv {

void HeldSamples::setCapacity(std::size_t capacity) {
    // Left uninitialised: the pages of a large ring are touched only as samples arrive.
    ring_ = capacity > 0 ? std::make_unique_for_overwrite<HeldSample[]>(capacity) : nullptr;
    capacity_ = capacity;
    clear();
}

bool HeldSamples::push(const HeldSample& sample) {
    if (full()) return false;
    ring_[(head_ + size_) % capacity_] = sample;
    ++size_;
    return true;
}

void HeldSamples::dropFront(std::size_t count) {
    count = std::min(count, size_);
    if (count == 0) return;
    head_ = (head_ + count) % capacity_;
    size_ -= count;
}

void HeldSamples::clear() {
    head_ = 0;
    size_ = 0;
}

}  // namespace zv

#include "engine/axle_load_record.h"

#include <algorithm>
#include <cmath>

namespace zv {

namespace {

// Crossings each platform end can hold: two long trains' worth, the older part dropped
// when a train longer than kMaxWagons is handed over.
constexpr size_t kAxleCapacity = 2 * size_t{kWagonSlots} * kMaxAxles;
// Pieces a stretch is cut into at most (before its pieces are merged pairwise), and the
// pieces each platform can hold: each crossing starts one stretch of the platform's load.
constexpr size_t kPiecesPerStretch = 8;
constexpr size_t kSegmentCapacity = (2 * kAxleCapacity + 16) * kPiecesPerStretch;
// Samples that may wait for a crossing to be confirmed: 10 s at 200 Hz. A detector armed
// for longer (an axle standing at a platform's end) loses the samples beyond.
constexpr size_t kWaitingCapacity = 2048;
// Empty stretches shorter than this say little about the noise.
constexpr int64_t kNoiseSamples = 10;

}  // namespace

double EmptyPlatform::noise() const {
    if (count < kNoiseSamples) return -1.0;
    return std::sqrt(std::max(spread, 0.0) / double(count));
}

bool CrossingTimes::add(int64_t sample) {
    if (times_.size() == times_.capacity()) return false;
    // A detector never dates an axle before the one ahead of it.
    times_.push_back(times_.empty() ? sample : std::max(sample, times_.back()));
    return true;
}

void CrossingTimes::dropBefore(int32_t axle) {
    const int32_t n = std::clamp(axle - base_, 0, static_cast<int32_t>(times_.size()));
    times_.erase(times_.begin(), times_.begin() + n);
    base_ += n;
}

PlatformLoads::PlatformLoads(size_t axles) : entries(axles), exits(axles) {
    segments.reserve(kSegmentCapacity);
}

void PlatformLoads::clear() {
    entries.clear();
    exits.clear();
    segments.clear();
    stretchFirst = 0;
    pieceLength = 0;
    empty = {};
    stretch = {};
    entered = left = 0;
    overflow = false;
}

void PlatformLoads::closeEmptyStretch() {
    if (stretch.count == 0) return;
    empty.count += stretch.count;
    empty.sum += stretch.sum;
    empty.spread += stretch.sumSq - stretch.sum * stretch.sum / stretch.count;
    stretch = {};
}

bool PlatformLoads::addLoaded(int64_t sample, double load, int32_t piece) {
    const bool sameAxles =
        !segments.empty() && segments.back().from == left && segments.back().to == entered;
    if (!sameAxles) {
        stretchFirst = segments.size();
        pieceLength = piece;
    }
    const LoadSegment* last = segments.empty() ? nullptr : &segments.back();
    if (!sameAxles || last->start + last->count != sample || last->count >= pieceLength) {
        if (sameAxles && segments.size() - stretchFirst >= kPiecesPerStretch) mergePieces();
        if (segments.size() == segments.capacity()) return false;
        segments.push_back({left, entered, 0, 0.0, 0.0, sample});
    }
    LoadSegment& seg = segments.back();
    seg.count += 1;
    seg.sum += load;
    seg.sumSq += load * load;
    return true;
}

// The stretch's pieces are joined two by two (where no gap parts them), and its pieces to
// come are as long as the joined ones.
void PlatformLoads::mergePieces() {
    size_t out = stretchFirst;
    for (size_t k = stretchFirst; k < segments.size(); ++k, ++out) {
        LoadSegment s = segments[k];
        if (k + 1 < segments.size() && s.start + s.count == segments[k + 1].start) {
            const LoadSegment& next = segments[++k];
            s.count += next.count;
            s.sum += next.sum;
            s.sumSq += next.sumSq;
        }
        segments[out] = s;
    }
    segments.resize(out);
    pieceLength *= 2;
}

AxleLoadRecord::AxleLoadRecord()
    : loads_{PlatformLoads(kAxleCapacity), PlatformLoads(kAxleCapacity)},
      ring_(kWaitingCapacity) {}

void AxleLoadRecord::begin(int platforms, int lag, int guard, int landing, int piece) {
    for (PlatformLoads& p : loads_) p.clear();
    head_ = waiting_ = 0;
    platforms_ = std::clamp(platforms, 1, 2);
    lag_ = std::max(lag, 0);
    guard_ = std::max(guard, 1);
    landing_ = std::max(landing, 0);
    piece_ = std::max(piece, 1);
}

void AxleLoadRecord::edge(int platform, bool entry, uint32_t peakSample) {
    if (platform < 0 || platform >= platforms_) return;
    PlatformLoads& p = loads_[static_cast<size_t>(platform)];
    const int64_t crossing = int64_t{peakSample} - lag_;
    if (!(entry ? p.entries : p.exits).add(crossing)) p.overflow = true;
}

// A sample can be handled once no crossing still unknown can lie within the guard of it:
// an armed detector dates its axle no earlier than its present peak, and one not yet armed
// no earlier than the next sample.
bool AxleLoadRecord::due(const TrainState& t, int64_t sample, int64_t now) const {
    if (sample > now - lag_ - guard_) return false;
    const EdgeDet* detectors[] = {&t.EntryDet1, &t.ExitDet1, &t.EntryDet2, &t.ExitDet2};
    for (int k = 0; k < 2 * platforms_; ++k) {
        const EdgeDet& d = *detectors[k];
        if (d.Armed && sample >= int64_t{d.PeakSample} - lag_ - guard_) return false;
    }
    return true;
}

void AxleLoadRecord::sample(const TrainState& t, double load1, double load2) {
    const int64_t now = t.TrainSample;
    if (waiting_ == ring_.size()) {
        handle(ring_[head_], &t);
        head_ = (head_ + 1) % ring_.size();
        --waiting_;
    }
    ring_[(head_ + waiting_) % ring_.size()] = {now, {load1, load2}};
    ++waiting_;
    while (waiting_ > 0 && due(t, ring_[head_].sample, now)) {
        handle(ring_[head_], nullptr);
        head_ = (head_ + 1) % ring_.size();
        --waiting_;
    }
}

void AxleLoadRecord::flush(const TrainState& t) {
    for (; waiting_ > 0; --waiting_) {
        handle(ring_[head_], &t);
        head_ = (head_ + 1) % ring_.size();
    }
    for (PlatformLoads& p : loads_) p.closeEmptyStretch();
}

// Handles one sample; with a detector still armed (pending), a sample it may yet cover is
// left out.
void AxleLoadRecord::handle(const Pending& s, const TrainState* pending) {
    for (int k = 0; k < platforms_; ++k) {
        bool covered = false;
        if (pending) {
            const EdgeDet& entry = k == 0 ? pending->EntryDet1 : pending->EntryDet2;
            const EdgeDet& exit = k == 0 ? pending->ExitDet1 : pending->ExitDet2;
            for (const EdgeDet* d : {&entry, &exit})
                covered = covered ||
                          (d->Armed && s.sample >= int64_t{d->PeakSample} - lag_ - guard_);
        }
        handlePlatform(loads_[static_cast<size_t>(k)], s.sample, s.load[k], covered);
    }
}

bool AxleLoadRecord::nearCrossing(const PlatformLoads& p, int64_t sample) const {
    const auto near = [&](const CrossingTimes& c, int32_t passed, int after) {
        if (passed > c.first() && sample < c.at(passed - 1) + guard_ + after) return true;
        return passed < c.size() && sample >= c.at(passed) - guard_;
    };
    return near(p.entries, p.entered, landing_) || near(p.exits, p.left, 0);
}

void AxleLoadRecord::handlePlatform(PlatformLoads& p, int64_t sample, double load, bool covered) {
    while (p.entered < p.entries.size() && p.entries.at(p.entered) <= sample) ++p.entered;
    while (p.left < p.exits.size() && p.exits.at(p.left) <= sample) ++p.left;
    if (covered || p.overflow || nearCrossing(p, sample)) return;
    if (p.left >= p.entered) {
        p.stretch.count += 1;
        p.stretch.sum += load;
        p.stretch.sumSq += load * load;
        return;
    }
    p.closeEmptyStretch();
    if (!p.addLoaded(sample, load, piece_)) p.overflow = true;
}

void AxleLoadRecord::forgetBefore(int32_t axle) {
    for (PlatformLoads& p : loads_) {
        // The crossings next to the present one are still looked at.
        p.entries.dropBefore(std::min(axle, p.entered - 1));
        p.exits.dropBefore(std::min(axle, p.left - 1));
        const auto keep = std::find_if(p.segments.begin(), p.segments.end(),
                                       [axle](const LoadSegment& s) { return s.to > axle; });
        const size_t dropped = static_cast<size_t>(keep - p.segments.begin());
        p.segments.erase(p.segments.begin(), keep);
        p.stretchFirst -= std::min(p.stretchFirst, dropped);
    }
}

}  // namespace zv

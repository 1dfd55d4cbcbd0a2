#include "engine/conditioning.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/rounding.h"
#include "engine/weight_limits.h"

namespace zv {

namespace {

// Indices of the load quantities.
constexpr int W0 = 0, W01 = 1, W23 = 2, W02 = 3, W13 = 4, W1 = 5, W45 = 6, W67 = 7, W46 = 8,
              W57 = 9;

// Share of a division by which the stable display lags behind the load (hysteresis).
constexpr double kHysteresis = 0.4;

// A platform counts as empty for the centre-of-gravity values below `Zaut`; a load that is
// not positive is empty too, so no ratio ever divides by zero.
bool empty(int64_t load, const Settings& s) {
    return load < s.Zaut || load <= 0;
}

}  // namespace

ConditioningDisplay Conditioning::reading(const LoadValues& staticLoads, bool& zeroButton,
                                          const Settings& settings) {
    record(staticLoads);
    if (ZeroRequest && !requestSeen_) zeroState_ = ZeroState{};  // a new request
    lastSpread_ = spread();
    const bool isStable = lastSpread_ < settings.Zst;
    if (isStable) {
        const LoadInts m = means();
        zero(m, zeroButton, settings);
        for (int q = 0; q < 10; ++q) NetLoad_[q] = saturate32(int64_t{m[q]} - CurZero_[q]);
    } else {
        for (int q = 0; q < 10; ++q)
            NetLoad_[q] = saturate32(int64_t{StatHist(q, 0)} - CurZero_[q]);
    }
    watchZero(lastSpread_, isStable, settings);
    showWeight(isStable, settings.Dis);
    centreOfGravity(settings);
    return display(isStable, settings);
}

void Conditioning::record(const LoadValues& staticLoads) {
    ++head_;
    for (int q = 0; q < 10; ++q) hist_[q][head_ & 7u] = roundHalfEven(staticLoads[q]);
}

// The sum of the half-platform quantities' ranges over the history; stable below `Zst`.
int64_t Conditioning::spread() const {
    int64_t sum = 0;
    for (int q : {W01, W23, W45, W67}) {
        const auto [lo, hi] = std::minmax_element(std::begin(hist_[q]), std::end(hist_[q]));
        sum += int64_t{*hi} - *lo;
    }
    return sum;
}

LoadInts Conditioning::means() const {
    LoadInts m{};
    for (int q = 0; q < 10; ++q) {
        int64_t sum = 0;
        for (int32_t v : hist_[q]) sum += v;
        m[q] = static_cast<int32_t>(sum / 8);
    }
    return m;
}

void Conditioning::zero(const LoadInts& m, bool& zeroButton, const Settings& settings) {
    const int64_t total = std::llabs(int64_t{m[W0]} + m[W1]);
    if (ZeroRequest) {
        ZeroRequest = false;
        if (total < settings.Zpwr)
            setZero(m);
        else
            refuseZero(total, settings.Zpwr, false);
    } else if (zeroButton) {
        zeroButton = false;
        if (total < settings.Zman)
            setZero(m);
        else if (!zeroState_.taken)
            refuseZero(total, settings.Zman, true);
    } else {
        const int64_t drift = (int64_t{m[W0]} - RefZero_[W0]) + (int64_t{m[W1]} - RefZero_[W1]);
        if (std::llabs(drift) < settings.Zaut) CurZero_ = m;
    }
}

void Conditioning::setZero(const LoadInts& m) {
    RefZero_ = CurZero_ = m;
    zeroState_.taken = true;
    zeroState_.failure = ZeroFailure::None;
}

void Conditioning::refuseZero(int64_t load, int32_t limit, bool byButton) {
    zeroState_.failure = ZeroFailure::OutOfRange;
    zeroState_.refusedLoad = load;
    zeroState_.refusedLimit = limit;
    zeroState_.refusedByButton = byButton;
}

// Counts the readings without the zero and keeps the closest they came to stability.
void Conditioning::watchZero(int64_t readingSpread, bool isStable, const Settings& settings) {
    requestSeen_ = ZeroRequest;
    if (zeroState_.taken) return;
    if (zeroState_.readings < INT32_MAX) ++zeroState_.readings;
    zeroState_.leastSpread = std::min(zeroState_.leastSpread, readingSpread);
    zeroState_.stabilityRange = settings.Zst;
    if (!isStable && zeroState_.failure == ZeroFailure::None)
        zeroState_.failure = ZeroFailure::Unsettled;
}

void Conditioning::calibrationChanged() {
    RefZero_ = CurZero_ = LoadInts{};
    ZeroRequest = true;
}

void Conditioning::showWeight(bool isStable, int32_t Dis) {
    const double T = static_cast<double>(int64_t{NetLoad_[W0]} + NetLoad_[W1]);
    if (!isStable)
        ShownWeight_ = roundToStep(T, Dis);
    else if (T > ShownWeight_)
        ShownWeight_ = roundToStep(T - kHysteresis * Dis, Dis);
    else
        ShownWeight_ = roundToStep(T + kHysteresis * Dis, Dis);
}

void Conditioning::centreOfGravity(const Settings& s) {
    const int64_t n0 = NetLoad_[W0], n5 = NetLoad_[W1];
    const bool empty0 = empty(n0, s), empty5 = empty(n5, s);
    const auto N = [this](int q) { return static_cast<double>(NetLoad_[q]); };
    if (empty0 || empty5) {
        StaticBase_ = 0;
        OffLong_ = 0;
    } else {
        StaticBase_ = saturate32(
            int64_t{roundHalfEven(s.L1 * N(W01) / N(W0) + s.L2 * N(W67) / N(W1))} + s.L12);
        OffLong_ = saturate32((n0 - n5) * StaticBase_ / (2 * (n0 + n5)));
    }
    OffTrans1_ =
        empty0
            ? 0
            : roundHalfEven(((N(W02) - N(W13)) * s.b1 / 2 + s.s1 * N(W01) + s.s2 * N(W23)) / N(W0));
    OffTrans2_ =
        empty5
            ? 0
            : roundHalfEven(((N(W46) - N(W57)) * s.b2 / 2 + s.s3 * N(W45) + s.s4 * N(W67)) / N(W1));
    if (empty0 && empty5)
        OffTrans_ = 0;
    else if (empty5)
        OffTrans_ = OffTrans1_;
    else if (empty0)
        OffTrans_ = OffTrans2_;
    else
        OffTrans_ = roundHalfEven((double(OffTrans1_) * N(W0) + double(OffTrans2_) * N(W1)) /
                                  (N(W0) + N(W1)));
}

ConditioningDisplay Conditioning::display(bool isStable, const Settings& s) const {
    ConditioningDisplay d;
    const int64_t n0 = NetLoad_[W0], n5 = NetLoad_[W1];
    d.ShownWeight = ShownWeight_;
    d.stable = isStable;
    d.overload = ShownWeight_ > overloadLimit(s);
    d.L1 = roundToStep(static_cast<double>(n0 - n5), s.Dis);
    d.L2 = roundToStep(OffLong_, s.Didl);
    d.L3 = roundToStep(StaticBase_, s.Didl);
    d.L4 = roundToStep(OffTrans_, s.Dids);
    d.Lw0 = roundToStep(static_cast<double>(n0), s.Dis);
    d.Lw1 = roundToStep(static_cast<double>(n5), s.Dis);
    d.LwRaw = saturate32(int64_t{StatHist(W0, 0)} - CurZero_[W0] + int64_t{StatHist(W1, 0)} -
                         CurZero_[W1]);
    d.Lds0Empty = empty(n0, s);
    if (!d.Lds0Empty) d.Lds0 = roundHalfEven(double(s.L1) * NetLoad_[W01] / double(n0));
    d.Lds1Empty = empty(n5, s);
    if (!d.Lds1Empty) d.Lds1 = roundHalfEven(double(s.L2) * NetLoad_[W67] / double(n5));
    return d;
}

}  // namespace zv

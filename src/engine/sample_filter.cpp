#include "engine/sample_filter.h"

#include <algorithm>
#include <limits>

#include "engine/engine_observer.h"
#include "engine/rounding.h"

namespace zv {

namespace {

// Static cut-off of the channel and platform filters, Hz.
constexpr double kStaticCutoff = 1.0;

// The sample counter wraps at a multiple of 12 so that the phase of the conditioning
// readings survives and the counter never overflows during a long replay.
constexpr int kSmpCntWrap = std::numeric_limits<int>::max() / 12 * 12;

// Ring positions of the current sample and the two before it.
struct Taps {
    unsigned i0, i1, i2;
};

Taps tapsOf(unsigned head, unsigned mask) {
    return {head & mask, (head - 1) & mask, (head - 2) & mask};
}

// One section step; x is the numerator sum x0 + 2 x1 + x2 of the section's input.
inline double step(const Section& c, double x, double y1, double y2) {
    return c.g * x - c.a1 * y1 - c.a2 * y2;
}

// Runs a section on `in` into `out`, both ring histories at the taps t.
inline void stepRing(const Section& c, const double* in, double* out, Taps t) {
    out[t.i0] = step(c, in[t.i0] + 2.0 * in[t.i1] + in[t.i2], out[t.i1], out[t.i2]);
}

}  // namespace

void SampleFilter::FiltCoef(const Settings& settings) {
    zv::FiltCoef(settings.Fadc, 2, settings.Fflt, CfPl_);
    zv::FiltCoef(settings.Fadc, 2, settings.Fflt_, CfCh_);
    zv::FiltCoef(settings.Fadc, 2, kStaticCutoff, CfStat_);
}

void SampleFilter::setAdcCodes(const std::array<uint16_t, 8>& slots) {
    ++adcHead_;
    const unsigned i0 = adcHead_ & 3u;
    for (int ch = 0; ch < kChannels; ++ch) adc_[ch][i0] = slots[ch];
}

void SampleFilter::DatFilt(const Settings& settings, EngineObserver& observer) {
    countSample();
    if (FltRestart_ > 0) restartChannels();
    filterChannels();
    ++plHead_;
    writePlatformLoads(settings);
    if (FltRestart_ > 0) {
        --FltRestart_;
        restartPlatforms();
    }
    filterPlatforms();
    if (observer.calibrationReadoutsWanted()) showCalibrationReadouts(settings, observer);
}

void SampleFilter::countSample() {
    if (SmpCnt_ >= kSmpCntWrap) SmpCnt_ -= kSmpCntWrap;
    ++SmpCnt_;
}

void SampleFilter::restartChannels() {
    for (int ch = 0; ch < kChannels; ++ch) {
        const int32_t code = AdcCode(ch, 0);
        std::fill(std::begin(adc_[ch]), std::end(adc_[ch]), code);
        for (auto& stage : chFlt_[ch]) std::fill(std::begin(stage), std::end(stage), double(code));
    }
}

void SampleFilter::filterChannels() {
    ++chHead_;
    const Taps t = tapsOf(chHead_, 3u);
    const Taps a = tapsOf(adcHead_, 3u);
    const Section& st = CfStat_[1];
    const Section& dy = CfCh_[1];
    for (int ch = 0; ch < kChannels; ++ch) {
        const int32_t* raw = adc_[ch];
        const double x = raw[a.i0] + 2 * raw[a.i1] + raw[a.i2];
        double(*s)[4] = chFlt_[ch];
        s[0][t.i0] = step(st, x, s[0][t.i1], s[0][t.i2]);
        stepRing(st, s[0], s[1], t);
        stepRing(st, s[1], s[2], t);
        s[3][t.i0] = step(dy, x, s[3][t.i1], s[3][t.i2]);
        stepRing(dy, s[3], s[4], t);
        stepRing(dy, s[4], s[5], t);
    }
}

void SampleFilter::writePlatformLoads(const Settings& settings) {
    const unsigned now = plHead_ & 7u;
    const unsigned before = (plHead_ - 1) & 7u;
    // A quantity that is not written this sample keeps its last value.
    for (auto& q : plW_) q[0][now] = q[0][before];

    const unsigned adcNow = adcHead_ & 3u;
    auto force = [&](int s) {
        const int64_t diff = int64_t{adc_[s][adcNow]} - settings.a0[s];
        return settings.ak[s] * 0.000001 * static_cast<double>(diff);
    };
    const int lastPlatform = std::min(settings.Npl, 1);
    for (int p = 0; p <= lastPlatform; ++p) {
        const int s = 4 * p;
        double j[5];
        switch (settings.Nadc) {
            case 0:
                j[0] = force(s);
                j[1] = j[2] = j[3] = j[4] = j[0] / 2;
                break;
            case 1:
                j[1] = force(s);
                j[2] = force(s + 2);
                j[0] = j[1] + j[2];
                j[3] = j[4] = j[0] / 2;
                break;
            case 2:
                j[1] = force(s) + force(s + 1);
                j[2] = force(s + 2) + force(s + 3);
                j[0] = j[1] + j[2];
                j[3] = force(s) + force(s + 2);
                j[4] = force(s + 1) + force(s + 3);
                break;
            default:
                continue;
        }
        for (int k = 0; k < 5; ++k) plW_[5 * p + k][0][now] = j[k];
    }
    for (auto& q : plW_) q[4][now] = q[0][now];
}

void SampleFilter::restartPlatforms() {
    const unsigned now = plHead_ & 7u;
    for (auto& q : plW_) {
        const double v = q[0][now];
        for (auto& row : q)
            for (unsigned k = 1; k < 8; ++k) row[(plHead_ - k) & 7u] = v;
    }
}

void SampleFilter::filterPlatforms() {
    const Taps t = tapsOf(plHead_, 7u);
    const Section& dy = CfPl_[1];
    const Section& st = CfStat_[1];
    for (auto& q : plW_) {
        stepRing(dy, q[0], q[1], t);
        stepRing(dy, q[1], q[2], t);
        stepRing(dy, q[2], q[3], t);
        stepRing(st, q[0], q[5], t);
        stepRing(st, q[5], q[6], t);
        stepRing(st, q[6], q[7], t);
    }
}

void SampleFilter::showCalibrationReadouts(const Settings& settings,
                                           EngineObserver& observer) const {
    CalibrationReadouts r;
    for (int ch = 0; ch < kChannels; ++ch) {
        r.raw[ch] = AdcCode(ch, 0);
        r.dynamic[ch] = roundHalfEven(ChFlt(ch, 5, 0));
        r.stat[ch] = roundHalfEven(ChFlt(ch, 2, 0));
    }
    for (int q = 0; q < kQuantities; ++q) r.loads[q] = roundHalfEven(PlW(q, 7, 0));
    if (settings.Npl == 0 || settings.Npl == 1) {
        r.hasTotal = true;
        const double total = PlW(0, 7, 0) + (settings.Npl == 1 ? PlW(5, 7, 0) : 0.0);
        r.total = roundHalfEven(total);
    }
    observer.calibrationReadouts(r);
}

}  // namespace zv

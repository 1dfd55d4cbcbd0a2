#include "engine/wagon_completion.h"

#include <algorithm>
#include <cstdlib>
#include <span>

#include "engine/diagnostic_text.h"
#include "engine/platforms.h"
#include "engine/rounding.h"
#include "engine/weight_limits.h"

namespace zv {

namespace {

// Plausible wagons; beyond these a wagon gets note 5.
constexpr int32_t kMinAxles = 4;
constexpr int32_t kMinBogieBase = 1000;
constexpr int32_t kMaxBogieBase = 2500;
constexpr int32_t kMaxWagonBase = 20000;
// Locomotives: at most three at the head of a train.
constexpr int32_t kLocoAxles = 6;
constexpr int32_t kLocoMinWeight = 80000;
constexpr int32_t kLocoMinBogieBase = 1900;
constexpr int32_t kLocoMaxWagonBase = 9500;
constexpr int32_t kMaxLeadingLocos = 3;
// Weights agree within max(550 kg, 1/66 of their mean).
constexpr int32_t kMinTolerance = 550;
constexpr int32_t kToleranceDivisor = 66;
constexpr int32_t kPlatformFactor = 10;
constexpr double kKmhPerMmPerS = 0.0036;

// One axle-to-axle time difference R.Entry[a] - R.Entry[b] (or of Exit).
struct Term {
    bool entry;
    int a, b;
};
constexpr Term E(int a, int b) {
    return {true, a, b};
}
constexpr Term X(int a, int b) {
    return {false, a, b};
}

// Terms of the bogie base per axle count: first platform, second platform, spacings.
struct BogieTerms {
    std::span<const Term> first;
    std::span<const Term> second;
    int32_t spacingsOne;
    int32_t spacingsTwo;
};

constexpr Term kSix1[] = {E(3, 2), E(6, 4), X(3, 1), X(6, 4)};
constexpr Term kSix2[] = {E(3, 1), E(6, 4), X(3, 1), X(6, 4)};
constexpr Term kEight1[] = {E(4, 3), X(2, 1), X(4, 3), E(6, 5), E(8, 7), X(6, 5), X(8, 7)};
constexpr Term kEight2[] = {E(2, 1), E(4, 3), X(2, 1), X(4, 3), E(6, 5), E(8, 7), X(6, 5), X(8, 7)};
constexpr Term kOther1[] = {E(4, 3), X(2, 1), X(4, 3)};
constexpr Term kOther2[] = {E(2, 1), E(4, 3), X(2, 1), X(4, 3)};

BogieTerms bogieTerms(int32_t n) {
    switch (n) {
        case 2:
            return {{}, {}, 1, 1};
        case 6:
            return {kSix1, kSix2, 7, 15};
        case 8:
            return {kEight1, kEight2, 7, 15};
        default:
            return {kOther1, kOther2, 3, 7};
    }
}

int64_t sumTerms(const AxleRec& r, std::span<const Term> terms) {
    int64_t g = 0;
    for (const Term& t : terms) {
        const auto& times = t.entry ? r.Entry : r.Exit;
        g += int64_t{times[t.a]} - times[t.b];
    }
    return g;
}

double ratio(double num, double den) {
    return den != 0.0 ? num / den : 0.0;
}

// Time sum S of the speed: the crossing of the platform, or the travel between platforms.
int64_t speedTimeSum(const AxleRec& R1, const AxleRec& R2, int32_t m, bool two) {
    int64_t S = 0;
    for (int k = 1; k <= m; ++k) {
        if (two)
            S += (int64_t{R2.Entry[k]} - R1.Entry[k]) + (int64_t{R2.Exit[k]} - R1.Exit[k]);
        else
            S += int64_t{R1.Exit[k]} - R1.Entry[k];
    }
    return S;
}

// Time sum B of the wagon base: corresponding axles of the two bogies.
int64_t baseTimeSum(const AxleRec& r, int32_t m) {
    const int h = m / 2;
    int64_t B = 0;
    for (int k = 1; k <= h; ++k)
        B += (int64_t{r.Entry[k + h]} - r.Entry[k]) + (int64_t{r.Exit[k + h]} - r.Exit[k]);
    return B;
}

struct Candidate {
    int32_t w;
    int32_t f;
    int source;  // 0 Wt1, 1 Wt2, 2 Wt12
};

int32_t weighted(std::span<const Candidate> used) {
    int64_t sum = 0, factors = 0;
    for (const Candidate& c : used) {
        sum += int64_t{c.w} * c.f;
        factors += c.f;
    }
    return factors != 0 ? saturate32(sum / factors) : 0;
}

// Which of three ordered values to use: [from, to) and whether they disagree.
struct Pick {
    int from, to;
    bool disagree;
};

Pick pickOfThree(const Candidate* a, int64_t tol) {
    const int64_t d10 = int64_t{a[1].w} - a[0].w, d21 = int64_t{a[2].w} - a[1].w;
    if (d10 + d21 <= tol) return {0, 3, false};
    if (d10 < std::min(tol, d21)) return {0, 2, false};
    if (d21 < tol) return {1, 3, false};
    return {0, 3, true};
}

void showAxleGrid(const AxleRec& R1, const AxleRec& R2, int32_t m, EngineObserver& observer) {
    const int64_t t0 = R1.Entry[1];
    for (int k = 1; k <= m; ++k) {
        const int32_t cells[4] = {R1.Entry[k], R1.Exit[k], R2.Entry[k], R2.Exit[k]};
        for (int col = 0; col < 4; ++col)
            observer.diagnosticCell(col, k, DiagText().num(cells[col] - t0).view());
    }
}

void showResults(const TrainState& t, int32_t i, int32_t factor, int64_t last,
                 EngineObserver& observer) {
    const ResultRec& r = t.WagonResult[i];
    const WeightRec& w = t.WagonWeights[i];
    observer.diagnosticAppend(DiagLabel::La3s, DiagText().field().num(i + 1).view());
    const int64_t plain[] = {r.WagonBase, r.BogieBase, r.Speed10};
    for (int row = 1; row <= 3; ++row)
        observer.diagnosticCell(4, row, DiagText().num(plain[row - 1]).view());
    observer.diagnosticCell(4, 4, DiagText().num(w.WtFinal).field().num(factor).view());
    observer.diagnosticCell(4, 5, DiagText().num(w.Wt12).view());
    observer.diagnosticCell(4, 6, DiagText().num(w.Wt2).view());
    observer.diagnosticCell(4, 7, DiagText().num(w.Wt1).view());
    observer.diagnosticCell(4, 8, DiagText().num(r.Note).field().num(last).view());
}

void classify(TrainState& t, int32_t i, bool two, const Settings& s) {
    ResultRec& r = t.WagonResult[i];
    const int32_t n = r.Axles;
    if (two && n != t.AxleRec1[i].Axles) {
        r.Note = kNoteAxleCountsDiffer;
        return;
    }
    if (two && r.Note == kNoteWeightsDisagree) return;
    if (n > kMaxAxles || n < kMinAxles || r.BogieBase > kMaxBogieBase ||
        r.BogieBase < kMinBogieBase || r.WagonBase > kMaxWagonBase ||
        r.Speed10 > 10 * int64_t{s.Vmax}) {
        r.Note = kNoteOutOfRange;
        return;
    }
    const bool leading = t.LocoCount == i + t.WagonsBefore;
    if (leading && t.LocoCount < kMaxLeadingLocos &&
        looksLikeLocomotive(r, t.WagonWeights[i].WtFinal)) {
        r.Note = kNoteLocomotive;
        t.LocoCount += 1;
    }
}

// No weight and a weight beyond the scale's overload are never a plain weighing: the
// first means no window gave a load, the second a load the platforms cannot carry.
void rejectImpossibleWeight(ResultRec& r, int32_t WtFinal, const Settings& s) {
    if (r.Note == kNoteWeighed && !weightWithinScale(WtFinal, s)) r.Note = kNoteWeightsDisagree;
}

}  // namespace

WagonTiming MeasureWagon(const AxleRec& R1, const AxleRec& R2, int32_t n, bool two,
                         bool firstOfTrain, const Settings& s) {
    WagonTiming out;
    const int32_t m = std::clamp(n, 0, kMaxAxles);
    const int64_t path = two ? int64_t{s.Lp1} + s.Lp2 + 2 * int64_t{s.Lp3} : int64_t{s.Lp1};
    out.v = ratio(double(path * m), double(speedTimeSum(R1, R2, m, two)));

    const int64_t B = baseTimeSum(R1, m) + (two ? baseTimeSum(R2, m) : 0);
    out.WagonBase = roundHalfEven(ratio(B * out.v, two ? 2.0 * m : m));

    const BogieTerms terms = bogieTerms(n);
    int64_t G = sumTerms(R1, terms.first);
    int32_t c = terms.spacingsOne;
    if (two) {
        G += sumTerms(R2, terms.second);
        c = terms.spacingsTwo;
    }
    if (n > 2 && !firstOfTrain) {
        G += int64_t{R1.Entry[2]} - R1.Entry[1];
        c += 1;
    }
    out.G = G;
    out.BogieBase = roundHalfEven(ratio(G * out.v, c));
    return out;
}

int32_t speed10(double v, int32_t Fadc) {
    return roundHalfEven(10 * v * kKmhPerMmPerS * Fadc);
}

FinalWeight SelectFinalWeight(int32_t Wt1, int32_t Wt2, int32_t Wt12) {
    Candidate c[3];
    int N = 0;
    int64_t T = 0;
    for (Candidate x : {Candidate{Wt1, kPlatformFactor, 0}, Candidate{Wt2, kPlatformFactor, 1},
                        Candidate{Wt12, BothWeightFactor, 2}}) {
        if (x.w <= 0) continue;
        c[N++] = x;
        T += x.w;
    }
    FinalWeight out;
    const int64_t tol =
        N > 0 ? std::max<int64_t>(kMinTolerance, T / (kToleranceDivisor * N)) : kMinTolerance;
    out.tol = saturate32(tol);
    if (N == 0) {
        out.disagree = true;
        return out;
    }
    if (N == 1) {
        out.WtFinal = c[0].w;
        out.firstFactor = c[0].f;
        out.used[static_cast<size_t>(c[0].source)] = true;
        out.disagree = true;
        return out;
    }
    Pick pick{0, N, false};
    if (N == 2) {
        pick.disagree = std::llabs(int64_t{c[0].w} - c[1].w) > tol;
    } else {
        // Ordered by value; equal values keep their order of measurement.
        for (int a = 1; a < 3; ++a)
            for (int b = a; b > 0 && c[b].w < c[b - 1].w; --b) std::swap(c[b], c[b - 1]);
        pick = pickOfThree(c, tol);
    }
    out.WtFinal = weighted(std::span<const Candidate>(c + pick.from, c + pick.to));
    for (int k = pick.from; k < pick.to; ++k) out.used[static_cast<size_t>(c[k].source)] = true;
    out.firstFactor = c[pick.from].f;
    out.disagree = pick.disagree;
    return out;
}

int32_t CombineBogieDiffs(int32_t Diff1, int32_t Diff2) {
    int64_t sum = 0;
    int count = 0;
    for (int32_t d : {Diff1, Diff2}) {
        if (d <= 0) continue;
        sum += d;
        ++count;
    }
    return count > 0 ? static_cast<int32_t>(sum / count) : 0;
}

void ClassifyWagon(TrainState& t, int32_t i, const Settings& s) {
    classify(t, i, twoPlatforms(s), s);
    rejectImpossibleWeight(t.WagonResult[i], t.WagonWeights[i].WtFinal, s);
}

bool looksLikeLocomotive(const ResultRec& r, int32_t WtFinal) {
    return r.Axles == kLocoAxles && WtFinal > kLocoMinWeight &&
           (r.BogieBase > kLocoMinBogieBase || r.WagonBase < kLocoMaxWagonBase);
}

void WagonEnd(TrainState& t, const Settings& s, WallTime now, EngineObserver& observer) {
    const bool two = twoPlatforms(s);
    if (!two) {
        t.WagonIdx2 = t.WagonIdx1;
        t.WagonAxles2 = t.WagonAxles1;
    }
    const int32_t i = t.WagonIdx2 - 1;
    if (!hasWagonSlot(i)) return;
    const int32_t n = t.WagonAxles2;
    const AxleRec& R1 = t.AxleRec1[i];
    const AxleRec& R2 = t.AxleRec2[i];
    const bool diagnostics = observer.diagnosticsWanted();
    if (diagnostics) showAxleGrid(R1, R2, std::clamp(n, 0, kMaxAxles), observer);

    t.WagonTime[i] = now;
    ResultRec& r = t.WagonResult[i];
    r.Axles = n;
    const WagonTiming timing = MeasureWagon(R1, R2, n, two, i + t.WagonsBefore == 0, s);
    r.WagonBase = timing.WagonBase;
    r.BogieBase = timing.BogieBase;
    r.Speed10 = speed10(timing.v, s.Fadc);
    r.Note = kNoteWeighed;

    WeightRec& w = t.WagonWeights[i];
    DiffRec& d = t.BogieDiff[i];
    int32_t factor = 0;
    int64_t last = timing.G;
    // A weight by the maximum that holds an axle of the next vehicle is a doubtful weighing.
    const uint8_t shared = t.PeakShared[i];
    if (!two) {
        w.WtFinal = w.Wt1;
        d.DiffFinal = d.Diff1;
        if (shared & kPeakSharedFirst) r.Note = kNoteWeightsDisagree;
    } else {
        const FinalWeight f = SelectFinalWeight(w.Wt1, w.Wt2, w.Wt12);
        w.WtFinal = f.WtFinal;
        if (f.disagree || ((shared & kPeakSharedFirst) && f.used[0]) ||
            ((shared & kPeakSharedSecond) && f.used[1]))
            r.Note = kNoteWeightsDisagree;
        factor = f.firstFactor;
        last = f.tol;
        d.DiffFinal = CombineBogieDiffs(d.Diff1, d.Diff2);
    }
    if (t.Direction == -1) d.DiffFinal = saturate32(-int64_t{d.DiffFinal});
    ClassifyWagon(t, i, s);
    if (diagnostics) showResults(t, i, factor, last, observer);
}

}  // namespace zv

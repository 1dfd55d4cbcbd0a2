#include "engine/axle_load_solver.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zv {

namespace {

constexpr int kMax = kMaxUnknownAxles;
// A weight is a sum of unknowns only when the equations fix it to this share of itself.
constexpr double kEstimableTolerance = 1e-6;

using Vector = std::array<double, kMax>;
using Matrix = std::array<Vector, kMax>;

// The stretches of a platform inside the window with enough samples to be an equation.
template <typename Visit>
void forEachEquation(std::span<const PlatformEquations> platforms, AxleSpan window, Visit visit) {
    for (const PlatformEquations& p : platforms) {
        // A platform's stretches follow the passage: `from` never falls.
        const auto first =
            std::partition_point(p.segments.begin(), p.segments.end(),
                                 [&](const LoadSegment& s) { return s.from < window.from; });
        for (auto s = first; s != p.segments.end() && s->from < window.to; ++s)
            if (s->to <= window.to && s->count >= kMinSegmentSamples) visit(*s, p.zero);
    }
}

// Axle groups of the window: runs of axles no equation tells apart.
struct Groups {
    int count = 0;
    std::array<int, kMax> of{};  // group of each axle of the window, -1 when never seen
    std::array<int32_t, kMax> from{}, to{};  // axles of each group, passage numbers
};

Groups groupsOf(std::span<const PlatformEquations> platforms, AxleSpan window) {
    std::array<bool, kMax + 1> boundary{};
    std::array<bool, kMax> seen{};
    const int32_t lo = window.from;
    forEachEquation(platforms, window, [&](const LoadSegment& s, double) {
        boundary[static_cast<size_t>(s.from - lo)] = boundary[static_cast<size_t>(s.to - lo)] = true;
        for (int32_t k = s.from; k < s.to; ++k) seen[static_cast<size_t>(k - lo)] = true;
    });
    Groups g;
    for (int32_t k = 0; k < window.size(); ++k) {
        const size_t a = static_cast<size_t>(k);
        if (!seen[a]) {
            g.of[a] = -1;
            continue;
        }
        if (k == 0 || boundary[a] || g.of[a - 1] < 0) {
            g.from[static_cast<size_t>(g.count)] = lo + k;
            ++g.count;
        }
        g.of[a] = g.count - 1;
        g.to[static_cast<size_t>(g.count - 1)] = lo + k + 1;
    }
    return g;
}

// Cholesky factor of a symmetric positive definite matrix (lower triangle), in place.
void factor(Matrix& a, int n) {
    for (int j = 0; j < n; ++j) {
        double d = a[j][j];
        for (int k = 0; k < j; ++k) d -= a[j][k] * a[j][k];
        a[j][j] = std::sqrt(std::max(d, 1e-300));
        for (int i = j + 1; i < n; ++i) {
            double v = a[i][j];
            for (int k = 0; k < j; ++k) v -= a[i][k] * a[j][k];
            a[i][j] = v / a[j][j];
        }
    }
}

Vector solve(const Matrix& l, int n, Vector b) {
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < i; ++k) b[i] -= l[i][k] * b[k];
        b[i] /= l[i][i];
    }
    for (int i = n - 1; i >= 0; --i) {
        for (int k = i + 1; k < n; ++k) b[i] -= l[k][i] * b[k];
        b[i] /= l[i][i];
    }
    return b;
}

double dot(const Vector& a, const Vector& b, int n) {
    double s = 0;
    for (int k = 0; k < n; ++k) s += a[k] * b[k];
    return s;
}

// Share of each group's axles that belong to `part`; `split` when a group holds axles of
// both sides of its border.
Vector shares(const Groups& g, AxleSpan part, bool& split) {
    Vector c{};
    for (int k = 0; k < g.count; ++k) {
        const int32_t in = std::max(0, std::min(g.to[k], part.to) - std::max(g.from[k], part.from));
        const int32_t size = g.to[k] - g.from[k];
        c[k] = double(in) / size;
        if (in > 0 && in < size) split = true;
    }
    return c;
}

// The bogie all axles of group k belong to, or -1.
int32_t bogieOfGroup(const Groups& g, int k, AxleSpan window, std::span<const int32_t> bogies) {
    const auto at = [&](int32_t axle) {
        const size_t i = static_cast<size_t>(axle - window.from);
        return i < bogies.size() ? bogies[i] : -1;
    };
    const int32_t b = at(g.from[k]);
    for (int32_t a = g.from[k]; a < g.to[k]; ++a)
        if (at(a) != b) return -1;
    return b;
}

// x_k / size_k - x_(k+1) / size_(k+1) = 0 for neighbouring groups of one bogie.
void addBogieShares(const Groups& g, AxleSpan window, std::span<const int32_t> bogies, Matrix& N) {
    for (int k = 0; k + 1 < g.count; ++k) {
        const int32_t b = bogieOfGroup(g, k, window, bogies);
        if (b < 0 || b != bogieOfGroup(g, k + 1, window, bogies) || g.to[k] != g.from[k + 1]) continue;
        const double a = 1.0 / (g.to[k] - g.from[k]), c = -1.0 / (g.to[k + 1] - g.from[k + 1]);
        N[k][k] += kBogieShareSamples * a * a;
        N[k][k + 1] += kBogieShareSamples * a * c;
        N[k + 1][k] += kBogieShareSamples * a * c;
        N[k + 1][k + 1] += kBogieShareSamples * c * c;
    }
}

}  // namespace

AxleLoadSolution solveWagon(std::span<const PlatformEquations> platforms, AxleSpan wagon,
                            AxleSpan window, std::span<const int32_t> bogies) {
    AxleLoadSolution out;
    window.from = std::max(window.from, wagon.to - kMax);
    window.to = std::min(window.to, window.from + kMax);
    if (wagon.size() <= 0 || wagon.from < window.from || wagon.to > window.to) return out;
    const Groups g = groupsOf(platforms, window);
    const int n = g.count;
    for (int32_t k = wagon.from; k < wagon.to; ++k)
        if (g.of[static_cast<size_t>(k - window.from)] < 0) return out;  // an axle never seen

    Matrix N{};
    Vector rhs{}, groupSamples{};
    double yy = 0, total = 0;
    forEachEquation(platforms, window, [&](const LoadSegment& s, double zero) {
        const int a = g.of[static_cast<size_t>(s.from - window.from)];
        const int b = g.of[static_cast<size_t>(s.to - 1 - window.from)];
        const double sum = s.sum - s.count * zero;
        for (int j = a; j <= b; ++j) {
            rhs[j] += sum;
            groupSamples[j] += s.count;
            for (int k = a; k <= b; ++k) N[j][k] += s.count;
        }
        yy += s.sumSq - 2 * zero * s.sum + s.count * zero * zero;
        total += s.count;
    });

    addBogieShares(g, window, bogies, N);

    double largest = 1;
    for (int k = 0; k < n; ++k) largest = std::max(largest, N[k][k]);
    Matrix L = N;
    for (int k = 0; k < n; ++k) L[k][k] += 1e-9 * largest;
    factor(L, n);
    const Vector x = solve(L, n, rhs);

    bool shared = false, bogiesShared = false;
    const Vector c = shares(g, wagon, shared);
    const Vector first = shares(g, {wagon.from, wagon.from + wagon.size() / 2}, bogiesShared);
    out.apart = !shared;
    const Vector z = solve(L, n, c);
    double miss = 0;
    for (int j = 0; j < n; ++j) {
        double v = -c[j];
        for (int k = 0; k < n; ++k) v += N[j][k] * z[k];
        miss = std::max(miss, std::abs(v));
    }
    out.estimable = miss <= kEstimableTolerance * std::max(1.0, dot(c, c, n));
    out.wagon = dot(c, x, n);
    out.firstBogie = dot(first, x, n);
    const double variance = dot(c, z, n);
    out.samples = variance > 0 ? 1 / variance : 0;
    out.fewestGroupSamples = INT32_MAX;
    for (int k = 0; k < n; ++k)
        if (c[k] > 0) out.fewestGroupSamples = std::min(out.fewestGroupSamples, int32_t(groupSamples[k]));

    double fitted = 0;
    for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k) fitted += x[j] * N[j][k] * x[k];
    const double rss = std::max(0.0, yy - 2 * dot(x, rhs, n) + fitted);
    out.rmsResidual = std::sqrt(rss / std::max(1.0, total - n));
    out.rmsLoad = total > 0 ? std::sqrt(yy / total) : 0;
    return out;
}

}  // namespace zv

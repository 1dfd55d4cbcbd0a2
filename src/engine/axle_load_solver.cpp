#include "engine/axle_load_solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace zv {

namespace {

// Axle groups of a window, and all unknowns: the groups and each body's sine and cosine.
constexpr int kMax = kMaxUnknownAxles;
constexpr int kMaxUnknowns = kMax + 2 * kMaxBouncingBodies;
// A weight is a sum of unknowns only when the equations fix it to this share of itself.
constexpr double kEstimableTolerance = 1e-6;

using Vector = std::array<double, kMaxUnknowns>;
using Matrix = std::array<Vector, kMaxUnknowns>;

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

// The normal equations of a window: the axle groups' unknowns first, then each body's.
struct System {
    Matrix N{};
    Vector rhs{};
    int n = 0;         // unknowns
    double yy = 0;     // sum of squares of the net loads
    double total = 0;  // samples
};

// The bodies of a window's axles: each body's unknowns and how many of its axles the window has.
struct Bodies {
    int count = 0;
    std::array<int, kMaxBouncingBodies> column{};  // first unknown of each body, -1: none
    std::array<int32_t, kMaxBouncingBodies> axles{};
};

Bodies bodiesOf(const BodyBounce& bounce, AxleSpan window, int groups) {
    Bodies b;
    for (int32_t k = 0; k < window.size() && size_t(k) < bounce.bodies.size(); ++k) {
        const int32_t v = bounce.bodies[static_cast<size_t>(k)];
        if (v >= 0 && v < kMaxBouncingBodies) ++b.axles[static_cast<size_t>(v)];
    }
    for (int v = 0; v < kMaxBouncingBodies; ++v)
        b.column[size_t(v)] = b.axles[size_t(v)] > 0 ? groups + 2 * b.count++ : -1;
    return b;
}

// Each piece's bounce terms at the frequency: the share of a body's axles on the platform
// times the sum of sin and of cos over the piece's samples.
void addBounce(System& s, std::span<const PlatformEquations> platforms, AxleSpan window,
               const Groups& g, const BodyBounce& bounce, const Bodies& bodies) {
    PhasorSums phasors(2 * std::numbers::pi * bounce.hz / bounce.sampleHz);
    s.n = g.count + 2 * bodies.count;
    forEachEquation(platforms, window, [&](const LoadSegment& p, double zero) {
        std::array<int32_t, kMaxBouncingBodies> on{};
        for (int32_t a = p.from; a < p.to; ++a) {
            const size_t k = static_cast<size_t>(a - window.from);
            const int32_t v = k < bounce.bodies.size() ? bounce.bodies[k] : -1;
            if (v >= 0 && v < kMaxBouncingBodies) ++on[static_cast<size_t>(v)];
        }
        const std::complex<double> z = phasors.of(p.start, p.count);
        std::array<int, 2 * kMaxBouncingBodies> column{};
        std::array<double, 2 * kMaxBouncingBodies> d{};
        int m = 0;
        for (size_t v = 0; v < on.size(); ++v) {
            if (on[v] == 0 || bodies.column[v] < 0) continue;
            const double share = double(on[v]) / bodies.axles[v];
            column[size_t(m)] = bodies.column[v], d[size_t(m++)] = share * z.imag();
            column[size_t(m)] = bodies.column[v] + 1, d[size_t(m++)] = share * z.real();
        }
        const int a = g.of[static_cast<size_t>(p.from - window.from)];
        const int b = g.of[static_cast<size_t>(p.to - 1 - window.from)];
        const double sum = p.sum - p.count * zero;
        for (int i = 0; i < m; ++i) {
            const int ci = column[size_t(i)];
            s.rhs[ci] += d[size_t(i)] * sum / p.count;
            for (int k = a; k <= b; ++k) {
                s.N[ci][k] += d[size_t(i)];
                s.N[k][ci] += d[size_t(i)];
            }
            for (int j = 0; j < m; ++j)
                s.N[ci][column[size_t(j)]] += d[size_t(i)] * d[size_t(j)] / p.count;
        }
    });
}

struct Solved {
    Matrix L;  // Cholesky factor of the (slightly regularised) normal matrix
    Vector x{};
    double rss = 0;
};

// The Cholesky factor of the normal matrix, slightly regularised.
void factorOf(const System& s, Matrix& L) {
    double largest = 1;
    for (int k = 0; k < s.n; ++k) largest = std::max(largest, s.N[k][k]);
    for (int j = 0; j < s.n; ++j) std::copy_n(s.N[j].begin(), s.n, L[j].begin());
    for (int k = 0; k < s.n; ++k) L[k][k] += 1e-9 * largest;
    factor(L, s.n);
}

// The sum of squares the least-squares solution leaves: yy - rhs'·N⁻¹·rhs, which needs only
// the forward half of the solution.
double residualOf(const System& s) {
    Matrix L;
    factorOf(s, L);
    Vector w = s.rhs;
    double explained = 0;
    for (int i = 0; i < s.n; ++i) {
        for (int k = 0; k < i; ++k) w[i] -= L[i][k] * w[k];
        w[i] /= L[i][i];
        explained += w[i] * w[i];
    }
    return std::max(0.0, s.yy - explained);
}

Solved solveSystem(const System& s) {
    Solved out;
    factorOf(s, out.L);
    out.x = solve(out.L, s.n, s.rhs);
    double fitted = 0;
    for (int j = 0; j < s.n; ++j)
        for (int k = 0; k < s.n; ++k) fitted += out.x[j] * s.N[j][k] * out.x[k];
    out.rss = std::max(0.0, s.yy - 2 * dot(out.x, s.rhs, s.n) + fitted);
    return out;
}

// The normal equations of a wagon's window without the bodies' bounce.
struct Prepared {
    bool ok = false;  // every axle of the wagon was seen
    AxleSpan window;
    Groups groups;
    System base;
    Vector groupSamples{};
};

Prepared prepare(std::span<const PlatformEquations> platforms, AxleSpan wagon, AxleSpan window,
                 std::span<const int32_t> bogies) {
    Prepared p;
    window.from = std::max(window.from, wagon.to - kMax);
    window.to = std::min(window.to, window.from + kMax);
    p.window = window;
    if (wagon.size() <= 0 || wagon.from < window.from || wagon.to > window.to) return p;
    const Groups& g = p.groups = groupsOf(platforms, window);
    for (int32_t k = wagon.from; k < wagon.to; ++k)
        if (g.of[static_cast<size_t>(k - window.from)] < 0) return p;  // an axle never seen
    System& base = p.base;
    base.n = g.count;
    forEachEquation(platforms, window, [&](const LoadSegment& s, double zero) {
        const int a = g.of[static_cast<size_t>(s.from - window.from)];
        const int b = g.of[static_cast<size_t>(s.to - 1 - window.from)];
        const double sum = s.sum - s.count * zero;
        for (int j = a; j <= b; ++j) {
            base.rhs[j] += sum;
            p.groupSamples[j] += s.count;
            for (int k = a; k <= b; ++k) base.N[j][k] += s.count;
        }
        base.yy += s.sumSq - 2 * zero * s.sum + s.count * zero * zero;
        base.total += s.count;
    });
    addBogieShares(g, window, bogies, base.N);
    p.ok = true;
    return p;
}

void addBounceTo(System& s, std::span<const PlatformEquations> platforms, const Prepared& p,
                 const BodyBounce& bounce) {
    addBounce(s, platforms, p.window, p.groups, bounce, bodiesOf(bounce, p.window, p.groups.count));
}

}  // namespace

AxleLoadSolution solveWagon(std::span<const PlatformEquations> platforms, AxleSpan wagon,
                            AxleSpan window, std::span<const int32_t> bogies,
                            const BodyBounce& bounce) {
    AxleLoadSolution out;
    Prepared p = prepare(platforms, wagon, window, bogies);
    if (!p.ok) return out;
    const Groups& g = p.groups;
    System& sys = p.base;
    const double yy = sys.yy, total = sys.total;
    if (bounce.modelled()) addBounceTo(sys, platforms, p, bounce);
    const int n = sys.n;
    const Solved solved = solveSystem(sys);

    bool shared = false, bogiesShared = false;
    const Vector c = shares(g, wagon, shared);
    const Vector first = shares(g, {wagon.from, wagon.from + wagon.size() / 2}, bogiesShared);
    out.apart = !shared;
    const Vector z = solve(solved.L, n, c);
    double miss = 0;
    for (int j = 0; j < n; ++j) {
        double v = -c[j];
        for (int k = 0; k < n; ++k) v += sys.N[j][k] * z[k];
        miss = std::max(miss, std::abs(v));
    }
    out.estimable = miss <= kEstimableTolerance * std::max(1.0, dot(c, c, n));
    out.wagon = dot(c, solved.x, n);
    out.firstBogie = dot(first, solved.x, n);
    const double variance = dot(c, z, n);
    out.samples = variance > 0 ? 1 / variance : 0;
    out.fewestGroupSamples = INT32_MAX;
    for (int k = 0; k < g.count; ++k)
        if (c[k] > 0)
            out.fewestGroupSamples = std::min(out.fewestGroupSamples, int32_t(p.groupSamples[k]));
    out.rmsResidual = std::sqrt(solved.rss / std::max(1.0, total - n));
    out.rmsLoad = total > 0 ? std::sqrt(yy / total) : 0;
    return out;
}

double bodyBounceFrequency(std::span<const WagonEquations> wagons, double sampleHz) {
    std::array<Prepared, kBodyBounceSearchWagons> prepared;
    std::array<const WagonEquations*, kBodyBounceSearchWagons> of{};
    size_t m = 0;
    for (const WagonEquations& w : wagons.first(std::min(wagons.size(), prepared.size()))) {
        prepared[m] = prepare(w.platforms, w.wagon, w.window, w.bogies);
        of[m] = &w;
        if (prepared[m].ok) ++m;
    }
    if (m == 0) return 0;
    // Each wagon counts by the share of its residual the bounce leaves: a wagon its equations
    // do not fit (an axle miscounted) would otherwise decide the frequency for all.
    std::array<double, kBodyBounceSearchWagons> still;
    for (size_t k = 0; k < m; ++k) still[k] = std::max(residualOf(prepared[k].base), 1e-9);
    return frequencyOfLeast([&](double hz) {
        double share = 0;
        for (size_t k = 0; k < m; ++k) {
            System s = prepared[k].base;
            addBounceTo(s, of[k]->platforms, prepared[k], {sampleHz, of[k]->bodies, hz});
            share += residualOf(s) / still[k];
        }
        return share;
    });
}

}  // namespace zv

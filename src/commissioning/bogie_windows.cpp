#include "commissioning/bogie_windows.h"

#include <algorithm>
#include <vector>

namespace zv {

namespace {

struct Span {
    double from = 0, to = 0;  // track positions, in the order of passage
    bool holds(double x) const { return x > from && x < to; }
};

// A train of three equal vehicles; the middle one is looked at.
struct Train {
    std::vector<double> axles;  // offsets from the front of the train
    size_t first = 0;           // the middle vehicle's first axle
    size_t count = 0;           // its number of axles
    size_t half() const { return count / 2; }
};

Train threeOf(const VehicleDimensions& v) {
    Train t;
    std::vector<double> own = axleOffsets(v);
    for (int k = 0; k < 3; ++k)
        for (double o : own) t.axles.push_back(k * v.length + o);
    t.first = own.size();
    t.count = own.size();
    return t;
}

std::vector<Span> platformsInPassage(const Settings& s, int direction) {
    if (s.Npl == 0) return {{0, double(s.Lp1)}};
    double first = direction > 0 ? s.Lp1 : s.Lp2;
    double second = direction > 0 ? s.Lp2 : s.Lp1;
    return {{0, first}, {first + s.Lp3, first + s.Lp3 + second}};
}

// Whether, at train position p (front past track position 0), the platform carries exactly
// the axles first..first+n-1 of the train.
bool carriesExactly(const Train& t, const Span& platform, double p, size_t first, size_t n) {
    for (size_t k = 0; k < t.axles.size(); ++k) {
        bool wanted = k >= first && k < first + n;
        if (platform.holds(p - t.axles[k]) != wanted) return false;
    }
    return true;
}

// Train positions at which an axle crosses an end of one of the platforms.
std::vector<double> events(const Train& t, const std::vector<Span>& platforms) {
    std::vector<double> e;
    for (const Span& s : platforms)
        for (double o : t.axles) {
            e.push_back(s.from + o);
            e.push_back(s.to + o);
        }
    std::sort(e.begin(), e.end());
    e.erase(std::unique(e.begin(), e.end()), e.end());
    return e;
}

// Length of the stretch between consecutive events in which `inside` holds; 0 if none.
template <typename Inside>
double stretch(const std::vector<double>& e, Inside inside) {
    double longest = 0;
    for (size_t k = 1; k < e.size(); ++k)
        if (inside((e[k - 1] + e[k]) / 2)) longest = std::max(longest, e[k] - e[k - 1]);
    return longest;
}

bool countingHolds(const Train& t, const Span& platform) {
    // When the first axle leaves, the arrivals so far are the first bogie's axles.
    double firstAxle = t.axles[t.first];
    size_t arrived = 0;
    for (size_t k = t.first; k < t.first + t.count; ++k)
        if (t.axles[k] < firstAxle + (platform.to - platform.from)) ++arrived;
    return arrived == t.half();
}

// Whether, at train position p, exactly one of the axles k-1 and k stands on the platform.
bool parts(const Train& t, const Span& platform, double p, size_t k) {
    return platform.holds(p - t.axles[k - 1]) != platform.holds(p - t.axles[k]);
}

}  // namespace

VehicleWindows vehicleWindows(const Settings& settings, const VehicleDimensions& vehicle,
                              int direction) {
    const Train t = threeOf(vehicle);
    const std::vector<Span> platforms = platformsInPassage(settings, direction);
    VehicleWindows w;
    for (size_t p = 0; p < platforms.size(); ++p) {
        const Span& platform = platforms[p];
        const std::vector<double> e = events(t, {platform});
        w.countingHolds[p] = countingHolds(t, platform);
        double front =
            stretch(e, [&](double x) { return carriesExactly(t, platform, x, t.first, t.half()); });
        double rear = stretch(e, [&](double x) {
            return carriesExactly(t, platform, x, t.first + t.half(), t.half());
        });
        w.bogieTravel[p] = std::min(front, rear);
        const size_t borders[] = {t.first, t.first + t.count};
        for (size_t b = 0; b < 2; ++b)
            w.borderTravel[b] = std::max(
                w.borderTravel[b], stretch(e, [&](double x) { return parts(t, platform, x, borders[b]); }));
    }
    if (platforms.size() == 2) {
        w.bothTravel = stretch(events(t, platforms), [&](double x) {
            return carriesExactly(t, platforms[1], x, t.first, t.half()) &&
                   carriesExactly(t, platforms[0], x, t.first + t.half(), t.half());
        });
    }
    return w;
}

}  // namespace zv

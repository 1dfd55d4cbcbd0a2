#include "synthetic_train.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace zv::test {

namespace {

constexpr double kZeroCode = 2000.0;
constexpr int32_t kCoef = 2000000;  // 2 kg per code
constexpr double kBeforeFirstAxle = 500.0;

SimWagon vehicle(std::vector<double> axles, double length, double mass) {
    SimWagon w;
    w.loads.assign(axles.size(), mass / static_cast<double>(axles.size()));
    w.axles = std::move(axles);
    w.length = length;
    return w;
}

struct Platform {
    double start;
    double length;
    int slot;
};

}  // namespace

double SimWagon::mass() const {
    return std::accumulate(loads.begin(), loads.end(), 0.0);
}

SimWagon freightWagon(double mass) {
    return vehicle({1700, 3550, 10350, 12200}, 13900, mass);
}

SimWagon locomotive(double mass) {
    return vehicle({2000, 4000, 6000, 12000, 14000, 16000}, 18000, mass);
}

SimWagon eightAxleWagon(double mass) {
    return vehicle({2195, 4045, 4695, 6545, 13695, 15545, 16195, 18045}, 20240, mass);
}

SimWagon oddVehicle(int frontAxles, int rearAxles, double mass) {
    constexpr double spacing = 900.0;
    std::vector<double> axles;
    for (int k = 0; k < frontAxles; ++k) axles.push_back(1700.0 + spacing * k);
    const double rear = axles.back() + 8000.0;
    for (int k = 0; k < rearAxles; ++k) axles.push_back(rear + spacing * k);
    return vehicle(axles, axles.back() + 1700.0, mass);
}

Settings syntheticSettings(bool twoPlatforms) {
    Settings s;
    s.Npl = twoPlatforms ? 1 : 0;
    s.Nadc = 1;
    s.tflt = 10;
    s.Vmax = 20;
    s.a0.fill(static_cast<int32_t>(kZeroCode));
    s.ak.fill(kCoef);
    return s;
}

std::vector<std::array<uint16_t, 8>> crossing(const Settings& s, const SimRun& run,
                                              const std::vector<SimWagon>& train) {
    const bool two = s.Npl >= 1;
    std::vector<Platform> platforms{{0.0, double(s.Lp1), 0}};
    if (two) platforms.push_back({double(s.Lp1 + s.Lp3), double(s.Lp2), 4});
    const double track = platforms.back().start + platforms.back().length;

    // Axle positions behind the train's front, and their loads.
    std::vector<double> behind, load, phase;
    double front = 0.0;
    for (const SimWagon& w : train) {
        for (size_t k = 0; k < w.axles.size(); ++k) {
            behind.push_back(front + w.axles[k]);
            load.push_back(w.loads[k]);
            phase.push_back(2.1 * double(&w - train.data()));
        }
        front += w.length;
    }
    const double travel = kBeforeFirstAxle + behind.back() + track + 1000.0;
    const int moving = static_cast<int>(std::ceil(travel / run.speed));
    const double perCode = kCoef / 1e6;

    std::vector<std::array<uint16_t, 8>> samples;
    for (int t = 0; t < run.idleBefore + moving + run.idleAfter; ++t) {
        double kg[8] = {};
        const double head =
            t < run.idleBefore ? -1e9 : -kBeforeFirstAxle + run.speed * (t - run.idleBefore);
        // Only the axles on the track: head - track < behind <= head (behind is ascending).
        const auto from =
            std::upper_bound(behind.begin(), behind.end(), head - track) - behind.begin();
        const auto to = std::upper_bound(behind.begin(), behind.end(), head) - behind.begin();
        for (auto a = from; a < to; ++a) {
            const double x = head - behind[a];
            const double bounce =
                1 +
                run.bodyShare * std::sin(2 * std::numbers::pi * run.bodyHz * t / s.Fadc + phase[a]);
            const double y = run.direction > 0 ? x : track - x;
            for (const Platform& p : platforms) {
                const double local = y - p.start;
                if (local < 0.0 || local >= p.length) continue;
                kg[p.slot] += bounce * load[a] * (p.length - local) / p.length;
                kg[p.slot + 2] += bounce * load[a] * local / p.length;
            }
        }
        std::array<uint16_t, 8> codes{};
        for (const Platform& p : platforms)
            for (int slot : {p.slot, p.slot + 2}) {
                const double code = kZeroCode + (run.driftKg + kg[slot]) / perCode;
                codes[slot] = static_cast<uint16_t>(std::clamp(std::lround(code), 0L, 65535L));
            }
        samples.push_back(codes);
    }
    return samples;
}

std::vector<StoredTrain> weigh(WeighingEngine& engine,
                               const std::vector<std::array<uint16_t, 8>>& samples) {
    std::vector<StoredTrain> trains;
    uint32_t now = 0;
    for (const auto& codes : samples) {
        engine.feed(codes, now);
        now += 20;
        while (engine.hasCompletedTrain()) trains.push_back(engine.takeCompletedTrain());
    }
    trains.push_back(engine.TrainEnd());
    return trains;
}

}  // namespace zv::test

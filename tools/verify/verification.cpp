#include "verify/verification.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "replay/replay_run.h"
#include "simulator/train_simulator.h"
#include "verify/accuracy_class.h"
#include "verify/reference_trains.h"

namespace zv {

namespace {

struct Tally {
    VerifyRow row;
    double sumError = 0;
    std::vector<double> errors;

    void add(const StoredWagonRow* stored, const TruthRow& truth, bool locomotive) {
        ++row.passages;
        if (!stored || stored->Axle != truth.axles) return;
        if (stored->Note != (locomotive ? 3 : 1)) return;
        ++row.weighed;
        double error = 100.0 * (stored->Weight - truth.mass) / truth.mass;
        sumError += error;
        errors.push_back(error);
        if (std::abs(error) > std::abs(row.largestErrorPercent)) row.largestErrorPercent = error;
        row.speedErrorKmh =
            std::max(row.speedErrorKmh, std::abs(stored->Speed / 10.0 - truth.speedKmh));
        row.baseErrorMm = std::max(row.baseErrorMm, std::abs(stored->BaseW - truth.wagonBase));
        row.bogieBaseErrorMm =
            std::max(row.bogieBaseErrorMm, std::abs(stored->BaseB - truth.bogieBase));
    }

    VerifyRow finish(const VerifyOptions& o) {
        if (row.weighed > 0) row.meanErrorPercent = sumError / row.weighed;
        // A row whose every passage went without its zero has nothing to judge.
        if (row.passages > 0 && row.weighed == row.passages)
            row.classMet = classMet(std::abs(row.largestErrorPercent));
        row.meets = row.classMet && *row.classMet <= o.accuracyClass;
        const double limit = inServiceLimitPercent(o.accuracyClass);
        row.withinClass = static_cast<int>(std::count_if(
            errors.begin(), errors.end(), [limit](double e) { return std::abs(e) <= limit; }));
        return row;
    }
};

bool decides(const ReferenceVehicle& v, double kmh, const Settings& s, const VerifyOptions& o) {
    if (kmh > s.Vmax) return false;
    return o.allKinds || (!v.kind.locomotive && (v.kind.dims.axles == 4 || v.kind.dims.axles == 6));
}

// One passage: every vehicle's stored row beside what it really was.
void weighPassage(const Settings& s, const std::vector<ReferenceVehicle>& vehicles,
                  TrainDescription train, const SignalModel& signal,
                  std::map<std::string, Tally>& tallies, ZeroMisses& zeroMisses) {
    ReplayReport report = replaySimulatedTrain(s, train, signal);
    if (!report.zero.taken) return zeroMisses.add(report.zero, train.emptySeconds);
    std::vector<StoredWagonRow> rows;
    for (StoredTrain& t : report.trains)
        rows.insert(rows.end(), t.rows.begin(), t.rows.end());
    std::vector<TruthRow> truth = TrainSimulator(s, train, signal).truth();
    // Rows follow the order of passage; a train grouped wrong has other rows than vehicles.
    const bool matched = rows.size() == truth.size();
    for (size_t i = 0; i < vehicles.size(); ++i)
        tallies[vehicles[i].row].add(matched ? &rows[i] : nullptr, truth[i],
                                     vehicles[i].kind.locomotive);
}

}  // namespace

std::string signalText(const VerifyOptions& o) {
    if (o.noiseKg == 0 && o.bounceShare == 0 && o.bodyShare == 0) return "ideal (no noise, no oscillation)";
    const SignalModel shape;
    char text[160];
    std::snprintf(text, sizeof text,
                  "noise %g kg, axle oscillation %g %% at %g Hz, body bounce %g %% at %g Hz",
                  o.noiseKg, 100 * o.bounceShare, shape.bounceHz, 100 * o.bodyShare, o.bodyHz);
    return text;
}

std::vector<double> defaultSpeeds(int Vmax) {
    std::vector<double> speeds;
    for (int v = 3; v < Vmax; v += 2) speeds.push_back(v);
    speeds.push_back(Vmax);
    return speeds;
}

VerifyResult runVerification(const Settings& s, const VerifyOptions& o) {
    VerifyResult result;
    const std::vector<double> speeds = o.speeds.empty() ? defaultSpeeds(s.Vmax) : o.speeds;
    uint64_t seed = o.seed;
    for (double kmh : speeds) {
        std::map<std::string, Tally> tallies;
        for (bool head : {true, false}) {
            std::vector<ReferenceVehicle> vehicles = referenceTrain(o.kinds, head);
            TrainDescription train;
            for (const ReferenceVehicle& v : vehicles)
                train.vehicles.push_back(simulatedVehicle(v));
            train.speed = {kmh, kmh};
            train.emptySeconds = 2;
            for (int direction : {+1, -1})
                for (int run = 0; run < o.runs; ++run) {
                    train.direction = direction;
                    SignalModel signal;
                    signal.noiseKg = o.noiseKg;
                    signal.bounceShare = o.bounceShare;
                    signal.bodyShare = o.bodyShare;
                    signal.bodyHz = o.bodyHz;
                    signal.seed = seed++;
                    weighPassage(s, vehicles, train, signal, tallies, result.zeroMisses);
                    ++result.passages;
                }
        }
        for (const ReferenceVehicle& v : referenceTrain(o.kinds, true)) {
            Tally& t = tallies[v.row];
            t.row.kind = v.row;
            t.row.speedKmh = kmh;
            t.row.counts = decides(v, kmh, s, o) && t.row.passages > 0;  // all without the zero
            result.rows.push_back(t.finish(o));
        }
    }
    result.passes = std::all_of(result.rows.begin(), result.rows.end(),
                                [](const VerifyRow& r) { return !r.counts || r.meets; });
    if (result.zeroMisses.passages > 0) result.passes = false;
    return result;
}

}  // namespace zv

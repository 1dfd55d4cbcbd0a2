#include "simulator/train_simulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>

namespace zv {

namespace {

// Phases drawn from the seed, so that each run of a train gives the same samples.
std::vector<double> bodyPhases(size_t vehicles, uint64_t seed) {
    std::mt19937_64 random(seed ^ 0x9e3779b97f4a7c15ull);
    std::uniform_real_distribution<double> phase(0.0, 2 * std::numbers::pi);
    std::vector<double> phases(vehicles);
    for (double& p : phases) p = phase(random);
    return phases;
}

const Settings& checked(const Settings& settings, const TrainDescription& train) {
    std::string problem = checkScaleSettings(settings);
    if (problem.empty()) problem = checkTrain(train);
    if (!problem.empty()) throw std::invalid_argument(problem);
    return settings;
}

}  // namespace

TrainSimulator::TrainSimulator(const Settings& settings, const TrainDescription& train,
                               const SignalModel& signal)
    : settings_(checked(settings, train)),
      train_(train),
      signal_(signal),
      scale_(settings),
      converter_(settings, scale_, signal),
      axles_(axleLayout(train)),
      axlePlatform_(axles_.size(), -1),
      axleArrival_(axles_.size(), 0),
      bodyPhase_(bodyPhases(train.vehicles.size(), signal.seed)),
      firstAxle_(axles_.front().offset),
      travelSpan_(axles_.back().offset - firstAxle_ + scale_.length()) {}

double TrainSimulator::speedAt(double travelled) const {
    double share = std::clamp((travelled - firstAxle_) / travelSpan_, 0.0, 1.0);
    double kmh = train_.speed.startKmh + (train_.speed.endKmh - train_.speed.startKmh) * share;
    return kmh * 1000 / 3.6;
}

void TrainSimulator::emitEmpty(long count, SampleSink& sink) {
    for (long k = 0; k < count; ++k) sink.put(converter_.codes({}));
}

double TrainSimulator::bounceFactor(size_t axle, int platform, long sample) {
    if (platform != axlePlatform_[axle]) {
        axlePlatform_[axle] = platform;
        axleArrival_[axle] = sample;
    }
    if (platform < 0) return 1;
    double t = static_cast<double>(sample - axleArrival_[axle]) / settings_.Fadc;
    return 1 + signal_.bounceShare * std::exp(-t / signal_.bounceDecaySeconds) *
                   std::sin(2 * std::numbers::pi * signal_.bounceHz * t);
}

double TrainSimulator::bodyFactor(int vehicle, long sample) const {
    if (signal_.bodyShare == 0) return 1;
    const double t = static_cast<double>(sample) / settings_.Fadc;
    return 1 + signal_.bodyShare * std::sin(2 * std::numbers::pi * signal_.bodyHz * t +
                                            bodyPhase_[static_cast<size_t>(vehicle)]);
}

std::array<double, 8> TrainSimulator::loadsAt(double travelled, long sample) {
    std::array<double, 8> loads{};
    // Axles are ordered front to back: those already past the scale form a prefix that
    // never comes back, those not yet on it a suffix.
    while (firstOnScale_ < axles_.size() &&
           travelled - axles_[firstOnScale_].offset > scale_.length())
        ++firstOnScale_;
    for (size_t k = firstOnScale_; k < axles_.size(); ++k) {
        double u = travelled - axles_[k].offset;  // past the arrival end of the scale
        if (u < 0) break;
        double x = train_.direction > 0 ? u : scale_.length() - u;
        double load = axles_[k].load * bounceFactor(k, scale_.platformAt(x), sample) *
                      bodyFactor(axles_[k].vehicle, sample);
        scale_.addLoad(x, load, axles_[k].transverseOffset, loads);
    }
    return loads;
}

long TrainSimulator::run(SampleSink& sink) {
    // Every run starts from the same state, so it delivers the same samples.
    converter_ = ConverterModel(settings_, scale_, signal_);
    std::fill(axlePlatform_.begin(), axlePlatform_.end(), -1);
    firstOnScale_ = 0;
    const long empty = std::lround(train_.emptySeconds * settings_.Fadc);
    const double lastAxle = axles_.back().offset;
    emitEmpty(empty, sink);
    long sample = empty;
    for (double travelled = firstAxle_; travelled - lastAxle <= scale_.length(); ++sample) {
        sink.put(converter_.codes(loadsAt(travelled, sample)));
        travelled += speedAt(travelled) / settings_.Fadc;
    }
    emitEmpty(empty, sink);
    return sample + empty;
}

std::vector<TruthRow> TrainSimulator::truth() const {
    std::vector<TruthRow> rows;
    double front = 0;
    for (size_t i = 0; i < train_.vehicles.size(); ++i) {
        const VehicleDescription& v = train_.vehicles[i];
        TruthRow row;
        row.vehicle = static_cast<int>(i) + 1;
        row.kind = v.kind;
        row.axles = v.axles;
        row.mass = v.mass();
        row.frontBogie = v.frontBogieMass;
        row.rearBogie = v.rearBogieMass;
        row.wagonBase = v.wagonBase;
        row.bogieBase = v.bogieBase;
        row.speedKmh = speedAt(front + v.length / 2 + scale_.length() / 2) * 3.6 / 1000;
        row.transverseOffset = v.transverseOffset;
        rows.push_back(row);
        front += v.length;
    }
    return rows;
}

}  // namespace zv

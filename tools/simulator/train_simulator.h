#pragma once

#include <vector>

#include "settings/settings.h"
#include "simulator/converter_model.h"
#include "simulator/sample_sink.h"
#include "simulator/scale_model.h"
#include "simulator/signal_model.h"
#include "simulator/train_description.h"

namespace zv {

// What a simulated vehicle really was, for comparison with the weighing.
struct TruthRow {
    int vehicle = 0;  // from 1, in the order of passage
    VehicleKind kind = VehicleKind::Wagon;
    int axles = 0;
    double mass = 0;        // kg
    double frontBogie = 0;  // kg, first bogie to pass
    double rearBogie = 0;
    double wagonBase = 0;  // mm
    double bogieBase = 0;  // mm
    double speedKmh = 0;   // when its centre passes the middle of the scale
    double transverseOffset = 0;
};

// A train crossing the platforms, sampled at Fadc: the samples go to a sink, the truth is
// known beforehand. Throws std::invalid_argument for a train or scale it cannot model.
class TrainSimulator {
  public:
    TrainSimulator(const Settings& settings, const TrainDescription& train,
                   const SignalModel& signal = {});

    // Feeds every sample to the sink and returns their number; each run gives the same.
    long run(SampleSink& sink);
    std::vector<TruthRow> truth() const;

  private:
    double speedAt(double travelled) const;  // mm per second
    void emitEmpty(long count, SampleSink& sink);
    std::array<double, 8> loadsAt(double travelled, long sample);
    double bounceFactor(size_t axle, int platform, long sample);
    double bodyFactor(int vehicle, long sample) const;

    const Settings& settings_;
    TrainDescription train_;
    SignalModel signal_;
    ScaleModel scale_;
    ConverterModel converter_;
    std::vector<AxlePoint> axles_;
    std::vector<int> axlePlatform_;  // platform each axle stood on at the last sample
    std::vector<long> axleArrival_;  // sample at which it rolled onto that platform
    std::vector<double> bodyPhase_;  // of each vehicle's body bounce, radians
    size_t firstOnScale_ = 0;        // first axle not yet past the scale
    double firstAxle_ = 0;           // offset of the first axle behind the train front
    double travelSpan_ = 0;          // distance over which the speed profile runs
};

}  // namespace zv

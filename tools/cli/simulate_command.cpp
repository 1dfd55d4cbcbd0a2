#include "cli/simulate_command.h"

#include <array>
#include <fstream>
#include <memory>
#include <optional>

#include "cli/calibration_options.h"
#include "cli/command_options.h"
#include "cli/live_simulation.h"
#include "replay/file_error.h"
#include "simulator/frame_stream_sink.h"
#include "simulator/raw_file_sink.h"
#include "simulator/train_file.h"
#include "simulator/train_simulator.h"
#include "simulator/truth_csv.h"

namespace zv {

namespace {

constexpr std::array<std::string_view, 6> CompositionOptions = {
    "--wagons", "--axles", "--mass", "--imbalance", "--loco", "--loco-mass"};
constexpr std::array<std::string_view, 3> LiveOptions = {"--wait", "--pause", "--trains"};

TrainDescription trainFromFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error(fileError("Cannot open file", path));
    try {
        return readTrainFile(in);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

TrainDescription trainFromOptions(const CommandOptions& o) {
    double wagons = o.number("--wagons", 10, 0, 1000);
    if (wagons != static_cast<int>(wagons))
        throw UsageError("option --wagons wants a whole number");
    double axles = o.number("--axles", 4, 4, 8);
    if (axles != 4 && axles != 6 && axles != 8) throw UsageError("option --axles wants 4, 6 or 8");
    double mass = o.number("--mass", 60000, 0, 300000);
    double imbalance = o.number("--imbalance", 0, -mass, mass);
    double locoMass = o.number("--loco-mass", 130000, 20000, 300000);
    std::string loco = o.has("--loco") ? o.text("--loco") : "none";
    if (loco != "none" && loco != "head" && loco != "tail" && loco != "both")
        throw UsageError("option --loco wants none, head, tail or both");

    TrainDescription train;
    if (loco == "head" || loco == "both") train.vehicles.push_back(makeLocomotive(locoMass));
    train.vehicles.insert(train.vehicles.end(), static_cast<size_t>(wagons),
                          makeWagon(static_cast<int>(axles), mass, imbalance));
    if (loco == "tail" || loco == "both") train.vehicles.push_back(makeLocomotive(locoMass));
    return train;
}

TrainDescription trainFrom(const CommandOptions& o) {
    TrainDescription train;
    if (o.has("--train")) {
        for (std::string_view name : CompositionOptions)
            if (o.has(name))
                throw UsageError("option " + std::string(name) + " cannot go with --train");
        train = trainFromFile(o.text("--train"));
    } else {
        train = trainFromOptions(o);
    }
    if (o.has("--speed")) {
        std::vector<double> kmh = o.numbers("--speed", 0.5, 50);
        train.speed = {kmh.front(), kmh.back()};
    }
    double direction = o.number("--direction", train.direction, -1, 1);
    if (direction != 1 && direction != -1) throw UsageError("option --direction wants +1 or -1");
    train.direction = static_cast<int>(direction);
    train.emptySeconds = o.number("--empty", train.emptySeconds, 0, 600);
    return train;
}

SignalModel signalFrom(const CommandOptions& o) {
    SignalModel signal;
    signal.noiseKg = o.number("--noise", signal.noiseKg, 0, 10000);
    signal.bounceShare = o.number("--bounce", signal.bounceShare, 0, 1);
    signal.bodyShare = o.number("--body", signal.bodyShare, 0, 0.5);
    signal.deadLoadKg = o.number("--dead-load", signal.deadLoadKg, 0, 100000);
    signal.seed = static_cast<uint64_t>(o.number("--seed", 1, 0, 4294967295.0));
    return signal;
}

std::ofstream createFile(const std::string& path, std::ios::openmode mode = std::ios::out) {
    std::ofstream out(path, mode | std::ios::trunc);
    if (!out) throw std::runtime_error(fileError("Cannot create file", path));
    return out;
}

void finishFile(std::ofstream& out, const std::string& path) {
    out.close();
    if (!out) throw std::runtime_error(fileError("Cannot write to file", path));
}

void checkOutputs(const CommandOptions& o) {
    const bool files = o.has("--raw") || o.has("--capture") || o.has("--truth");
    if (o.has("--pty")) {
        if (files)
            throw UsageError(
                "--pty plays trains live and goes with none of --raw, --capture and --truth");
        return;
    }
    if (!files) throw UsageError("give at least one of --pty, --raw, --capture and --truth");
    if (o.has("--corrupt") && !o.has("--capture"))
        throw UsageError("--corrupt needs --capture or --pty");
    for (std::string_view name : LiveOptions)
        if (o.has(name)) throw UsageError("option " + std::string(name) + " needs --pty");
}

ScheduleOptions scheduleFrom(const CommandOptions& o) {
    ScheduleOptions schedule;
    schedule.waitSeconds = o.number("--wait", schedule.waitSeconds, 0, 3600);
    schedule.pauseSeconds = o.number("--pause", schedule.pauseSeconds, 0, 3600);
    schedule.trains = o.has("--trains") ? o.integer("--trains", 0, 1000000) : 0;
    schedule.alternate = !o.has("--direction");
    return schedule;
}

int writeFiles(const CommandOptions& o, const ToolSettings& tool, const TrainDescription& train,
               const SignalModel& signal, std::ostream& err) {
    TrainSimulator simulator(tool.settings, train, signal);
    SampleFanOut outputs;
    std::optional<RawFileSink> raw;
    if (o.has("--raw")) outputs.add(raw.emplace(o.text("--raw")));
    std::ofstream captureFile;
    std::unique_ptr<FrameStreamSink> frames;
    if (o.has("--capture")) {
        captureFile = createFile(o.text("--capture"), std::ios::binary);
        frames = std::make_unique<FrameStreamSink>(captureFile, tool.settings,
                                                   o.number("--corrupt", 0, 0, 1), signal.seed);
        outputs.add(*frames);
    }
    long samples = simulator.run(outputs);
    if (raw) raw->close();
    if (frames) finishFile(captureFile, o.text("--capture"));
    if (o.has("--truth")) {
        std::ofstream truth = createFile(o.text("--truth"));
        writeTruthCsv(truth, simulator.truth(), train.direction);
        finishFile(truth, o.text("--truth"));
    }
    err << "simulate: " << samples << " samples, " << train.vehicles.size() << " vehicles, "
        << (frames ? frames->corrupted() : 0) << " frames spoiled"
        << (tool.calibrationDamaged ? DamagedCalibrationNote : "") << '\n';
    return 0;
}

}  // namespace

int runSimulateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandOptions o(
        args, {"--ini",     "--zero",      "--coef",   "--train",     "--wagons", "--axles",
               "--mass",    "--imbalance", "--loco",   "--loco-mass", "--speed",  "--direction",
               "--empty",   "--noise",     "--bounce", "--body", "--dead-load", "--seed",   "--raw",
               "--capture", "--corrupt",   "--truth",  "--wait",      "--pause",  "--trains"},
        {"--pty"});
    checkOutputs(o);
    ToolSettings tool = loadToolSettings(settingsRequest(o));
    TrainDescription train = trainFrom(o);
    SignalModel signal = signalFrom(o);
    if (o.has("--pty")) {
        if (tool.calibrationDamaged) err << "simulate: live" << DamagedCalibrationNote << '\n';
        return runLiveSimulation(tool.settings, train, signal, scheduleFrom(o),
                                 o.number("--corrupt", 0, 0, 1), out, err);
    }
    return writeFiles(o, tool, train, signal, err);
}

}  // namespace zv

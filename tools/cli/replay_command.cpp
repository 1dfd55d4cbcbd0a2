#include "cli/replay_command.h"

#include "cli/calibration_options.h"
#include "cli/command_options.h"
#include "cli/program_files.h"
#include "cli/trains_table.h"
#include "engine/zero_state.h"
#include "replay/replay_run.h"
#include "replay/train_rows_csv.h"

namespace zv {

namespace {

Recording recordingFrom(const CommandOptions& options) {
    if (options.has("--raw") == options.has("--capture"))
        throw UsageError("give exactly one of --raw and --capture");
    if (options.has("--raw")) return {RecordingKind::RawData, options.text("--raw")};
    return {RecordingKind::Capture, options.text("--capture")};
}

// The rows Trains holds after storing, and what opening the tables reported.
void printStored(const StoredTrains& stored, std::ostream& out, std::ostream& err) {
    for (const std::string& message : stored.messages) err << "replay: " << message << '\n';
    out << TrainRowsCsvHeader << '\n';
    for (const TrainsTableRow& row : stored.rows)
        writeTrainRowLine(out, row.train, row.time, row.wagon, row.values);
}

// " as train 2", " as trains 2, 3", or nothing.
std::string trainNumbersText(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
    if (text.empty()) return text;
    return (numbers.size() == 1 ? " as train " : " as trains ") + text;
}

// The program's settings file, beside which its seal key lies: --ini, or the one above --db.
QString settingsFileOf(const CommandOptions& options) {
    if (options.has("--ini")) return QString::fromStdString(options.text("--ini"));
    return settingsFileAbove(QString::fromStdString(options.text("--db")));
}

}  // namespace

int runReplayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandOptions options(args, {"--raw", "--capture", "--ini", "--zero", "--coef", "--db"});
    Recording recording = recordingFrom(options);
    ToolSettings tool = loadToolSettings(settingsRequest(options));
    ReplayReport report = replayRecording(tool.settings, recording);
    int wagons = 0;
    std::string trains;
    if (options.has("--db")) {
        StoredTrains stored =
            storeTrainsInFolder(options.text("--db"), tool.settings, settingsFileOf(options), report.trains);
        printStored(stored, out, err);
        wagons = static_cast<int>(stored.rows.size());
        trains = trainNumbersText(stored.numbers);
    } else {
        wagons = writeTrainRowsCsv(out, report.trains);
    }
    // Weights without the zero carry the platforms' own load: the engineer must know why.
    if (!report.zero.taken)
        err << "replay: " << zeroFailureText(report.zero) << " (before the first train)\n";
    err << "replay: " << report.samples << " samples fed, " << report.rejectedFrames
        << " frames rejected, " << report.calibrationMarks << " calibration marks, " << wagons
        << " wagons stored" << trains << (tool.calibrationDamaged ? DamagedCalibrationNote : "")
        << '\n';
    return 0;
}

}  // namespace zv

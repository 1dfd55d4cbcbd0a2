#include "cli/replay_command.h"

#include "cli/calibration_options.h"
#include "cli/command_options.h"
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

}  // namespace

int runReplayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandOptions options(args, {"--raw", "--capture", "--ini", "--zero", "--coef"});
    Recording recording = recordingFrom(options);
    ToolSettings tool = loadToolSettings(settingsRequest(options));
    ReplayReport report = replayRecording(tool.settings, recording);
    int wagons = writeTrainRowsCsv(out, report.trains);
    err << "replay: " << report.samples << " samples fed, " << report.rejectedFrames
        << " frames rejected, " << report.calibrationMarks << " calibration marks, " << wagons
        << " wagons stored" << (tool.calibrationDamaged ? DamagedCalibrationNote : "") << '\n';
    return 0;
}

}  // namespace zv

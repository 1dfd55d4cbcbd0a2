#include "cli/verify_command.h"

#include <chrono>
#include <cstdio>
#include <fstream>

#include "cli/calibration_options.h"
#include "cli/command_options.h"
#include "commissioning/weighing_check.h"
#include "commissioning/zero_noise.h"
#include "replay/file_error.h"
#include "simulator/scale_model.h"
#include "verify/accuracy_class.h"
#include "verify/verification.h"

namespace zv {

namespace {

VerifyOptions verifyOptionsFrom(const CommandOptions& o) {
    VerifyOptions v;
    if (o.has("--speeds")) v.speeds = o.numbers("--speeds", 0.5, 50, 50);
    if (o.has("--runs")) v.runs = o.integer("--runs", 1, 100);
    if (o.has("--class")) {
        std::optional<double> c = parseClass(o.text("--class"));
        if (!c)
            throw UsageError("option --class wants 0.2, 0.5, 1 or 2, not '" + o.text("--class") +
                             "'");
        v.accuracyClass = *c;
    }
    v.seed = static_cast<uint64_t>(o.number("--seed", 1, 0, 4294967295.0));
    v.noiseKg = o.number("--noise", v.noiseKg, 0, 10000);
    v.bounceShare = o.number("--bounce", v.bounceShare, 0, 1);
    v.allKinds = o.has("--all-kinds");
    return v;
}

constexpr const char* CsvHeader =
    "Kind,Speed,Runs,Weighed,MeanError,LargestError,Class,SpeedError,BaseError,BogieBaseError";

std::string csvLine(const VerifyRow& r) {
    char text[200];
    std::snprintf(text, sizeof text, "%s,%g,%d,%.1f,%.3f,%.3f,%s,%.2f,%.0f,%.0f", r.kind.c_str(),
                  r.speedKmh, r.passages, 100.0 * r.weighed / std::max(r.passages, 1),
                  r.meanErrorPercent, r.largestErrorPercent, classText(r.classMet).c_str(),
                  r.speedErrorKmh, r.baseErrorMm, r.bogieBaseErrorMm);
    return text;
}

void printTable(const VerifyResult& result, std::ostream& out) {
    out << "kind              km/h runs weighed  mean %   max %  class  speed km/h  base mm  bogie "
           "mm\n";
    for (const VerifyRow& r : result.rows) {
        char text[200];
        std::string cls = r.classMet ? classText(r.classMet) : "-";
        std::snprintf(
            text, sizeof text, "%-16s %5g %4d %6.0f%% %7.3f %7.3f  %-5s %10.2f %8.0f %9.0f%s",
            r.kind.c_str(), r.speedKmh, r.passages, 100.0 * r.weighed / std::max(r.passages, 1),
            r.meanErrorPercent, r.largestErrorPercent, cls.c_str(), r.speedErrorKmh, r.baseErrorMm,
            r.bogieBaseErrorMm, r.counts && !r.meets ? "  FAILS" : "");
        out << text << '\n';
    }
}

std::ofstream createCsv(const std::string& path) {
    std::ofstream csv(path, std::ios::trunc);
    if (!csv) throw std::runtime_error(fileError("Cannot create file", path));
    return csv;
}

void writeCsv(const VerifyResult& result, std::ofstream& csv, const std::string& path) {
    csv << CsvHeader << '\n';
    for (const VerifyRow& r : result.rows) csv << csvLine(r) << '\n';
    csv.close();
    if (!csv) throw std::runtime_error(fileError("Cannot write to file", path));
}

std::string failures(const VerifyResult& result) {
    std::string text;
    int listed = 0, more = 0;
    for (const VerifyRow& r : result.rows) {
        if (!r.counts || r.meets) continue;
        if (listed == 5) {
            ++more;
            continue;
        }
        char row[120];
        if (r.weighed < r.passages)
            std::snprintf(row, sizeof row, "%s at %g km/h weighed %d of %d", r.kind.c_str(),
                          r.speedKmh, r.weighed, r.passages);
        else
            std::snprintf(row, sizeof row, "%s at %g km/h off by %.2f %%", r.kind.c_str(),
                          r.speedKmh, r.largestErrorPercent);
        text += (listed++ ? ", " : "") + std::string(row);
    }
    if (more) text += " and " + std::to_string(more) + " more";
    return text;
}

// Passages without their zero fail the run for the zero, not for the weighing.
std::string zeroFailure(const VerifyResult& result, const VerifyOptions& o) {
    if (result.zeroMisses.passages == 0) return {};
    return zeroMissText(result.zeroMisses, result.passages, o.noiseKg) +
           (failures(result).empty() ? "" : "; ");
}

// With which noise the settings' `Zst` still lets the zero be set.
void printZeroNoise(const VerifyResult& result, const Settings& s, std::ostream& out) {
    if (result.zeroMisses.passages > 0) out << "zero: " << zeroNoiseText(s, zeroNoiseLimit(s)) << '\n';
}

std::string summary(const VerifyResult& result, const VerifyOptions& o, const WeighingCheck& check,
                    double seconds) {
    char head[160];
    std::snprintf(head, sizeof head, "verify: %s class %s (%zu rows, %ld passages, %.1f s)",
                  result.passes ? "PASS" : "FAIL", classText(o.accuracyClass).c_str(),
                  result.rows.size(), result.passages, seconds);
    std::string text = head;
    if (result.passes) return text;
    text += ": " + zeroFailure(result, o) + failures(result);
    for (const CheckLine& line : check.lines)
        if (line.level == CheckLine::Level::Fail) text += "; " + line.text;
    return text;
}

}  // namespace

int runVerifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
    CommandOptions o(args,
                     {"--ini", "--zero", "--coef", "--speeds", "--runs", "--class", "--seed",
                      "--noise", "--bounce", "--csv"},
                     {"--all-kinds"});
    if (!o.has("--ini")) throw UsageError("give the settings file with --ini");
    VerifyOptions options = verifyOptionsFrom(o);
    ToolSettings tool = loadToolSettings(settingsRequest(o));
    // A scale the simulator cannot model is said before a line is printed.
    if (std::string problem = checkScaleSettings(tool.settings); !problem.empty())
        throw std::runtime_error(problem);
    std::ofstream csv;
    if (o.has("--csv")) csv = createCsv(o.text("--csv"));  // before a line is printed
    const auto start = std::chrono::steady_clock::now();
    WeighingCheck check = checkWeighing(tool.settings, options.kinds);
    for (const CheckLine& line : check.lines) out << "check: " << line.text << '\n';
    VerifyResult result = runVerification(tool.settings, options);
    printTable(result, out);
    printZeroNoise(result, tool.settings, out);
    if (o.has("--csv")) writeCsv(result, csv, o.text("--csv"));
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out << summary(result, options, check, seconds)
        << (tool.calibrationDamaged ? DamagedCalibrationNote : "") << '\n';
    return result.passes ? 0 : 1;
}

}  // namespace zv

#include "cli/verify_command.h"

#include <chrono>
#include <cstdio>
#include <fstream>

#include "cli/calibration_options.h"
#include "cli/command_options.h"
#include "commissioning/weighing_check.h"
#include "commissioning/zero_noise.h"
#include "replay/file_error.h"
#include "engine/axle_load_method.h"
#include "simulator/scale_model.h"
#include "verify/accuracy_class.h"
#include "verify/verification.h"

namespace zv {

namespace {

// --ideal: today's clean signal, which no other signal option may contradict.
void idealSignal(const CommandOptions& o, VerifyOptions& v) {
    if (!o.has("--ideal")) return;
    for (const char* name : {"--noise", "--bounce", "--body", "--body-hz"})
        if (o.has(name)) throw UsageError(std::string("option ") + name + " cannot go with --ideal");
    v.noiseKg = v.bounceShare = v.bodyShare = 0;
}

// --method 0, 1 or both; without it the method of the settings file.
std::vector<int> methodsFrom(const CommandOptions& o, const Settings& s) {
    if (!o.has("--method")) return {weighsByAxleLoads(s) ? 1 : 0};
    const std::string m = o.text("--method");
    if (m == "0" || m == "1") return {m == "1" ? 1 : 0};
    if (m == "both") return {0, 1};
    throw UsageError("option --method wants 0, 1 or both, not '" + m + "'");
}

Settings withMethod(Settings s, int method) {
    s.WeighMethod = method;
    return s;
}

const char* methodName(int method) {
    return method == 1 ? "1 (axle loads)" : "0 (bogie windows)";
}

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
    v.bodyShare = o.number("--body", v.bodyShare, 0, 0.5);
    v.bodyHz = o.number("--body-hz", v.bodyHz, 0.5, 5);
    v.allKinds = o.has("--all-kinds");
    idealSignal(o, v);
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

// The two methods' rows side by side: the same kinds at the same speeds.
void printSideBySide(const VerifyResult& a, const VerifyResult& b, std::ostream& out) {
    out << "                        method 0 (bogie windows)          method 1 (axle loads)\n"
           "kind              km/h  weighed in class   max %  class  weighed in class   max %  class\n";
    const auto cell = [](const VerifyRow& r) {
        char text[80];
        const double runs = std::max(r.passages, 1);
        std::snprintf(text, sizeof text, "%6.0f%% %7.0f%% %7.3f  %-5s%s", 100.0 * r.weighed / runs,
                      100.0 * r.withinClass / runs, r.largestErrorPercent,
                      r.classMet ? classText(r.classMet).c_str() : "-", r.counts && !r.meets ? "!" : " ");
        return std::string(text);
    };
    for (size_t i = 0; i < a.rows.size() && i < b.rows.size(); ++i) {
        char head[40];
        std::snprintf(head, sizeof head, "%-16s %5g ", a.rows[i].kind.c_str(), a.rows[i].speedKmh);
        out << head << cell(a.rows[i]) << cell(b.rows[i]) << '\n';
    }
    out << "(in class: passages weighed within the class's limit; ! fails where it decides)\n";
}

// With both methods the settings' own decides the verdict.
int decidingMethod(const CommandOptions& o, const Settings& s) {
    const std::vector<int> methods = methodsFrom(o, s);
    return methods.size() == 1 ? methods.front() : (weighsByAxleLoads(s) ? 1 : 0);
}

// Runs the methods asked for on the settings whose method decides; says which signal was
// simulated and, for one method, which; for both, prints them side by side. Returns the
// deciding method's result.
VerifyResult verifyByMethods(const CommandOptions& o, const Settings& deciding, const VerifyOptions& options,
                             std::ostream& out) {
    out << "signal: " << signalText(options) << '\n';
    const std::vector<int> methods = methodsFrom(o, deciding);
    if (methods.size() == 1) {
        out << "method: " << methodName(deciding.WeighMethod) << '\n';
        return runVerification(deciding, options);
    }
    const VerifyResult defined = runVerification(withMethod(deciding, 0), options);
    const VerifyResult byAxles = runVerification(withMethod(deciding, 1), options);
    printSideBySide(defined, byAxles, out);
    out << "method " << methodName(deciding.WeighMethod) << ", as the settings file weighs:\n";
    return weighsByAxleLoads(deciding) ? byAxles : defined;
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
                      "--noise", "--bounce", "--body", "--body-hz", "--method", "--csv"},
                     {"--all-kinds", "--ideal"});
    if (!o.has("--ini")) throw UsageError("give the settings file with --ini");
    VerifyOptions options = verifyOptionsFrom(o);
    ToolSettings tool = loadToolSettings(settingsRequest(o));
    // A scale the simulator cannot model is said before a line is printed.
    if (std::string problem = checkScaleSettings(tool.settings); !problem.empty())
        throw std::runtime_error(problem);
    std::ofstream csv;
    if (o.has("--csv")) csv = createCsv(o.text("--csv"));  // before a line is printed
    const auto start = std::chrono::steady_clock::now();
    const Settings chosen = withMethod(tool.settings, decidingMethod(o, tool.settings));
    WeighingCheck check = checkWeighing(chosen, options.kinds);
    for (const CheckLine& line : check.lines) out << "check: " << line.text << '\n';
    VerifyResult result = verifyByMethods(o, chosen, options, out);
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

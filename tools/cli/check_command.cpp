#include "cli/check_command.h"

#include <cstdio>

#include "cli/calibration_options.h"
#include "cli/command_options.h"
#include "commissioning/weighing_check.h"
#include "commissioning/zero_noise.h"

namespace zv {

namespace {

const char* levelText(CheckLine::Level level) {
    switch (level) {
        case CheckLine::Level::Ok:
            return "ok";
        case CheckLine::Level::Fail:
            return "FAIL";
        case CheckLine::Level::Note:
            break;
    }
    return "note";
}

void printVerdict(const Settings& s, const WeighingCheck& c, std::ostream& out) {
    for (const CheckLine& line : c.lines) out << levelText(line.level) << ": " << line.text << '\n';
    for (const KindVerdict& k : c.kinds) {
        char text[160];
        if (!k.countingHolds)
            std::snprintf(text, sizeof text, "%-10s axles miscounted on platform %d",
                          k.kind.id.c_str(), k.failingPlatform);
        else
            std::snprintf(text, sizeof text, "%-10s weighed up to %.1f km/h%s", k.kind.id.c_str(),
                          k.limitKmh, k.weighsAtVmax ? "" : " (below Vmax)");
        out << text << '\n';
    }
    out << "tflt " << s.tflt << ": settling needs at least " << c.settlingTflt
        << ", wagons at Vmax " << s.Vmax << " km/h allow at most " << c.largestTflt
        << ", recommended " << c.recommendedTflt << '\n';
}

// How much noise the power-up zero stands: beyond it weights carry the platforms' dead load.
void printZeroNoise(const Settings& s, std::ostream& out) {
    out << "note: " << zeroNoiseText(s, zeroNoiseLimit(s)) << '\n';
}

// The recommended settling delays for two equal platforms of the usual lengths.
void printTable(Settings s, std::ostream& out) {
    out << "| Платформы, мм | Fadc, Гц | tflt не меньше | tflt не больше | Рекомендуется | "
           "Замечание |\n"
        << "|---|---|---|---|---|---|\n";
    for (int length : {4000, 5000, 6000, 8000})
        for (int rate : {50, 100, 200}) {
            s.Lp1 = s.Lp2 = length;
            s.Fadc = rate;
            WeighingCheck c = checkWeighing(s);
            std::string remark;
            for (const KindVerdict& k : c.kinds)
                if (!k.countingHolds)
                    remark += (remark.empty() ? "" : ", ") + k.kind.name + ": счёт осей";
            const bool possible = c.largestTflt >= c.settlingTflt;
            out << "| " << (s.Npl == 1 ? "2 × " : "") << length << " | " << rate << " | "
                << c.settlingTflt << " | " << c.largestTflt << " | "
                << (possible ? std::to_string(c.recommendedTflt) : "нет") << " | " << remark
                << " |\n";
        }
    out << "\nVmax = " << s.Vmax << " км/ч, Fflt = Fflt_ = " << s.Fflt << " Гц, Lp3 = " << s.Lp3
        << " мм\n";
}

}  // namespace

int runCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
    CommandOptions o(args, {"--ini", "--zero", "--coef"}, {"--table"});
    ToolSettings tool = loadToolSettings(settingsRequest(o));
    if (o.has("--table")) {
        printTable(tool.settings, out);
        return 0;
    }
    WeighingCheck c = checkWeighing(tool.settings);
    printVerdict(tool.settings, c, out);
    printZeroNoise(tool.settings, out);
    return c.passes ? 0 : 1;
}

}  // namespace zv

#include "commissioning/weighing_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "commissioning/bogie_windows.h"
#include "commissioning/filter_settling.h"
#include "engine/axle_load_method.h"

namespace zv {

namespace {

// An axle's edge is confirmed a little after the axle crosses the platform's end, and the
// next edge arms a little after its own crossing; the window loses the difference. Measured
// through the engine on simulated trains: about 1.45 periods of the edge filter's cut-off.
double edgeOverheadSamples(const Settings& s) {
    return 1.45 * std::max(s.Fadc, 1) / std::max(s.Fflt_, 1);
}

double mmPerSample(const Settings& s, double kmh) {
    return kmh / 3.6 * 1000 / std::max(s.Fadc, 1);
}

// Highest speed, in tenths of km/h rounded down, at which the window gives enough samples.
double speedLimitKmh(const Settings& s, double travelMm, int minSamples) {
    if (travelMm <= 0) return 0;
    double samples = s.tflt + edgeOverheadSamples(s) + minSamples;
    double kmh = travelMm / samples * std::max(s.Fadc, 1) * 3.6 / 1000;
    return std::floor(kmh * 10 + 1e-9) / 10;
}

// Largest tflt whose window still gives enough samples at Vmax.
int tfltCap(const Settings& s, double travelMm, int minSamples) {
    if (travelMm <= 0) return 0;
    double room = travelMm / mmPerSample(s, s.Vmax) - edgeOverheadSamples(s) - minSamples;
    return std::clamp(static_cast<int>(std::floor(room)), 0, 100);
}

// The travel in which the final weight is formed: one platform's window, or with two the
// second longest of the three windows (a single measured weight is a doubtful weighing).
double weighingTravel(const Settings& s, const VehicleWindows& w) {
    if (!w.countingHolds[0] || !w.countingHolds[1]) return 0;
    if (s.Npl == 0) return w.bogieTravel[0];
    std::array<double, 3> t{w.bogieTravel[0], w.bogieTravel[1], w.bothTravel};
    std::sort(t.begin(), t.end());
    return t[1];
}

bool isWagon(const VehicleKindSpec& k) {
    return !k.locomotive && (k.dims.axles == 4 || k.dims.axles == 6);
}
bool peakWeighed(const VehicleKindSpec& k) {
    return k.dims.axles == 8;
}
// A locomotive is recognised by a weight well above any wagon's, which one sample gives.
int minSamples(const VehicleKindSpec& k) {
    return k.locomotive ? 1 : kMinWindowSamples;
}

std::string kmhText(double kmh) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", kmh);
    std::string s = text;
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

// The name of a kind at the start of a line: its first letter (Cyrillic, two bytes in
// UTF-8) in capitals.
std::string sentence(const std::string& name) {
    std::string s = name;
    if (s.size() < 2) return s;
    unsigned char lead = s[0], next = s[1];
    unsigned code = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
    if (code >= 0x430 && code <= 0x44F)
        code -= 0x20;  // а..я
    else if (code >= 0x450 && code <= 0x45F)
        code -= 0x50;  // ѐ..џ, ё among them
    else
        return s;
    s[0] = static_cast<char>(0xC0 | (code >> 6));
    s[1] = static_cast<char>(0x80 | (code & 0x3F));
    return s;
}

std::string mm(double v) {
    return std::to_string(static_cast<long>(std::lround(v))) + " мм";
}

struct KindResult {
    KindVerdict verdict;
    double travel = 0;
};

KindResult judgeKind(const Settings& s, const VehicleKindSpec& kind) {
    KindResult r;
    r.verdict.kind = kind;
    double travel = -1;
    for (int direction : {+1, -1}) {
        VehicleWindows w = vehicleWindows(s, kind.dims, direction);
        for (int p = 0; p < 2; ++p)
            if (!w.countingHolds[p]) {
                r.verdict.countingHolds = false;
                r.verdict.failingPlatform = (direction > 0) == (p == 0) ? 1 : 2;
            }
        if (s.Npl == 1 && w.bothTravel <= 0) r.verdict.bothPlatformWeight = false;
        double t = weighingTravel(s, w);
        travel = travel < 0 ? t : std::min(travel, t);
    }
    r.travel = travel;
    if (!r.verdict.countingHolds)
        r.verdict.limitKmh = 0;
    else if (peakWeighed(kind))
        r.verdict.limitKmh = s.Vmax;
    else
        r.verdict.limitKmh = speedLimitKmh(s, travel, minSamples(kind));
    r.verdict.weighsAtVmax = r.verdict.countingHolds && r.verdict.limitKmh >= s.Vmax;
    return r;
}

// Samples a stretch between two crossings must span for the weighing by axle loads: the
// samples left out around both crossings (after an arrival a little more) and those the
// weight must be worth.
double axleLoadSamples(const Settings& s) {
    return 2 * axleLoadGuard(s) + axleLandingSamples(s) + kAxleLoadMinSamples;
}

// The weighing by axle loads needs no bogie window: each border to a neighbour must be
// crossed by a stretch in which only one of its two axles stands on a platform.
void judgeByAxleLoads(const Settings& s, KindResult& r) {
    double travel = -1;
    for (int direction : {+1, -1}) {
        const VehicleWindows w = vehicleWindows(s, r.verdict.kind.dims, direction);
        const double t = std::min(w.borderTravel[0], w.borderTravel[1]);
        travel = travel < 0 ? t : std::min(travel, t);
    }
    r.travel = travel;
    r.verdict.limitKmh = 0;
    if (r.verdict.countingHolds && travel > 0) {
        const double kmh = travel / axleLoadSamples(s) * std::max(s.Fadc, 1) * 3.6 / 1000;
        r.verdict.limitKmh = std::floor(kmh * 10 + 1e-9) / 10;
    }
    r.verdict.weighsAtVmax = r.verdict.countingHolds && r.verdict.limitKmh >= s.Vmax;
}

void add(WeighingCheck& c, CheckLine::Level level, std::string text) {
    c.lines.push_back({level, std::move(text)});
}

void countingLines(WeighingCheck& c, const Settings& s) {
    for (const KindVerdict& k : c.kinds) {
        if (k.countingHolds) continue;
        int length = k.failingPlatform == 1 ? s.Lp1 : s.Lp2;
        add(c, CheckLine::Level::Fail,
            sentence(k.kind.name) + ": на платформе " + std::to_string(k.failingPlatform) + " (" +
                mm(length) + ") оси считаются неверно, следующие вагоны группируются со сдвигом;" +
                " нужно " + mm(bogieSpan(k.kind.dims)) + " < длина платформы < " +
                mm(k.kind.dims.wagonBase));
    }
}

void speedLines(WeighingCheck& c, const Settings& s) {
    double lowest = -1;
    for (const KindVerdict& k : c.kinds)
        if (isWagon(k.kind) && k.countingHolds && !k.weighsAtVmax)
            lowest = lowest < 0 ? k.limitKmh : std::min(lowest, k.limitKmh);
    if (lowest >= 0) {
        std::string text = "При tflt = " + std::to_string(s.tflt) +
                           " вагоны не взвешиваются выше " + kmhText(lowest) + " км/ч.";
        if (c.largestTflt >= c.settlingTflt)
            text += " Рекомендуется tflt = " + std::to_string(c.recommendedTflt);
        else
            text += " Никакой tflt не даёт взвешивания при Vmax = " + std::to_string(s.Vmax) +
                    " км/ч: нужна более длинная платформа или меньшая Vmax";
        add(c, CheckLine::Level::Fail, text);
        for (const KindVerdict& k : c.kinds)
            if (isWagon(k.kind) && k.countingHolds && !k.weighsAtVmax)
                add(c, CheckLine::Level::Fail,
                    sentence(k.kind.name) + ": не взвешивается выше " + kmhText(k.limitKmh) +
                        " км/ч");
    }
    for (const KindVerdict& k : c.kinds)
        if (k.kind.locomotive && k.countingHolds && !k.weighsAtVmax)
            add(c, CheckLine::Level::Fail,
                sentence(k.kind.name) + " не распознаётся выше " + kmhText(k.limitKmh) + " км/ч");
}

void settlingLine(WeighingCheck& c, const Settings& s) {
    if (s.tflt >= c.settlingTflt) return;
    add(c, CheckLine::Level::Fail,
        "tflt = " + std::to_string(s.tflt) + " короче установления фильтра (" +
            std::to_string(c.settlingTflt) + " периодов при Fflt = " + std::to_string(s.Fflt) +
            " Гц, Fadc = " + std::to_string(s.Fadc) +
            " Гц): веса искажены. Рекомендуется tflt = " + std::to_string(c.recommendedTflt));
}

void noteLines(WeighingCheck& c, const Settings& s) {
    for (const KindVerdict& k : c.kinds)
        if (peakWeighed(k.kind) && k.countingHolds)
            add(c, CheckLine::Level::Note, "восьмиосные вагоны — по максимуму, без окна");
    for (const KindVerdict& k : c.kinds) {
        if (k.bothPlatformWeight || !k.countingHolds) continue;
        double span = bogieSpan(k.kind.dims);
        add(c, CheckLine::Level::Note,
            "вес на обеих платформах не образуется: " + k.kind.name + " (база " +
                mm(k.kind.dims.wagonBase) + ", нужна от " + mm(s.Lp3 + span) + " до " +
                mm(s.Lp3 + s.Lp1 + s.Lp2 - span) + ")");
    }
}

void recommend(WeighingCheck& c, const std::vector<KindResult>& results, const Settings& s) {
    int wagons = 100, locomotives = 100;
    for (const KindResult& r : results) {
        if (!r.verdict.countingHolds) continue;  // no tflt helps; said on a line of its own
        if (isWagon(r.verdict.kind))
            wagons = std::min(wagons, tfltCap(s, r.travel, minSamples(r.verdict.kind)));
        if (r.verdict.kind.locomotive)
            locomotives = std::min(locomotives, tfltCap(s, r.travel, minSamples(r.verdict.kind)));
    }
    c.largestTflt = wagons;
    // A little beyond the settling, as long as wagons and, if possible, locomotives still weigh.
    int rec = c.settlingTflt + 3;
    if (locomotives >= c.settlingTflt) rec = std::min(rec, locomotives);
    rec = wagons >= c.settlingTflt ? std::min(rec, wagons) : c.settlingTflt;
    c.recommendedTflt = std::clamp(rec, 1, 100);
}

void axleLoadLines(WeighingCheck& c, const Settings& s, const std::vector<KindResult>& results) {
    const double samples = axleLoadSamples(s);
    add(c, CheckLine::Level::Note,
        "по нагрузкам осей: ось у границы с соседним вагоном должна стоять на платформе без "
        "его соседней оси не меньше " + std::to_string(static_cast<int>(samples)) +
            " отсчётов, при Vmax = " + std::to_string(s.Vmax) + " км/ч это " +
            mm(samples * mmPerSample(s, s.Vmax)));
    for (const KindResult& r : results) {
        const KindVerdict& k = r.verdict;
        if (!k.countingHolds || k.weighsAtVmax) continue;
        add(c, CheckLine::Level::Fail,
            sentence(k.kind.name) + (k.kind.locomotive ? " не распознаётся" : ": не взвешивается") +
                " по нагрузкам осей выше " + kmhText(k.limitKmh) + " км/ч (без соседа " +
                mm(r.travel) + ")");
    }
}

}  // namespace

double windowSamples(const Settings& s, double travelMm, double kmh) {
    return travelMm / mmPerSample(s, kmh) - s.tflt - edgeOverheadSamples(s);
}

WeighingCheck checkWeighing(const Settings& s, const std::vector<VehicleKindSpec>& kinds) {
    WeighingCheck c;
    c.settlingTflt = std::clamp(filterSettlingSamples(s.Fadc, s.Fflt, kSettlingTolerance), 1, 100);
    std::vector<KindResult> results;
    for (const VehicleKindSpec& kind : kinds) results.push_back(judgeKind(s, kind));
    recommend(c, results, s);
    const bool byAxles = weighsByAxleLoads(s);
    if (byAxles)
        for (KindResult& r : results) judgeByAxleLoads(s, r);
    for (const KindResult& r : results) c.kinds.push_back(r.verdict);

    if (!byAxles) settlingLine(c, s);
    countingLines(c, s);
    if (byAxles)
        axleLoadLines(c, s, results);
    else
        speedLines(c, s);
    c.passes = std::none_of(c.lines.begin(), c.lines.end(),
                            [](const CheckLine& l) { return l.level == CheckLine::Level::Fail; });
    if (c.passes && byAxles)
        c.lines.insert(c.lines.begin(),
                       {CheckLine::Level::Ok, "Все вагоны и локомотивы взвешиваются по нагрузкам осей до Vmax = " +
                                                  std::to_string(s.Vmax) + " км/ч"});
    else if (c.passes)
        c.lines.insert(
            c.lines.begin(),
            {CheckLine::Level::Ok, "Все вагоны взвешиваются до Vmax = " + std::to_string(s.Vmax) +
                                       " км/ч; подходит tflt от " + std::to_string(c.settlingTflt) +
                                       " до " + std::to_string(c.largestTflt)});
    if (!byAxles) noteLines(c, s);
    return c;
}

}  // namespace zv

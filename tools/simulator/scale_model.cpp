#include "simulator/scale_model.h"

namespace zv {

namespace {

int inputsFromNadc(int nadc) {
    return nadc == 0 ? 1 : nadc == 1 ? 2 : 4;
}

}  // namespace

std::string checkScaleSettings(const Settings& s) {
    if (s.Npl != 0 && s.Npl != 1) return "Npl must be 0 or 1";
    if (s.Nadc < 0 || s.Nadc > 2) return "Nadc must be 0, 1 or 2";
    if (s.Lp1 <= 0 || s.Lp2 <= 0 || s.Lp3 < 0) return "platform lengths must be positive";
    if (s.b1 <= 0 || s.b2 <= 0) return "b1 and b2 must be positive";
    if (s.Fadc <= 0) return "Fadc must be positive";
    for (int p = 0; p <= s.Npl; ++p)
        for (int i = 0; i < 4; ++i)
            if (s.ak[4 * p + i] <= 0) return "every coefficient of a platform must be positive";
    return {};
}

ScaleModel::ScaleModel(const Settings& s) : platforms_(s.Npl + 1), inputs_(inputsFromNadc(s.Nadc)) {
    start_ = {0.0, static_cast<double>(s.Lp1) + s.Lp3};
    length_ = {static_cast<double>(s.Lp1), static_cast<double>(s.Lp2)};
    railGauge_ = {static_cast<double>(s.b1), static_cast<double>(s.b2)};
}

double ScaleModel::length() const {
    return platforms_ == 1 ? length_[0] : start_[1] + length_[1];
}

bool ScaleModel::slotUsed(int slot) const {
    int p = slot / 4, i = slot % 4;
    if (p >= platforms_) return false;
    if (inputs_ == 1) return i == 0;
    if (inputs_ == 2) return i == 0 || i == 2;
    return true;
}

int ScaleModel::platformAt(double x) const {
    for (int p = 0; p < platforms_; ++p)
        if (x >= start_[p] && x < start_[p] + length_[p]) return p;
    return -1;
}

void ScaleModel::addLoad(double x, double load, double transverseOffset,
                         std::array<double, 8>& slotLoads) const {
    int p = platformAt(x);
    if (p < 0) return;
    // Lever rule: the end of slot 4p carries (L - x) / L, the far end x / L.
    double far = (x - start_[p]) / length_[p];
    double near = 1 - far;
    int base = 4 * p;
    if (inputs_ == 1) {
        slotLoads[base] += load;
    } else if (inputs_ == 2) {
        slotLoads[base] += load * near;
        slotLoads[base + 2] += load * far;
    } else {
        // Inputs 1 and 3 of a platform stand under one rail, 2 and 4 under the other.
        double railA = 0.5 + transverseOffset / railGauge_[p];
        double railB = 1 - railA;
        slotLoads[base] += load * near * railA;
        slotLoads[base + 1] += load * near * railB;
        slotLoads[base + 2] += load * far * railA;
        slotLoads[base + 3] += load * far * railB;
    }
}

}  // namespace zv

#include "verify/accuracy_class.h"

namespace zv {

double inServiceLimitPercent(double accuracyClass) {
    return accuracyClass;
}

std::optional<double> classMet(double largestErrorPercent) {
    for (double c : kAccuracyClasses)
        if (largestErrorPercent <= inServiceLimitPercent(c)) return c;
    return std::nullopt;
}

std::string classText(std::optional<double> accuracyClass) {
    if (!accuracyClass) return {};
    for (const char* text : {"0.2", "0.5", "1", "2"})
        if (std::stod(text) == *accuracyClass) return text;
    return {};
}

std::optional<double> parseClass(const std::string& text) {
    for (double c : kAccuracyClasses)
        if (classText(c) == text) return c;
    return std::nullopt;
}

}  // namespace zv

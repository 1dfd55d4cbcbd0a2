#pragma once

#include <optional>
#include <string>

namespace zv {

// The accuracy classes of weighing wagons in motion, best first: 0.2, 0.5, 1 and 2.
// In service a weight may be off by twice the error allowed at initial verification,
// which makes the class's own figure the limit in per cent of the wagon's mass.
inline constexpr double kAccuracyClasses[] = {0.2, 0.5, 1.0, 2.0};

// The in-service limit of a class, in per cent of the true mass.
double inServiceLimitPercent(double accuracyClass);
// The best class whose limit covers the error, or none.
std::optional<double> classMet(double largestErrorPercent);
// "0.2", "0.5", "1", "2"; empty for none.
std::string classText(std::optional<double> accuracyClass);
// The class named by an option value, or none when it is not one of the four.
std::optional<double> parseClass(const std::string& text);

}  // namespace zv

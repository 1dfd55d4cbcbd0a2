#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// A mistake on the command line: the tool prints it with the usage and exits with 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The "--name value" pairs of one command, and its "--name" switches that take no value,
// each name at most once.
class CommandOptions {
  public:
    // Throws UsageError for a name outside known and switches, a missing value or a
    // repeated name.
    CommandOptions(const std::vector<std::string>& args,
                   std::initializer_list<std::string_view> known,
                   std::initializer_list<std::string_view> switches = {});

    bool has(std::string_view name) const { return values_.count(std::string(name)) != 0; }
    std::string text(std::string_view name) const;
    // The option's number, which must lie within min..max; fallback when absent.
    double number(std::string_view name, double fallback, double min, double max) const;
    // A whole number within min..max (the option must be given).
    int32_t integer(std::string_view name, int32_t min, int32_t max) const;
    // Up to maxCount numbers separated by commas, each within min..max.
    std::vector<double> numbers(std::string_view name, double min, double max,
                                size_t maxCount = 2) const;
    // Exactly eight integers separated by commas.
    std::array<int32_t, 8> eightIntegers(std::string_view name) const;

  private:
    std::map<std::string, std::string> values_;
};

}  // namespace zv

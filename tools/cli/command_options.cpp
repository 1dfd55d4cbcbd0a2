#include "cli/command_options.h"

#include <algorithm>
#include <charconv>

namespace zv {

namespace {

template <typename T>
bool parse(std::string_view text, T& value) {
    if (text.starts_with('+')) text.remove_prefix(1);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::vector<std::string_view> splitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) return parts;
        start = comma + 1;
    }
}

std::string describe(double value) {
    std::string s = std::to_string(value);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.ends_with('.')) s.pop_back();
    return s;
}

}  // namespace

CommandOptions::CommandOptions(const std::vector<std::string>& args,
                               std::initializer_list<std::string_view> known,
                               std::initializer_list<std::string_view> switches) {
    auto listed = [](std::initializer_list<std::string_view> names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        const bool isSwitch = listed(switches, name);
        if (!isSwitch && !listed(known, name)) throw UsageError("unknown option '" + name + "'");
        if (!isSwitch && i + 1 >= args.size())
            throw UsageError("option " + name + " needs a value");
        if (!values_.emplace(name, isSwitch ? std::string() : args[++i]).second)
            throw UsageError("option " + name + " is given twice");
    }
}

std::string CommandOptions::text(std::string_view name) const {
    auto it = values_.find(std::string(name));
    return it == values_.end() ? std::string() : it->second;
}

std::vector<double> CommandOptions::numbers(std::string_view name, double min, double max,
                                            size_t maxCount) const {
    std::vector<double> result;
    const std::string value = text(name);
    for (std::string_view part : splitCommas(value)) {
        double number = 0;
        if (!parse(part, number) || number < min || number > max)
            throw UsageError("option " + std::string(name) + " wants numbers within " +
                             describe(min) + ".." + describe(max) + ", not '" + text(name) + "'");
        result.push_back(number);
    }
    if (result.size() > maxCount)
        throw UsageError("option " + std::string(name) + " takes " +
                         (maxCount == 2 ? "one or two" : "at most " + std::to_string(maxCount)) +
                         " numbers");
    return result;
}

double CommandOptions::number(std::string_view name, double fallback, double min,
                              double max) const {
    if (!has(name)) return fallback;
    std::vector<double> values = numbers(name, min, max);
    if (values.size() != 1) throw UsageError("option " + std::string(name) + " takes one number");
    return values[0];
}

int32_t CommandOptions::integer(std::string_view name, int32_t min, int32_t max) const {
    int32_t value = 0;
    if (!parse(text(name), value) || value < min || value > max)
        throw UsageError("option " + std::string(name) + " wants a whole number within " +
                         std::to_string(min) + ".." + std::to_string(max) + ", not '" + text(name) +
                         "'");
    return value;
}

std::array<int32_t, 8> CommandOptions::eightIntegers(std::string_view name) const {
    const std::string value = text(name);
    std::vector<std::string_view> parts = splitCommas(value);
    std::array<int32_t, 8> values{};
    bool good = parts.size() == values.size();
    for (size_t i = 0; good && i < parts.size(); ++i) good = parse(parts[i], values[i]);
    if (!good)
        throw UsageError("option " + std::string(name) +
                         " wants eight integers separated by commas, not '" + text(name) + "'");
    return values;
}

}  // namespace zv

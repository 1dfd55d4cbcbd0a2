#include "wagon_numbers/control_digit.h"

namespace zv {

namespace {

bool allDigits(std::string_view text) {
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::optional<int> wagonControlDigit(std::string_view firstSeven) {
    if (firstSeven.size() != 7 || !allDigits(firstSeven)) return std::nullopt;
    int sum = 0;
    for (std::size_t i = 0; i < firstSeven.size(); ++i) {
        const int product = (firstSeven[i] - '0') * (i % 2 == 0 ? 2 : 1);
        sum += product / 10 + product % 10;
    }
    return (10 - sum % 10) % 10;
}

ControlDigitCheck checkControlDigit(std::string_view number) {
    if (number.size() != 8) return ControlDigitCheck::NotChecked;
    const std::optional<int> control = wagonControlDigit(number.substr(0, 7));
    if (!control || number[7] < '0' || number[7] > '9') return ControlDigitCheck::NotChecked;
    return number[7] - '0' == *control ? ControlDigitCheck::Matches : ControlDigitCheck::Mismatch;
}

}  // namespace zv

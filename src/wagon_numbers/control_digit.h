#pragma once

#include <optional>
#include <string_view>

namespace zv {

// The railway's control digit of an eight-digit wagon number: the digits 1 to 7 are
// multiplied by 2, 1, 2, 1, 2, 1, 2, the digits of the products are added up, and the
// eighth digit brings that sum up to a multiple of ten.

// The control digit of the seven digits given; none when they are not seven digits.
std::optional<int> wagonControlDigit(std::string_view firstSeven);

// Numbers of other lengths (or with other characters) carry no control digit to check.
enum class ControlDigitCheck { NotChecked, Matches, Mismatch };
ControlDigitCheck checkControlDigit(std::string_view number);

}  // namespace zv

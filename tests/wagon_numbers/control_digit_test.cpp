#include "wagon_numbers/control_digit.h"

#include <gtest/gtest.h>

namespace {

using zv::ControlDigitCheck;

TEST(ControlDigit, IsWorkedOutFromTheFirstSevenDigits) {
    // 5 2 3 4 5 6 7 by 2 1 2 1 2 1 2: 10 2 6 4 10 6 14, digits 1+2+6+4+1+6+5 = 25 -> 5.
    EXPECT_EQ(zv::wagonControlDigit("5234567"), 5);
    EXPECT_EQ(zv::wagonControlDigit("0000000"), 0);  // a sum of 0 needs nothing more
    // 9 9 9 9 9 9 9: 18 9 18 9 18 9 18, digits 9 each -> 63 -> 7.
    EXPECT_EQ(zv::wagonControlDigit("9999999"), 7);
    EXPECT_EQ(zv::wagonControlDigit("523456"), std::nullopt);
    EXPECT_EQ(zv::wagonControlDigit("52345a7"), std::nullopt);
}

TEST(ControlDigit, OnlyEightDigitsAreChecked) {
    const struct {
        const char* number;
        ControlDigitCheck expected;
    } cases[] = {
        {"52345675", ControlDigitCheck::Matches},
        {"52345678", ControlDigitCheck::Mismatch},
        // Two neighbouring digits swapped: the weights differ, the control digit catches it.
        {"25345675", ControlDigitCheck::Mismatch},
        {"99999997", ControlDigitCheck::Matches},
        {"5234567", ControlDigitCheck::NotChecked},
        {"523456750", ControlDigitCheck::NotChecked},
        {"", ControlDigitCheck::NotChecked},
        {"N", ControlDigitCheck::NotChecked},
        {"5234567x", ControlDigitCheck::NotChecked},
    };
    for (const auto& c : cases) EXPECT_EQ(zv::checkControlDigit(c.number), c.expected) << c.number;
}

}  // namespace

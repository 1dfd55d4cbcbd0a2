#include "settings/windows1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace zv {
namespace {

// glibc's own converter, as an independent reference for the table.
std::string iconvToUtf8(char byte) {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1251");
    char in[1] = {byte};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    return rc == static_cast<size_t>(-1) ? std::string() : std::string(out, outPtr);
}

TEST(Windows1251, EveryByteMatchesIconvAndSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1251ToUtf8(byte);
        if (b != 0x98) {  // unassigned in the code page
            EXPECT_EQ(utf8, iconvToUtf8(byte[0])) << "byte " << b;
        }
        EXPECT_EQ(utf8ToCp1251(utf8), byte) << "byte " << b;
    }
}

TEST(Windows1251, CyrillicTextRoundTrips) {
    const std::string user = "Пользователь программы ZOLVELT, ёЁ №1 «ж/д»";
    const std::string bytes = utf8ToCp1251(user);
    EXPECT_EQ(bytes.substr(0, 4), "\xCF\xEE\xEB\xFC");  // "Поль"
    EXPECT_EQ(cp1251ToUtf8(bytes), user);
}

TEST(Windows1251, WhatTheCodePageLacksBecomesAQuestionMark) {
    EXPECT_EQ(utf8ToCp1251("a中b😀c"), "a?b?c");
    EXPECT_EQ(utf8ToCp1251("x\xD0"), "x?");           // cut short
    EXPECT_EQ(utf8ToCp1251("\xC0\xAFz\xFF"), "?z?");  // an overlong "/", a stray byte
}

}  // namespace
}  // namespace zv

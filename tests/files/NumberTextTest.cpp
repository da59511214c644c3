#include "NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

std::uint32_t Bits(float f) {
    return std::bit_cast<std::uint32_t>(f);
}

float StrtodNarrowed(const std::string& text) {
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

// Runs a check under a locale whose decimal separator is a comma, when the machine has one.
class CommaLocale {
public:
    CommaLocale() {
        m_previous = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
            if (std::setlocale(LC_ALL, name) != nullptr) {
                m_active = true;
                break;
            }
    }
    ~CommaLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    bool Active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

} // namespace

TEST(NumberTextFormat, FollowsPrintfGeneralFormWithSixDigits) {
    EXPECT_EQ(NumberText::FormatG(1.0f), "1");
    EXPECT_EQ(NumberText::FormatG(-2.5f), "-2.5");
    EXPECT_EQ(NumberText::FormatG(-0.0f), "-0");
    EXPECT_EQ(NumberText::FormatG(0.1f), "0.1");
    EXPECT_EQ(NumberText::FormatG(123456.7f), "123457");
    EXPECT_EQ(NumberText::FormatG(1000000.0f), "1e+06");
    EXPECT_EQ(NumberText::FormatG(0.0001f), "0.0001");
    EXPECT_EQ(NumberText::FormatG(0.00001f), "1e-05");
    EXPECT_EQ(NumberText::FormatG(3.4028235e38f), "3.40282e+38");
    EXPECT_EQ(NumberText::FormatG(INFINITY), "inf");
    EXPECT_EQ(NumberText::FormatG(-INFINITY), "-inf");
    EXPECT_EQ(NumberText::FormatG(std::nanf("")), "nan");
}

TEST(NumberTextFormat, AgreesWithCLocalePrintfOnRandomFloats) {
    std::mt19937 random(12345);
    for (int i = 0; i < 200000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        char expected[64];
        std::snprintf(expected, sizeof expected, "%g", static_cast<double>(value));
        ASSERT_EQ(NumberText::FormatG(value), expected) << "bits " << Bits(value);
    }
}

TEST(NumberTextParse, ReadsWhatStrtodReads) {
    for (const char* text : {"1",
                             "-2.5",
                             "+1.5",
                             "  7",
                             "\t8",
                             ".5",
                             "5.",
                             "1e+006",
                             "1e+06",
                             "1E6",
                             "1e",
                             "1e+",
                             "1.5abc",
                             "0x1p3",
                             "0X10",
                             "0x",
                             "inf",
                             "-INF",
                             "infinity",
                             "1e-400",
                             "3.5e38",
                             "1.00000000000000000000001",
                             "123456789012345678901234567890",
                             "0.000000000000001",
                             "4.9406564584124654e-324",
                             "2.2250738585072014e-308",
                             "1e22",
                             "1e23",
                             "9007199254740993",
                             "0.1",
                             "-0.0000",
                             "00000000000000000000000000001.5"}) {
        const auto parsed = NumberText::ParseFloat(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(Bits(*parsed), Bits(StrtodNarrowed(text))) << text;
    }
    EXPECT_TRUE(std::signbit(*NumberText::ParseFloat("-0")));
    EXPECT_TRUE(std::isnan(*NumberText::ParseFloat("nan")));
    EXPECT_TRUE(std::isnan(*NumberText::ParseFloat("-nan(123)")));
}

TEST(NumberTextParse, RejectsTextWithoutANumberAndValuesBeyondDouble) {
    for (const char* text : {"", "abc", "-", "+", ".", "e5", "  ", "x1", ",1", "1e999", "-1e999"})
        EXPECT_FALSE(NumberText::ParseFloat(text).has_value()) << text;
}

TEST(NumberTextParse, StopsAtTheEndOfTheViewNotTheEndOfTheString) {
    const std::string text = "12345";
    EXPECT_EQ(*NumberText::ParseFloat(std::string_view(text).substr(0, 2)), 12.0f);
    const std::string nanWithPayload = "nan(1)";
    EXPECT_TRUE(std::isnan(*NumberText::ParseFloat(std::string_view(nanWithPayload).substr(0, 5))));
}

TEST(NumberTextParse, MatchesStrtodBitForBitOnRandomDecimals) {
    std::mt19937_64 random(987);
    std::uniform_int_distribution<int> digitCount(1, 20), exponent(-60, 60), pointAt(0, 20);
    for (int i = 0; i < 200000; ++i) {
        std::string text = (random() & 1) ? "-" : "";
        const int digits = digitCount(random);
        const int point = pointAt(random);
        for (int d = 0; d < digits; ++d) {
            if (d == point)
                text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        if (random() & 1)
            text += "e" + std::to_string(exponent(random));
        const auto parsed = NumberText::ParseFloat(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        ASSERT_EQ(Bits(*parsed), Bits(StrtodNarrowed(text))) << text;
    }
}

TEST(NumberTextParse, RoundTripsEveryFormattedFloatToSixDigits) {
    std::mt19937 random(5);
    for (int i = 0; i < 100000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value))
            continue;
        const std::string text = NumberText::FormatG(value);
        ASSERT_EQ(Bits(*NumberText::ParseFloat(text)), Bits(StrtodNarrowed(text))) << text;
    }
}

TEST(NumberTextLocale, IgnoresACommaDecimalLocale) {
    CommaLocale locale;
    if (!locale.Active())
        GTEST_SKIP() << "no German or French locale on this machine";
    char printed[16];
    std::snprintf(printed, sizeof printed, "%g", 1.5);
    ASSERT_STREQ(printed, "1,5") << "the locale should use a decimal comma";
    EXPECT_EQ(NumberText::FormatG(1.5f), "1.5");
    EXPECT_EQ(*NumberText::ParseFloat("1.5"), 1.5f);
    EXPECT_EQ(*NumberText::ParseFloat("1.5e3"), 1500.0f);
    EXPECT_EQ(*NumberText::ParseFloat("0x1.8p1"), 3.0f);
    EXPECT_EQ(*NumberText::ParseFloat("1,5"), 1.0f);
}

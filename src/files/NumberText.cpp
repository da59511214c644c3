#include "NumberText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <vector>

namespace {

locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exact powers of ten: every one up to 1e22 is representable in a double.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain decimal numbers whose digits fit in 53 bits and whose power of ten is exact are read with one
// correctly rounded multiplication or division, which gives exactly what strtod gives. Everything else
// (white space, hexadecimal, inf, nan, long mantissas, large exponents) is left to strtod.
bool ParseSimpleDecimal(const char* s, const char* end, double& value) {
    bool negative = false;
    if (s < end && (*s == '+' || *s == '-')) {
        negative = *s == '-';
        ++s;
    }
    std::uint64_t mantissa = 0;
    int significantDigits = 0;
    int exponent = 0;
    bool anyDigit = false;
    auto takeDigit = [&](char c, bool fraction) {
        anyDigit = true;
        if (mantissa == 0 && c == '0') {
            exponent -= fraction ? 1 : 0;
            return true;
        }
        if (++significantDigits > 19)
            return false;
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        exponent -= fraction ? 1 : 0;
        return true;
    };
    for (; s < end && IsDigit(*s); ++s)
        if (!takeDigit(*s, false))
            return false;
    if (s < end && *s == '.')
        for (++s; s < end && IsDigit(*s); ++s)
            if (!takeDigit(*s, true))
                return false;
    if (!anyDigit)
        return false;
    if (s < end && (*s == 'x' || *s == 'X'))
        return false;
    if (s < end && (*s == 'e' || *s == 'E')) {
        const char* e = s + 1;
        bool negativeExponent = false;
        if (e < end && (*e == '+' || *e == '-')) {
            negativeExponent = *e == '-';
            ++e;
        }
        if (e < end && IsDigit(*e)) {
            int written = 0;
            for (; e < end && IsDigit(*e); ++e) {
                written = written * 10 + (*e - '0');
                if (written > 400)
                    return false;
            }
            exponent += negativeExponent ? -written : written;
        }
    }
    if (mantissa == 0) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    if (mantissa > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22)
        return false;
    const double digits = static_cast<double>(mantissa);
    value = exponent >= 0 ? digits * kPowersOfTen[exponent] : digits / kPowersOfTen[-exponent];
    if (negative)
        value = -value;
    return true;
}

std::optional<float> ParseWithStrtod(std::string_view text) {
    char small[64];
    std::vector<char> large;
    char* copy = small;
    if (text.size() >= sizeof small) {
        large.resize(text.size() + 1);
        copy = large.data();
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    char* end = nullptr;
    errno = 0;
    const double value = strtod_l(copy, &end, ClassicLocale());
    if (end == copy)
        return std::nullopt;
    if (errno == ERANGE && std::isinf(value))
        return std::nullopt;
    return static_cast<float>(value);
}

} // namespace

void NumberText::AppendG(std::string& out, float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::general, 6);
    out.append(buffer, result.ptr);
}

std::string NumberText::FormatG(float value) {
    std::string text;
    AppendG(text, value);
    return text;
}

std::string NumberText::FormatG(float value, int digits) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

std::optional<float> NumberText::ParseFloat(std::string_view text) {
    double value = 0.0;
    if (ParseSimpleDecimal(text.data(), text.data() + text.size(), value))
        return static_cast<float>(value);
    return ParseWithStrtod(text);
}

double NumberText::StrtodClassic(const char* text, char** end) {
    return strtod_l(text, end, ClassicLocale());
}

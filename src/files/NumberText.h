// Numbers in the text files, independent of the process locale: Qt switches the C library to the
// user's locale at start-up, yet a file written or read under a German locale must still say "1.5".
#pragma once

#include <optional>
#include <string>
#include <string_view>

class NumberText {
public:
    // Appends the float as printf "%g" writes it in the C locale: 6 significant digits, "-0",
    // exponents of at least two digits, "inf" and "nan".
    static void AppendG(std::string& out, float value);
    static std::string FormatG(float value);
    // printf "%.<digits>g" in the C locale, for tools that show every bit of a float (9 digits do).
    static std::string FormatG(float value, int digits);

    // Reads the longest number at the start of the text as strtod does in the C locale (leading white
    // space, sign, decimal and hexadecimal forms, exponents, "inf", "nan"), narrowed to float. Text
    // that holds no number, and numbers beyond the range of a double, give nothing; values too small
    // for a double read as strtod rounds them.
    static std::optional<float> ParseFloat(std::string_view text);

    // The bare C-locale strtod of a NUL-terminated string, without the checks above; for comparing
    // the cost of reading files against the cost of the numbers alone.
    static double StrtodClassic(const char* text, char** end);
};

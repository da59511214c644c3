#include "XFileTextLexer.h"

#include "XFileError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool IsSpace(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool IsPunctuation(char c) {
    switch (c) {
    case '{':
    case '}':
    case '[':
    case ']':
    case '<':
    case '>':
    case '"':
    case ',':
    case ';':
    case '(':
    case ')':
        return true;
    default:
        return false;
    }
}

bool IsNameChar(char c) {
    return !IsSpace(c) && !IsPunctuation(c);
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlnum(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool InRange(unsigned char c, unsigned lo, unsigned hi) {
    return c >= lo && c <= hi;
}

// How many bytes the character at `p` takes. Names may be UTF-8 or, from Japanese tools, Shift-JIS,
// whose second bytes include '{', '}', '[' and ']' ("ボ" is 83 7B): a valid UTF-8 sequence is taken
// whole, else a Shift-JIS lead byte takes its trail byte along, else the byte stands alone.
std::size_t CharLength(const char* p, const char* end) {
    const auto c = static_cast<unsigned char>(*p);
    if (c < 0x80)
        return 1;
    const std::size_t utf8 = InRange(c, 0xC2, 0xDF)   ? 2
                             : InRange(c, 0xE0, 0xEF) ? 3
                             : InRange(c, 0xF0, 0xF4) ? 4
                                                      : 0;
    if (utf8 != 0 && static_cast<std::size_t>(end - p) >= utf8 && std::all_of(p + 1, p + utf8, [](char b) {
            return InRange(static_cast<unsigned char>(b), 0x80, 0xBF);
        }))
        return utf8;
    const bool shiftJisLead = InRange(c, 0x81, 0x9F) || InRange(c, 0xE0, 0xFC);
    if (shiftJisLead && end - p >= 2) {
        const auto trail = static_cast<unsigned char>(p[1]);
        if (InRange(trail, 0x40, 0x7E) || InRange(trail, 0x80, 0xFC))
            return 2;
    }
    return 1;
}

// Windows C runtimes print NaN and infinity as "1.#QNAN0", "1.#IND00", "-1.#INF00": the number stops
// at "1." and the rest is a '#' word. Returns where that word ends, or `p` when there is none.
const char* SkipMsvcSpecialSuffix(const char* p, const char* end) {
    if (p < end && *p == '.' && p + 1 < end && p[1] == '#')
        ++p;
    if (p >= end || *p != '#')
        return p;
    while (p < end && (IsAlnum(*p) || *p == '#'))
        ++p;
    return p;
}

constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// Exporters write floats as "-12.345600": such a number whose digits, without trailing zeros, make at
// most 2^24 and which has at most ten decimals is read here, as the quotient of two floats that are
// both exact, which IEEE division rounds correctly, so the value is the one from_chars would give.
// Returns the end of the number, or null for anything else (exponents, "1.#QNAN0", long mantissas),
// which the general reader takes.
const char* ReadPlainFloat(const char* p, const char* end, float& value) {
    const bool negative = p < end && *p == '-';
    if (negative)
        ++p;
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = 0;
    const char* first = p;
    for (; p < end && IsDigit(*p) && count < 19; ++p, ++count)
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    if (p == first)
        return nullptr;
    if (p < end && *p == '.') {
        for (++p; p < end && IsDigit(*p) && count < 19; ++p, ++count, ++decimals)
            digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    if (p < end && (IsNameChar(*p) || *p == '.'))
        return nullptr; // an exponent, a special value, too many digits, or a malformed number
    while (decimals > 0 && digits % 10 == 0) {
        digits /= 10;
        --decimals;
    }
    if (digits > (std::uint64_t{1} << 24) || decimals > 10)
        return nullptr;
    value = static_cast<float>(digits) / kPowersOfTen[decimals];
    if (negative)
        value = -value;
    return p;
}

} // namespace

XFileTextLexer::XFileTextLexer(std::string_view text, std::size_t start, bool decompressed)
    : m_begin(text.data()), m_pos(text.data() + std::min(start, text.size())),
      m_end(text.data() + text.size()), m_counted(text.data()), m_decompressed(decompressed) {}

void XFileTextLexer::SkipLine() {
    const void* newline = std::memchr(m_pos, '\n', static_cast<std::size_t>(m_end - m_pos));
    m_pos = newline ? static_cast<const char*>(newline) + 1 : m_end;
}

void XFileTextLexer::SkipSpace(bool separatorsToo) {
    while (m_pos < m_end) {
        const char c = *m_pos;
        if (IsSpace(c) || (separatorsToo && (c == ',' || c == ';'))) {
            ++m_pos;
        } else if (c == '#' || (c == '/' && m_pos + 1 < m_end && m_pos[1] == '/')) {
            SkipLine();
        } else {
            return;
        }
    }
}

XFileTokenKind XFileTextLexer::Peek() {
    SkipSpace(true);
    return PeekRaw();
}

XFileTokenKind XFileTextLexer::PeekRaw() {
    SkipSpace(false);
    if (m_pos == m_end)
        return XFileTokenKind::End;
    switch (*m_pos) {
    case '{':
        return XFileTokenKind::OBrace;
    case '}':
        return XFileTokenKind::CBrace;
    case '[':
        return XFileTokenKind::OBracket;
    case ']':
        return XFileTokenKind::CBracket;
    case '<':
        return XFileTokenKind::Guid;
    case '"':
        return XFileTokenKind::String;
    case ',':
        return XFileTokenKind::Comma;
    case ';':
        return XFileTokenKind::Semicolon;
    case '(':
    case ')':
    case '>':
        return XFileTokenKind::Other;
    case '.':
        return m_pos + 1 < m_end && IsDigit(m_pos[1]) ? XFileTokenKind::Number : XFileTokenKind::Dot;
    case '-':
    case '+':
        return XFileTokenKind::Number;
    default:
        return IsDigit(*m_pos) ? XFileTokenKind::Number : XFileTokenKind::Name;
    }
}

void XFileTextLexer::Expect(XFileTokenKind kind) {
    const bool separator = kind == XFileTokenKind::Comma || kind == XFileTokenKind::Semicolon;
    const XFileTokenKind next = separator ? PeekRaw() : Peek();
    if (next != kind)
        Fail(std::string("expected ") + XFileTokenText(kind) + ", found " + DescribeNext());
    ++m_pos;
}

std::string_view XFileTextLexer::ReadName() {
    SkipSpace(true);
    const char* start = m_pos;
    while (m_pos < m_end && IsNameChar(*m_pos))
        m_pos += CharLength(m_pos, m_end);
    if (m_pos == start)
        Fail("expected a name, found " + DescribeNext());
    return {start, static_cast<std::size_t>(m_pos - start)};
}

std::string_view XFileTextLexer::ReadString() {
    SkipSpace(true);
    if (m_pos == m_end || *m_pos != '"')
        Fail("expected a string in quotes, found " + DescribeNext());
    const char* start = m_pos + 1;
    const void* close = std::memchr(start, '"', static_cast<std::size_t>(m_end - start));
    if (!close)
        Fail("a string runs to the end of the file");
    m_pos = static_cast<const char*>(close) + 1;
    return {start, static_cast<std::size_t>(static_cast<const char*>(close) - start)};
}

unsigned XFileTextLexer::HexDigits(int count) {
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = m_pos < m_end ? HexValue(*m_pos) : -1;
        if (digit < 0)
            Fail("malformed UUID: expected a hexadecimal digit, found " + DescribeNext());
        value = value * 16 + static_cast<unsigned>(digit);
        ++m_pos;
    }
    return value;
}

XFileGuid XFileTextLexer::ReadGuid() {
    if (Peek() != XFileTokenKind::Guid)
        Fail("expected a UUID in angle brackets, found " + DescribeNext());
    ++m_pos;
    SkipSpace(false);
    const auto dash = [this] {
        if (m_pos == m_end || *m_pos != '-')
            Fail("malformed UUID: expected '-', found " + DescribeNext());
        ++m_pos;
    };
    XFileGuid guid;
    guid.data1 = HexDigits(8);
    dash();
    guid.data2 = static_cast<std::uint16_t>(HexDigits(4));
    dash();
    guid.data3 = static_cast<std::uint16_t>(HexDigits(4));
    dash();
    for (std::size_t i = 0; i < guid.data4.size(); ++i) {
        if (i == 2)
            dash();
        guid.data4[i] = static_cast<std::uint8_t>(HexDigits(2));
    }
    SkipSpace(false);
    if (m_pos == m_end || *m_pos != '>')
        Fail("malformed UUID: expected '>', found " + DescribeNext());
    ++m_pos;
    return guid;
}

void XFileTextLexer::FailNumber(const char* start, const char* what) {
    m_pos = start;
    Fail(std::string(what) + ", found " + DescribeNext());
}

std::uint32_t XFileTextLexer::ReadInteger() {
    SkipSpace(true);
    const char* start = m_pos;
    const char* p = start;
    const bool negative = p < m_end && *p == '-';
    if (p < m_end && (*p == '-' || *p == '+'))
        ++p;
    const char* digits = p;
    std::uint64_t value = 0;
    while (p < m_end && IsDigit(*p) && p - digits < 11)
        value = value * 10 + static_cast<std::uint64_t>(*p++ - '0');
    if (p < m_end && (*p == '.' || *p == 'e' || *p == 'E' || *p == '#'))
        return IntegerFromFloatText(start);
    if (p == digits)
        FailNumber(start, "expected an integer");
    if (p < m_end && IsNameChar(*p))
        FailNumber(start, IsDigit(*p) ? "integer out of range" : "malformed integer");
    if (value > (negative ? std::uint64_t{1} << 31 : std::uint64_t{0xFFFFFFFF}))
        FailNumber(start, "integer out of range");
    m_pos = p;
    return negative ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(value))
                    : static_cast<std::uint32_t>(value);
}

// Some exporters write counts and indices as "24.000000"; a whole number in float form is accepted.
std::uint32_t XFileTextLexer::IntegerFromFloatText(const char* start) {
    const char* p = start < m_end && *start == '+' ? start + 1 : start;
    double value = 0.0;
    const auto [end, error] = std::from_chars(p, m_end, value);
    if (error != std::errc())
        FailNumber(start, "expected an integer");
    p = SkipMsvcSpecialSuffix(end, m_end);
    if (p != end)
        value = 0.0;
    if ((p < m_end && IsNameChar(*p)) || value != std::trunc(value) || value < -2147483648.0 ||
        value > 4294967295.0)
        FailNumber(start, "expected an integer");
    m_pos = p;
    return value < 0 ? static_cast<std::uint32_t>(static_cast<std::int64_t>(value))
                     : static_cast<std::uint32_t>(value);
}

float XFileTextLexer::ReadFloat() {
    SkipSpace(true);
    float plain = 0.0f;
    if (const char* end = ReadPlainFloat(m_pos, m_end, plain)) {
        m_pos = end;
        return plain;
    }
    const char* start = m_pos;
    const char* p = start < m_end && *start == '+' ? start + 1 : start;
    float value = 0.0f;
    const auto [end, error] = std::from_chars(p, m_end, value);
    if (error == std::errc::invalid_argument)
        FailNumber(start, "expected a number");
    if (error == std::errc::result_out_of_range)
        value = 0.0f;
    p = SkipMsvcSpecialSuffix(end, m_end);
    if (p != end)
        value = 0.0f;
    if (p < m_end && IsNameChar(*p))
        FailNumber(start, "malformed number");
    m_pos = p;
    return std::isfinite(value) ? value : 0.0f;
}

// Resizing, not reserving the exact size: called once per element of an array, an exact reserve would
// copy everything read so far at every element that is larger than the ones before.
void XFileTextLexer::AppendFloats(std::vector<float>& out, std::size_t count) {
    const std::size_t start = out.size();
    out.resize(start + count);
    for (std::size_t i = start; i < out.size(); ++i)
        out[i] = ReadFloat();
}

void XFileTextLexer::AppendIntegers(std::vector<std::uint32_t>& out, std::size_t count) {
    const std::size_t start = out.size();
    out.resize(start + count);
    for (std::size_t i = start; i < out.size(); ++i)
        out[i] = ReadInteger();
}

void XFileTextLexer::SkipObjectBody() {
    std::size_t depth = 1;
    while (m_pos < m_end) {
        const char c = *m_pos;
        if (c == '"') {
            const void* close = std::memchr(m_pos + 1, '"', static_cast<std::size_t>(m_end - m_pos - 1));
            if (!close)
                Fail("a string runs to the end of the file");
            m_pos = static_cast<const char*>(close) + 1;
        } else if (c == '#' || (c == '/' && m_pos + 1 < m_end && m_pos[1] == '/')) {
            SkipLine();
        } else {
            m_pos += CharLength(m_pos, m_end);
            if (c == '{')
                ++depth;
            else if (c == '}' && --depth == 0)
                return;
        }
    }
    Fail("the file ends inside an object");
}

XFileLocation XFileTextLexer::Location() {
    if (m_pos < m_counted) {
        m_counted = m_begin;
        m_line = 1;
    }
    m_line += static_cast<std::size_t>(std::count(m_counted, m_pos, '\n'));
    m_counted = m_pos;
    return {XFileLocation::Kind::Line, m_line, m_decompressed};
}

void XFileTextLexer::Fail(const std::string& what) {
    throw XFileError(Location().Describe() + ": " + what);
}

std::string XFileTextLexer::DescribeNext() {
    SkipSpace(false);
    if (m_pos == m_end)
        return "the end of the file";
    const char* end = m_pos + 1;
    if (IsNameChar(*m_pos))
        while (end < m_end && IsNameChar(*end) && end - m_pos < 24)
            ++end;
    std::string text(m_pos, end);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) > '~')
            c = '?';
    return "'" + text + "'";
}

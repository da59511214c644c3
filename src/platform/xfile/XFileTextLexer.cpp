#include "XFileTextLexer.h"

#include "XFileError.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Character classes, looked up in one table: the lexer runs them over nearly every byte of a file.
enum CharClass : unsigned char {
    kSpace = 1,       // any control character or ' '
    kSeparator = 2,   // ',' and ';'
    kPunctuation = 4, // what ends a name: brackets, quotes and the separators
};

constexpr std::array<unsigned char, 256> MakeCharClasses() {
    std::array<unsigned char, 256> classes{};
    for (unsigned c = 0; c <= ' '; ++c)
        classes[c] = kSpace;
    for (const char c : std::string_view("{}[]<>\"(),;"))
        classes[static_cast<unsigned char>(c)] = kPunctuation;
    classes[','] |= kSeparator;
    classes[';'] |= kSeparator;
    return classes;
}

constexpr std::array<unsigned char, 256> kCharClasses = MakeCharClasses();

unsigned char ClassOf(char c) {
    return kCharClasses[static_cast<unsigned char>(c)];
}
bool IsNameChar(char c) {
    return (ClassOf(c) & (kSpace | kPunctuation)) == 0;
}
bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
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

// Where a run of digits from `p` ends.
const char* SkipDigits(const char* p, const char* end) {
    while (p < end && IsDigit(*p))
        ++p;
    return p;
}

// Exporters write floats as "-12.345600": such a number whose digits, without trailing zeros, make at
// most 2^24 and which has at most ten decimals is read here, as the quotient of two floats that are
// both exact, which IEEE division rounds correctly, so the value is the one from_chars would give.
// Returns the end of the number, or null for anything else (exponents, "1.#QNAN0", long mantissas),
// which the general reader takes. The trailing zeros are found in the text first, so that the digits
// that count are gathered once and never overflow.
const char* ReadPlainFloat(const char* p, const char* end, float& value) {
    const bool negative = p < end && *p == '-';
    const char* const whole = negative ? p + 1 : p;
    const char* const point = SkipDigits(whole, end);
    if (point == whole)
        return nullptr;
    const bool hasPoint = point < end && *point == '.';
    const char* const stop = hasPoint ? SkipDigits(point + 1, end) : point;
    if (stop < end && IsNameChar(*stop))
        return nullptr; // an exponent, a special value, or a malformed number
    const char* significant = stop;
    while (hasPoint && significant > point + 1 && significant[-1] == '0')
        --significant;
    const std::ptrdiff_t decimals = hasPoint ? significant - (point + 1) : 0;
    if (decimals > 10 || (point - whole) + decimals > 19)
        return nullptr;
    std::uint64_t digits = 0;
    for (const char* d = whole; d < point; ++d)
        digits = digits * 10 + static_cast<std::uint64_t>(*d - '0');
    for (const char* d = point + 1; d < significant; ++d)
        digits = digits * 10 + static_cast<std::uint64_t>(*d - '0');
    if (digits > (std::uint64_t{1} << 24))
        return nullptr;
    value = static_cast<float>(digits) / kPowersOfTen[decimals];
    if (negative)
        value = -value;
    return stop;
}

} // namespace

XFileTextLexer::XFileTextLexer(std::string_view text, std::size_t start, bool decompressed,
                               std::shared_ptr<const void> owner)
    : m_begin(text.data()), m_pos(text.data() + std::min(start, text.size())),
      m_end(text.data() + text.size()), m_decompressed(decompressed), m_owner(std::move(owner)) {}

void XFileTextLexer::SkipLine() {
    const void* newline = std::memchr(m_pos, '\n', static_cast<std::size_t>(m_end - m_pos));
    m_pos = newline ? static_cast<const char*>(newline) + 1 : m_end;
}

void XFileTextLexer::SkipSpace(bool separatorsToo) {
    const unsigned char skipped = separatorsToo ? kSpace | kSeparator : kSpace;
    const char* p = m_pos; // a local, which the compiler keeps in a register through the loop
    for (;;) {
        while (p < m_end && (ClassOf(*p) & skipped) != 0)
            ++p;
        const bool comment = p < m_end && (*p == '#' || (*p == '/' && p + 1 < m_end && p[1] == '/'));
        m_pos = p;
        if (!comment)
            return;
        SkipLine();
        p = m_pos;
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
    // Nearly every integer in a file is a count or an index: at most nine digits, so it cannot overflow,
    // ended by a separator or white space. Anything else takes the full reader.
    const char* p = m_pos;
    const char* const last = m_end - p > 9 ? p + 9 : m_end;
    std::uint32_t value = 0;
    for (; p < last && IsDigit(*p); ++p)
        value = value * 10 + static_cast<std::uint32_t>(*p - '0');
    if (p == m_pos || (p < m_end && IsNameChar(*p)))
        return ReadFullInteger();
    m_pos = p;
    return value;
}

std::uint32_t XFileTextLexer::ReadFullInteger() {
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

XFileLocation XFileTextLexer::Location() const {
    return {XFileLocation::Kind::Line, static_cast<std::size_t>(m_pos - m_begin), m_decompressed, m_begin,
            m_owner};
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

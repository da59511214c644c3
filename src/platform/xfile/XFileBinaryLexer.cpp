#include "XFileBinaryLexer.h"

#include "XFileError.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

enum Token : std::uint16_t {
    kPadding = 0, // the upper half of a string terminator written as a DWORD
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOBrace = 10,
    kCBrace = 11,
    kOParen = 12,
    kCParen = 13,
    kOBracket = 14,
    kCBracket = 15,
    kOAngle = 16,
    kCAngle = 17,
    kDot = 18,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
    kFirstType = 40, // WORD
    kArray = 52,
};

// The words of the keyword tokens 40 (WORD) to 52 (array).
constexpr const char* kTypeWords[] = {"WORD",   "DWORD", "FLOAT", "DOUBLE",  "CHAR",    "UCHAR", "SWORD",
                                      "SDWORD", "void",  "LPSTR", "UNICODE", "CSTRING", "array"};

const char* KeywordWord(std::uint16_t token) {
    if (token == kTemplate)
        return "template";
    if (token >= kFirstType && token <= kArray)
        return kTypeWords[token - kFirstType];
    return nullptr;
}

XFileTokenKind Classify(std::uint16_t token) {
    switch (token) {
    case kName:
        return XFileTokenKind::Name;
    case kString:
        return XFileTokenKind::String;
    case kInteger:
    case kIntegerList:
    case kFloatList:
        return XFileTokenKind::Number;
    case kGuid:
        return XFileTokenKind::Guid;
    case kOBrace:
        return XFileTokenKind::OBrace;
    case kCBrace:
        return XFileTokenKind::CBrace;
    case kOBracket:
        return XFileTokenKind::OBracket;
    case kCBracket:
        return XFileTokenKind::CBracket;
    case kComma:
        return XFileTokenKind::Comma;
    case kSemicolon:
        return XFileTokenKind::Semicolon;
    case kDot:
        return XFileTokenKind::Dot;
    case kOParen:
    case kCParen:
    case kOAngle:
    case kCAngle:
        return XFileTokenKind::Other;
    default:
        return KeywordWord(token) ? XFileTokenKind::Name : XFileTokenKind::End;
    }
}

float Finite(double value) {
    const auto narrowed = static_cast<float>(value);
    return std::isfinite(narrowed) ? narrowed : 0.0f;
}

} // namespace

XFileBinaryLexer::XFileBinaryLexer(std::span<const std::uint8_t> data, std::size_t baseOffset, bool doubles,
                                   bool decompressed)
    : m_begin(data.data()), m_pos(data.data()), m_end(data.data() + data.size()), m_baseOffset(baseOffset),
      m_floatSize(doubles ? 8 : 4), m_decompressed(decompressed) {}

std::uint16_t XFileBinaryLexer::PeekToken() const {
    if (RemainingBytes() < 2)
        Fail("the file ends inside a token");
    return static_cast<std::uint16_t>(m_pos[0] | m_pos[1] << 8);
}

std::uint32_t XFileBinaryLexer::ReadU32() {
    if (RemainingBytes() < 4)
        Fail("the file ends inside a token's record");
    const std::uint32_t value =
        static_cast<std::uint32_t>(m_pos[0]) | static_cast<std::uint32_t>(m_pos[1]) << 8 |
        static_cast<std::uint32_t>(m_pos[2]) << 16 | static_cast<std::uint32_t>(m_pos[3]) << 24;
    m_pos += 4;
    return value;
}

std::uint32_t XFileBinaryLexer::ReadCount(std::size_t bytesPerItem, const char* what) {
    const std::uint32_t count = ReadU32();
    if (count > RemainingBytes() / bytesPerItem) {
        m_pos -= 4;
        Fail(std::string(what) + " of " + std::to_string(count) + " items runs past the end of the file");
    }
    return count;
}

void XFileBinaryLexer::SkipSeparatorsAndEmptyLists() {
    while (m_listLeft == 0 && RemainingBytes() >= 2) {
        const std::uint16_t token = PeekToken();
        if (token == kComma || token == kSemicolon) {
            m_pos += 2;
        } else if ((token == kIntegerList || token == kFloatList) && RemainingBytes() >= 6 &&
                   (m_pos[2] | m_pos[3] | m_pos[4] | m_pos[5]) == 0) {
            m_pos += 6;
        } else {
            return;
        }
    }
}

XFileTokenKind XFileBinaryLexer::Peek() {
    SkipSeparatorsAndEmptyLists();
    return PeekRaw();
}

XFileTokenKind XFileBinaryLexer::PeekRaw() {
    if (m_listLeft > 0)
        return XFileTokenKind::Number;
    if (m_pos == m_end)
        return XFileTokenKind::End;
    const std::uint16_t token = PeekToken();
    const XFileTokenKind kind = Classify(token);
    if (kind == XFileTokenKind::End)
        Fail("unknown token " + std::to_string(token));
    return kind;
}

void XFileBinaryLexer::Expect(XFileTokenKind kind) {
    const bool separator = kind == XFileTokenKind::Comma || kind == XFileTokenKind::Semicolon;
    if ((separator ? PeekRaw() : Peek()) != kind)
        Fail(std::string("expected ") + XFileTokenText(kind) + ", found " + DescribeNext());
    m_pos += 2;
}

std::string_view XFileBinaryLexer::ReadName() {
    if (Peek() != XFileTokenKind::Name)
        Fail("expected a name, found " + DescribeNext());
    const std::uint16_t token = PeekToken();
    m_pos += 2;
    if (const char* word = KeywordWord(token))
        return word;
    const std::uint32_t length = ReadCount(1, "a name");
    const std::string_view name(reinterpret_cast<const char*>(m_pos), length);
    m_pos += length;
    return name;
}

std::string_view XFileBinaryLexer::ReadString() {
    if (Peek() != XFileTokenKind::String)
        Fail("expected a string, found " + DescribeNext());
    m_pos += 2;
    const std::uint32_t length = ReadCount(1, "a string");
    const std::string_view text(reinterpret_cast<const char*>(m_pos), length);
    m_pos += length;
    // The terminator is documented as a DWORD but written as a WORD token; take either.
    if (RemainingBytes() >= 2 && (PeekToken() == kComma || PeekToken() == kSemicolon)) {
        m_pos += 2;
        if (RemainingBytes() >= 2 && PeekToken() == kPadding)
            m_pos += 2;
    }
    return text;
}

XFileGuid XFileBinaryLexer::ReadGuid() {
    if (Peek() != XFileTokenKind::Guid)
        Fail("expected a UUID, found " + DescribeNext());
    m_pos += 2;
    if (RemainingBytes() < 16)
        Fail("the file ends inside a UUID");
    XFileGuid guid;
    guid.data1 = ReadU32();
    guid.data2 = static_cast<std::uint16_t>(m_pos[0] | m_pos[1] << 8);
    guid.data3 = static_cast<std::uint16_t>(m_pos[2] | m_pos[3] << 8);
    std::memcpy(guid.data4.data(), m_pos + 4, guid.data4.size());
    m_pos += 12;
    return guid;
}

void XFileBinaryLexer::StartList() {
    while (m_listLeft == 0) {
        SkipSeparatorsAndEmptyLists();
        if (m_pos == m_end)
            Fail("expected a number, found the end of the file");
        const std::uint16_t token = PeekToken();
        if (token != kIntegerList && token != kFloatList)
            Fail("expected a number, found " + DescribeNext());
        m_pos += 2;
        m_listIsFloat = token == kFloatList;
        m_listLeft =
            ReadCount(m_listIsFloat ? m_floatSize : 4, m_listIsFloat ? "a float list" : "an integer list");
    }
}

std::uint32_t XFileBinaryLexer::ReadInteger() {
    if (m_listLeft == 0) {
        SkipSeparatorsAndEmptyLists();
        if (RemainingBytes() >= 2 && PeekToken() == kInteger) {
            m_pos += 2;
            return ReadU32();
        }
        StartList();
    }
    if (m_listIsFloat)
        Fail("expected an integer, found a float list");
    --m_listLeft;
    return ReadU32();
}

float XFileBinaryLexer::NextListFloat() {
    --m_listLeft;
    if (!m_listIsFloat)
        return static_cast<float>(static_cast<std::int32_t>(ReadU32()));
    if (m_floatSize == 8) {
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | m_pos[i];
        m_pos += 8;
        return Finite(std::bit_cast<double>(bits));
    }
    return Finite(std::bit_cast<float>(ReadU32()));
}

float XFileBinaryLexer::ReadFloat() {
    if (m_listLeft == 0) {
        SkipSeparatorsAndEmptyLists();
        if (RemainingBytes() >= 2 && PeekToken() == kInteger) {
            m_pos += 2;
            return static_cast<float>(static_cast<std::int32_t>(ReadU32()));
        }
        StartList();
    }
    return NextListFloat();
}

void XFileBinaryLexer::AppendFloats(std::vector<float>& values, std::size_t count) {
    const std::size_t start = values.size();
    values.resize(start + count);
    float* out = values.data() + start;
    std::size_t done = 0;
    while (done < count) {
        const bool bulk =
            std::endian::native == std::endian::little && m_listLeft > 0 && m_listIsFloat && m_floatSize == 4;
        if (!bulk) {
            out[done++] = ReadFloat();
            continue;
        }
        const std::size_t take = std::min<std::size_t>(count - done, m_listLeft);
        std::memcpy(out + done, m_pos, take * 4);
        for (std::size_t i = done; i < done + take; ++i)
            if (!std::isfinite(out[i]))
                out[i] = 0.0f;
        m_pos += take * 4;
        m_listLeft -= static_cast<std::uint32_t>(take);
        done += take;
    }
}

void XFileBinaryLexer::AppendIntegers(std::vector<std::uint32_t>& values, std::size_t count) {
    const std::size_t start = values.size();
    values.resize(start + count);
    std::uint32_t* out = values.data() + start;
    std::size_t done = 0;
    while (done < count) {
        const bool bulk = std::endian::native == std::endian::little && m_listLeft > 0 && !m_listIsFloat;
        if (!bulk) {
            out[done++] = ReadInteger();
            continue;
        }
        const std::size_t take = std::min<std::size_t>(count - done, m_listLeft);
        std::memcpy(out + done, m_pos, take * 4);
        m_pos += take * 4;
        m_listLeft -= static_cast<std::uint32_t>(take);
        done += take;
    }
}

void XFileBinaryLexer::SkipRecord(std::uint16_t token) {
    switch (token) {
    case kName:
    case kString:
        m_pos += ReadCount(1, token == kName ? "a name" : "a string");
        break;
    case kInteger:
        ReadU32();
        break;
    case kGuid:
        if (RemainingBytes() < 16)
            Fail("the file ends inside a UUID");
        m_pos += 16;
        break;
    case kIntegerList:
        m_pos += std::size_t{4} * ReadCount(4, "an integer list");
        break;
    case kFloatList:
        m_pos += m_floatSize * ReadCount(m_floatSize, "a float list");
        break;
    default:
        if (token != kPadding && Classify(token) == XFileTokenKind::End) {
            m_pos -= 2;
            Fail("unknown token " + std::to_string(token));
        }
    }
}

void XFileBinaryLexer::SkipObjectBody() {
    m_listLeft = 0;
    std::size_t depth = 1;
    while (m_pos < m_end) {
        const std::uint16_t token = PeekToken();
        m_pos += 2;
        if (token == kOBrace)
            ++depth;
        else if (token == kCBrace && --depth == 0)
            return;
        else
            SkipRecord(token);
    }
    Fail("the file ends inside an object");
}

XFileLocation XFileBinaryLexer::Location() const {
    XFileLocation location;
    location.kind = XFileLocation::Kind::ByteOffset;
    location.value = m_baseOffset + static_cast<std::size_t>(m_pos - m_begin);
    location.decompressed = m_decompressed;
    return location;
}

void XFileBinaryLexer::Fail(const std::string& what) const {
    throw XFileError(Location().Describe() + ": " + what);
}

std::string XFileBinaryLexer::DescribeNext() {
    if (m_listLeft > 0)
        return "a number";
    if (m_pos == m_end)
        return "the end of the file";
    if (RemainingBytes() < 2)
        return "a truncated token";
    const std::uint16_t token = PeekToken();
    if (const char* word = KeywordWord(token))
        return std::string("'") + word + "'";
    const XFileTokenKind kind = Classify(token);
    if (kind == XFileTokenKind::End)
        return "unknown token " + std::to_string(token);
    return XFileTokenText(kind);
}

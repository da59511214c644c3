// Reads the text form of an X file for the parser: names, strings, numbers, UUIDs and punctuation.
// Commas and semicolons are separators that exporters write inconsistently (doubled, missing before
// "}", ints where floats belong), so data reading treats them as white space; template declarations,
// where a semicolon ends a member, ask for them with PeekRaw. Nothing is allocated per token: names and
// strings are views into the file.
#pragma once

#include "XFileGuid.h"
#include "XFileLocation.h"
#include "XFileTokenKind.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XFileTextLexer {
public:
    // A text value takes at least one character and is followed by at least one more (a separator,
    // white space or the "}" that must close its object).
    static constexpr std::size_t kMinBytesPerValue = 2;

    // `text` is the whole file so that lines count from its top; reading starts at `start`. The places
    // handed out (Location) point into `text`: it must outlive them, or `owner` must keep it alive.
    XFileTextLexer(std::string_view text, std::size_t start, bool decompressed = false,
                   std::shared_ptr<const void> owner = nullptr);

    // The next token, with separators skipped (Peek) or reported (PeekRaw).
    XFileTokenKind Peek();
    XFileTokenKind PeekRaw();

    // Consumes one punctuation token of the given kind or fails.
    void Expect(XFileTokenKind kind);
    // Reads a name: any run of characters up to white space or punctuation, digits first included
    // (object names such as "3DSMesh").
    std::string_view ReadName();
    std::string_view ReadString();
    XFileGuid ReadGuid();
    // A 32-bit integer; negative values keep their two's-complement pattern for SWORD and SDWORD.
    std::uint32_t ReadInteger();
    // A float; "1.#QNAN0", "-1.#INF", "nan", "inf" and values beyond float range read as 0.
    float ReadFloat();
    // Appends `count` floats; the caller has checked that the input can hold them.
    void AppendFloats(std::vector<float>& out, std::size_t count);
    void AppendIntegers(std::vector<std::uint32_t>& out, std::size_t count);
    // Skips the rest of an object whose "{" was just read, nested objects and all.
    void SkipObjectBody();

    std::size_t RemainingBytes() const { return static_cast<std::size_t>(m_end - m_pos); }
    XFileLocation Location() const;
    [[noreturn]] void Fail(const std::string& what);
    // The upcoming token, quoted for a message ("'}'", "the end of the file").
    std::string DescribeNext();

private:
    void SkipSpace(bool separatorsToo);
    void SkipLine();
    [[noreturn]] void FailNumber(const char* start, const char* what);
    // Signs, float forms such as "24.000000", and out-of-range or malformed integers, with their messages.
    std::uint32_t ReadFullInteger();
    std::uint32_t IntegerFromFloatText(const char* start);
    unsigned HexDigits(int count);

    const char* m_begin;
    const char* m_pos;
    const char* m_end;
    bool m_decompressed;
    std::shared_ptr<const void> m_owner;
};

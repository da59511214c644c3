// Reads the binary token stream of an X file for the parser, with the same calls as the text reader.
// Integer and float lists are served value by value across list boundaries, because writers merge the
// values of consecutive members into one list. Every record size is checked against the bytes left.
#pragma once

#include "XFileGuid.h"
#include "XFileLocation.h"
#include "XFileTokenKind.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class XFileBinaryLexer {
public:
    // Every value in a list takes at least four bytes.
    static constexpr std::size_t kMinBytesPerValue = 4;

    // `data` is the token stream; `baseOffset` is its offset in the file, for messages. Floats in
    // lists are 8 bytes wide when `doubles` (float size "0064") and are narrowed to float.
    XFileBinaryLexer(std::span<const std::uint8_t> data, std::size_t baseOffset, bool doubles,
                     bool decompressed = false);

    XFileTokenKind Peek();
    XFileTokenKind PeekRaw();
    void Expect(XFileTokenKind kind);
    // A name token, or the word of a keyword token ("template", "array", "DWORD", ...).
    std::string_view ReadName();
    std::string_view ReadString();
    XFileGuid ReadGuid();
    std::uint32_t ReadInteger();
    // Non-finite values read as 0, as in text files.
    float ReadFloat();
    // Appends `count` floats; the caller has checked that the input can hold them.
    void AppendFloats(std::vector<float>& out, std::size_t count);
    void AppendIntegers(std::vector<std::uint32_t>& out, std::size_t count);
    void SkipObjectBody();

    std::size_t RemainingBytes() const { return static_cast<std::size_t>(m_end - m_pos); }
    XFileLocation Location() const;
    [[noreturn]] void Fail(const std::string& what) const;
    std::string DescribeNext();

private:
    std::uint16_t PeekToken() const;
    std::uint32_t ReadU32();
    std::uint32_t ReadCount(std::size_t bytesPerItem, const char* what);
    void SkipSeparatorsAndEmptyLists();
    void StartList();
    float NextListFloat();
    void SkipRecord(std::uint16_t token);

    const std::uint8_t* m_begin;
    const std::uint8_t* m_pos;
    const std::uint8_t* m_end;
    std::size_t m_baseOffset;
    std::size_t m_floatSize;
    bool m_decompressed;
    // The list being served: values left and whether they are floats.
    std::uint32_t m_listLeft = 0;
    bool m_listIsFloat = false;
};

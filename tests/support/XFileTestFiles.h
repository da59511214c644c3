// Builders for X files in tests: the binary token stream written token by token, and MSZIP compression
// of a whole file, so that binary and compressed reading is tested on files we make ourselves.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class XFileBinaryWriter {
public:
    enum Token : std::uint16_t {
        kName = 1,
        kString = 2,
        kInteger = 3,
        kGuid = 5,
        kIntegerList = 6,
        kFloatList = 7,
        kOBrace = 10,
        kCBrace = 11,
        kOBracket = 14,
        kCBracket = 15,
        kDot = 18,
        kComma = 19,
        kSemicolon = 20,
        kTemplate = 31,
        kWord = 40,
        kDWord = 41,
        kFloat = 42,
        kArray = 52,
    };

    explicit XFileBinaryWriter(std::string_view header = "xof 0303bin 0032") { Raw(header); }

    XFileBinaryWriter& Tok(std::uint16_t token) {
        U16(token);
        return *this;
    }
    XFileBinaryWriter& Name(std::string_view name) {
        U16(kName);
        U32(static_cast<std::uint32_t>(name.size()));
        Raw(name);
        return *this;
    }
    // A string and its terminator, as a WORD token or (`dwordTerminator`) as the documented DWORD.
    XFileBinaryWriter& String(std::string_view text, bool dwordTerminator = false) {
        U16(kString);
        U32(static_cast<std::uint32_t>(text.size()));
        Raw(text);
        return dwordTerminator ? U32(kSemicolon) : U16(kSemicolon);
    }
    XFileBinaryWriter& Integer(std::uint32_t value) {
        U16(kInteger);
        return U32(value);
    }
    XFileBinaryWriter& Guid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3, std::uint64_t d4BigEndian) {
        U16(kGuid);
        U32(d1);
        U16(d2);
        U16(d3);
        for (int shift = 56; shift >= 0; shift -= 8)
            m_bytes.push_back(static_cast<std::uint8_t>(d4BigEndian >> shift));
        return *this;
    }
    XFileBinaryWriter& Integers(std::initializer_list<std::uint32_t> values) {
        U16(kIntegerList);
        U32(static_cast<std::uint32_t>(values.size()));
        for (std::uint32_t value : values)
            U32(value);
        return *this;
    }
    XFileBinaryWriter& Floats(std::initializer_list<double> values, bool doubles = false) {
        U16(kFloatList);
        U32(static_cast<std::uint32_t>(values.size()));
        for (double value : values) {
            if (doubles) {
                std::uint64_t bits;
                std::memcpy(&bits, &value, 8);
                U32(static_cast<std::uint32_t>(bits));
                U32(static_cast<std::uint32_t>(bits >> 32));
            } else {
                const float narrow = static_cast<float>(value);
                std::uint32_t bits;
                std::memcpy(&bits, &narrow, 4);
                U32(bits);
            }
        }
        return *this;
    }
    XFileBinaryWriter& Raw(std::string_view bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    XFileBinaryWriter& U16(std::uint16_t value) {
        m_bytes.push_back(static_cast<std::uint8_t>(value));
        m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        return *this;
    }
    XFileBinaryWriter& U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        return U16(static_cast<std::uint16_t>(value >> 16));
    }

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Compresses an X file ("txt " or "bin ") into its MSZIP form ("tzip" or "bzip"): blocks of at most
// `blockSize` bytes, each a complete raw deflate stream primed with the previous 32 KiB of input.
inline std::vector<std::uint8_t> XFileMszipCompress(std::span<const std::uint8_t> file,
                                                    std::size_t blockSize = 32768) {
    if (file.size() < 16)
        throw std::invalid_argument("an X file has a 16-byte header");
    std::vector<std::uint8_t> out(file.begin(), file.begin() + 16);
    std::memcpy(out.data() + 8, file[8] == 't' ? "tzip" : "bzip", 4);
    const auto put16 = [&](std::size_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    put16(file.size() & 0xFFFF);
    put16(file.size() >> 16);
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    for (std::size_t start = 16; start < file.size(); start += blockSize) {
        const std::size_t size = std::min(blockSize, file.size() - start);
        deflateReset(&stream);
        const std::size_t history = std::min<std::size_t>(start - 16, 32768);
        if (history > 0)
            deflateSetDictionary(&stream, file.data() + start - history, static_cast<uInt>(history));
        std::vector<std::uint8_t> packed(deflateBound(&stream, size) + 16);
        stream.next_in = const_cast<Bytef*>(file.data() + start);
        stream.avail_in = static_cast<uInt>(size);
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, Z_FINISH);
        const std::size_t packedSize = packed.size() - stream.avail_out;
        put16(size);
        put16(packedSize + 2);
        out.push_back('C');
        out.push_back('K');
        out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    }
    deflateEnd(&stream);
    return out;
}

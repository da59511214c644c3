#include "XFileMszip.h"

#include "XFileError.h"

#include <algorithm>
#include <string>
#include <zlib.h>

namespace {

constexpr std::size_t kWindow = 32768;

std::uint32_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | p[1] << 8);
}
std::uint32_t Le32(const std::uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}

[[noreturn]] void Fail(std::size_t bodyOffset, const std::string& what) {
    throw XFileError("byte offset " + std::to_string(bodyOffset + XFileMszip::kHeaderSize) + ": " + what);
}

class RawInflater {
public:
    RawInflater() {
        if (inflateInit2(&m_stream, -15) != Z_OK)
            throw XFileError("cannot start the inflater");
    }
    ~RawInflater() { inflateEnd(&m_stream); }
    RawInflater(const RawInflater&) = delete;
    RawInflater& operator=(const RawInflater&) = delete;

    // Inflates one whole deflate stream into exactly `outSize` bytes at the end of `out`.
    bool Block(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out, std::size_t outSize) {
        if (inflateReset(&m_stream) != Z_OK)
            return false;
        const std::size_t history = std::min(out.size(), kWindow);
        if (history > 0 && inflateSetDictionary(&m_stream, out.data() + out.size() - history,
                                                static_cast<uInt>(history)) != Z_OK)
            return false;
        const std::size_t start = out.size();
        out.resize(start + outSize);
        m_stream.next_in = const_cast<Bytef*>(in.data());
        m_stream.avail_in = static_cast<uInt>(in.size());
        m_stream.next_out = out.data() + start;
        m_stream.avail_out = static_cast<uInt>(outSize);
        const int result = inflate(&m_stream, Z_FINISH);
        return result == Z_STREAM_END && m_stream.avail_out == 0;
    }

private:
    z_stream m_stream{};
};

} // namespace

std::vector<std::uint8_t> XFileMszip::Inflate(std::span<const std::uint8_t> body) {
    if (body.size() < 4)
        Fail(0, "the compressed file ends before its inflated size");
    const std::uint32_t declared = Le32(body.data());
    std::vector<std::uint8_t> out;
    // The declared size is only a hint: a block inflates to at most 64 KiB, whatever the header says.
    out.reserve(std::min<std::size_t>(declared, body.size() * 8));
    RawInflater inflater;
    std::size_t pos = 4;
    while (pos < body.size()) {
        if (body.size() - pos < 6)
            Fail(pos, "the file ends inside a compressed block header");
        const std::uint32_t inflatedSize = Le16(&body[pos]);
        const std::uint32_t blockSize = Le16(&body[pos + 2]);
        if (blockSize < 2 || blockSize > body.size() - pos - 4)
            Fail(pos, "a compressed block of " + std::to_string(blockSize) +
                          " bytes runs past the end of the file");
        if (body[pos + 4] != 'C' || body[pos + 5] != 'K')
            Fail(pos, "a compressed block lacks its \"CK\" signature");
        if (!inflater.Block(body.subspan(pos + 6, blockSize - 2), out, inflatedSize))
            Fail(pos, "a compressed block does not inflate to its declared " + std::to_string(inflatedSize) +
                          " bytes");
        pos += 4 + blockSize;
    }
    // The size counts the 16-byte header; accept a writer that leaves it out, but nothing else.
    if (out.size() + kHeaderSize != declared && out.size() != declared)
        Fail(0, "the compressed file inflates to " + std::to_string(out.size() + kHeaderSize) +
                    " bytes, not the declared " + std::to_string(declared));
    return out;
}

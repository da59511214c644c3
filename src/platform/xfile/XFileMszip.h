// Inflates the body of an MSZIP-compressed X file ("tzip", "bzip"). After the 16-byte header comes the
// inflated size as a DWORD (header included), then blocks: a WORD inflated size, a WORD size of the rest
// of the block, the signature "CK" and raw deflate data. Each block may refer back into the output of
// the blocks before it, so each one starts with the last 32 KiB of output as its dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class XFileMszip {
public:
    static constexpr std::size_t kHeaderSize = 16;

    // `body` is the file after its header. Returns the inflated token stream or text; throws XFileError
    // naming the block's byte offset in the file when a size, the signature or the deflate data is bad.
    static std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> body);
};

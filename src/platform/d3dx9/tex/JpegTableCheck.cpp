#include "JpegTableCheck.h"

namespace {

constexpr BYTE kMarker = 0xFF;
constexpr BYTE kDefineHuffmanTables = 0xC4;
constexpr long kMaxCodes = 256;

BYTE ByteAt(std::span<const BYTE> bytes, std::size_t position) {
    return position < bytes.size() ? bytes[position] : 0;
}

// Markers that stand alone, without a length: fill, start and end of image, restarts.
bool StandsAlone(BYTE code) {
    return code == 0x00 || code == 0x01 || (code >= 0xD0 && code <= 0xD9);
}

} // namespace

bool JpegTableCheck::SegmentFits(std::span<const BYTE> bytes, std::size_t position, long length) {
    while (length > 0) {
        ++position; // table class and number
        long codes = 0;
        for (int i = 0; i < 16; ++i)
            codes += ByteAt(bytes, position++);
        if (codes > kMaxCodes)
            return false;
        position += static_cast<std::size_t>(codes);
        length -= 17 + codes;
    }
    return true;
}

bool JpegTableCheck::TablesFit(std::span<const BYTE> bytes) {
    // Walks every marker the way a decoder that resynchronises on stray bytes would find them, so
    // that no table stb_image might read goes unchecked; entropy-coded data is stepped over byte by
    // byte, its stuffed 0xFF 0x00 pairs standing alone.
    std::size_t position = 0;
    while (position + 1 < bytes.size()) {
        if (bytes[position] != kMarker) {
            ++position;
            continue;
        }
        while (position < bytes.size() && bytes[position] == kMarker)
            ++position;
        if (position >= bytes.size())
            break;
        const BYTE code = bytes[position++];
        if (StandsAlone(code))
            continue;
        const long length = (long{ByteAt(bytes, position)} << 8) | ByteAt(bytes, position + 1);
        if (code == kDefineHuffmanTables && !SegmentFits(bytes, position + 2, length - 2))
            return false;
        position += static_cast<std::size_t>(length);
    }
    return true;
}

// Looks over a JPEG file's Huffman tables before stb_image reads it. stb_image 2.27 writes past its
// tables when a table declares more than 256 codes; such files are refused here instead.
#pragma once

#include "Win32Types.h"

#include <span>

class JpegTableCheck {
public:
    // False when some Huffman table in the file declares more codes than a table can hold.
    static bool TablesFit(std::span<const BYTE> bytes);

private:
    // The DHT segment's tables from position, reading bytes past the end as zeros, as stb_image does.
    static bool SegmentFits(std::span<const BYTE> bytes, std::size_t position, long length);
};

// Reads JPEG files with libjpeg-turbo. It refuses what a hand-rolled decoder gets wrong on hostile
// files: quantisation tables a frame uses but never defines, oversized Huffman tables, markers in the
// wrong place. Huffman tables a scan uses but the file never defines get the standard tables, as
// Motion-JPEG streams expect. A file that ends early fails instead of coming out padded, and files
// with an absurd number of progressive scans are refused before they take minutes.
#pragma once

#include "ArgbImage.h"

#include <span>

class JpegDecoder {
public:
    struct Header {
        UINT width = 0;
        UINT height = 0;
        int components = 0; // 1 grey, 3 colour, 4 CMYK or YCCK
    };

    // The frame header; false when the bytes are no JPEG the library can start on.
    static bool ReadHeader(std::span<const BYTE> bytes, Header& header);
    // The whole picture, opaque; false for any fault in the file, truncation included.
    static bool Decode(std::span<const BYTE> bytes, ArgbImage& picture);
};

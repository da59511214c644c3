// Where something sits in an X file, for error messages: a line in text files, a byte offset in binary
// ones. Compressed files are read after inflating, so their places refer to the inflated data.
#pragma once

#include <cstddef>
#include <string>

struct XFileLocation {
    enum class Kind : unsigned char { Line, ByteOffset };
    Kind kind = Kind::Line;
    std::size_t value = 0;
    bool decompressed = false;

    std::string Describe() const {
        std::string text = (kind == Kind::Line ? "line " : "byte offset ") + std::to_string(value);
        if (decompressed)
            text += kind == Kind::Line ? " of the inflated text" : " of the inflated data";
        return text;
    }
};

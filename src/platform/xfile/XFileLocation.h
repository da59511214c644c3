// Where something sits in an X file, for error messages: a line in text files, a byte offset in binary
// ones. Compressed files are read after inflating, so their places refer to the inflated data.
// Text places are kept as offsets into the text and turned into lines only when described: every object
// records where it begins, counting lines there would read a large file once more, and almost no place
// is ever described.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>

struct XFileLocation {
    enum class Kind : unsigned char { Line, ByteOffset };
    Kind kind = Kind::Line;
    // The byte offset; for a text place, the offset into `text`, from which the line is counted.
    std::size_t value = 0;
    bool decompressed = false;
    // The text a text place is in: the caller's file, which must outlive the place, or inflated text
    // that `owner` keeps alive.
    const char* text = nullptr;
    std::shared_ptr<const void> owner;

    std::size_t Line() const {
        return text ? 1 + static_cast<std::size_t>(std::count(text, text + value, '\n')) : value;
    }

    std::string Describe() const {
        std::string place =
            kind == Kind::Line ? "line " + std::to_string(Line()) : "byte offset " + std::to_string(value);
        if (decompressed)
            place += kind == Kind::Line ? " of the inflated text" : " of the inflated data";
        return place;
    }
};

// Reads any X file (text, binary, and both MSZIP-compressed, with 32- or 64-bit floats) into generic
// data objects, driven by the template declarations: the standard templates, then those in the file.
// Objects whose template is unknown, or not among the kept types, are skipped whole with everything
// nested in them.
#pragma once

#include "XFileDataObject.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class XFileParser {
public:
    // Only objects of these templates (names compared ignoring case) are read; none given keeps all.
    explicit XFileParser(std::vector<std::string> keptTypes = {});

    // The top-level data objects in file order. Throws XFileError naming the line or byte offset. The
    // places of objects in a text file count their lines in `file` when described: describe them while
    // `file` lives.
    std::vector<XFileDataObject> Parse(std::span<const std::uint8_t> file) const;

private:
    std::vector<std::string> m_keptTypes;
};

// One data object of an X file as the generic parser reads it, before anything knows what it means. The
// values of its template's members are kept in file order, split by kind: integer members (WORD, DWORD,
// CHAR, ... as 32-bit patterns), float members (FLOAT and DOUBLE, narrowed to float) and strings. Nested
// objects and references ("{ Name }") follow as children in file order, which matters for material lists.
#pragma once

#include "XFileGuid.h"
#include "XFileLocation.h"

#include <cstdint>
#include <string>
#include <vector>

struct XFileDataObject {
    std::string type; // the template's name as declared
    std::string name; // the instance name, or the target's name for a reference
    XFileGuid id;
    bool hasId = false;
    bool isReference = false;
    XFileLocation where;

    std::vector<std::uint32_t> integers;
    std::vector<float> floats;
    std::vector<std::string> strings;
    std::vector<XFileDataObject> children;
};

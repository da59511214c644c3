// A template declaration: the member layout that data objects of its name follow. Members refer to
// other templates by their index in the registry, fixed when the template is declared, so a later
// redeclaration never changes (or loops back into) a template declared before it.
#pragma once

#include "XFileGuid.h"

#include <cstdint>
#include <string>
#include <vector>

enum class XFileValueKind : unsigned char { Integer, Float, String, Template };

struct XFileArrayDimension {
    std::string memberName;  // as declared, when the size is another member
    bool fromMember = false; // sized by an earlier integer member of the same template
    std::uint32_t value = 0; // the size, or (once resolved) the index of that member
};

struct XFileTemplateMember {
    std::string name;
    std::string typeName;
    XFileValueKind kind = XFileValueKind::Integer;
    int templateIndex = -1; // for XFileValueKind::Template
    bool isArray = false;
    std::vector<XFileArrayDimension> dimensions;
};

struct XFileTemplate {
    std::string name;
    XFileGuid id;
    bool hasId = false;
    std::vector<XFileTemplateMember> members;
    bool open = false;                     // "[...]": any nested object
    std::vector<std::string> restrictions; // "[Material, ...]": the nested objects it names

    // False when a member names a type or a size member the registry cannot resolve; objects of such a
    // template are skipped like objects of an undeclared one.
    bool usable = true;
    // A lower bound on the values one instance holds, to refuse counts the input cannot back.
    std::uint64_t minValues = 0;
    // How many floats one instance is when it is nothing but floats (Vector, Matrix4x4, ...), else 0.
    std::uint32_t flatFloats = 0;
};

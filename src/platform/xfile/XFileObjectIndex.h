// Finds the objects that references ("{ Name }", "{ <UUID> }") point at, among every named object of a
// parsed file.
#pragma once

#include "XFileDataObject.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class XFileObjectIndex {
public:
    // The objects must outlive the index.
    explicit XFileObjectIndex(const std::vector<XFileDataObject>& objects);

    // The object itself, or for a reference its target (by name, then by UUID); null when none is known.
    const XFileDataObject* Follow(const XFileDataObject& object) const;

    static bool IsType(const XFileDataObject& object, std::string_view type);

private:
    void Add(const XFileDataObject& object);

    std::unordered_map<std::string, const XFileDataObject*> m_byName;
    std::vector<std::pair<XFileGuid, const XFileDataObject*>> m_byId;
};

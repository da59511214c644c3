#include "XFileObjectIndex.h"

#include <algorithm>
#include <cctype>

XFileObjectIndex::XFileObjectIndex(const std::vector<XFileDataObject>& objects) {
    for (const XFileDataObject& object : objects)
        Add(object);
}

void XFileObjectIndex::Add(const XFileDataObject& object) {
    if (object.isReference)
        return;
    // The first definition of a name wins, as references may only point backwards.
    if (!object.name.empty())
        m_byName.emplace(object.name, &object);
    if (object.hasId)
        m_byId.emplace_back(object.id, &object);
    for (const XFileDataObject& child : object.children)
        Add(child);
}

const XFileDataObject* XFileObjectIndex::Follow(const XFileDataObject& object) const {
    if (!object.isReference)
        return &object;
    if (!object.name.empty())
        if (const auto found = m_byName.find(object.name); found != m_byName.end())
            return found->second;
    if (object.hasId) {
        const auto found = std::find_if(m_byId.begin(), m_byId.end(),
                                        [&](const auto& entry) { return entry.first == object.id; });
        if (found != m_byId.end())
            return found->second;
    }
    return nullptr;
}

bool XFileObjectIndex::IsType(const XFileDataObject& object, std::string_view type) {
    return !object.isReference &&
           std::equal(object.type.begin(), object.type.end(), type.begin(), type.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

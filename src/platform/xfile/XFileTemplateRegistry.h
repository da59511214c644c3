// The templates one file may use: the standard ones every reader knows, then those the file declares.
// Declaring a name again replaces it for the objects that follow.
#pragma once

#include "XFileTemplate.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class XFileTemplateRegistry {
public:
    // The template text of the standard templates (Mesh, Frame, AnimationKey, SkinWeights, ...).
    static std::string_view StandardDeclarations();

    // Resolves the member types and sizes, registers the template and returns its index.
    int Add(XFileTemplate declared);
    // The index of the newest template of that name, matched exactly or else ignoring case (exporters
    // write "TextureFileName" for "TextureFilename"); -1 when there is none.
    int Find(std::string_view name) const;
    const XFileTemplate& At(int index) const { return m_templates[static_cast<std::size_t>(index)]; }
    std::size_t Size() const { return m_templates.size(); }

private:
    void Resolve(XFileTemplate& declared) const;
    void ResolveMember(XFileTemplate& declared, std::size_t index) const;
    void Measure(XFileTemplate& declared) const;

    std::vector<XFileTemplate> m_templates;
    std::unordered_map<std::string, int> m_byName;
    std::unordered_map<std::string, int> m_byLowerName;
};

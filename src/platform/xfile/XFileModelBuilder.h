// Builds the typed model from the parsed objects of a file: frames with their transforms and meshes,
// meshes outside frames, animation sets and the tick rate.
#pragma once

#include "XFileDataObject.h"
#include "XFileModel.h"
#include "XFileModelBudget.h"
#include "XFileObjectIndex.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class XFileModelBuilder {
public:
    // The templates the model is built from; the parser skips all others whole.
    static std::vector<std::string> KeptTypes();

    // Throws XFileError when an object breaks the model's rules (an index out of range, an unknown key
    // type, a reference to nothing) or the model would pass the limits of XFileModelBudget.
    static XFileModel Build(const std::vector<XFileDataObject>& objects);

private:
    explicit XFileModelBuilder(const std::vector<XFileDataObject>& objects) : m_index(objects) {}

    XFileFrame Frame(const XFileDataObject& object);
    // The mesh of a Mesh object, read on first use; `where` is the place that names it.
    XFileSharedMesh PlaceMesh(const XFileDataObject& object, const XFileLocation& where);
    XFileAnimationSet AnimationSet(const XFileDataObject& object) const;
    XFileAnimation Animation(const XFileDataObject& object) const;
    static void ReadKeys(const XFileDataObject& object, XFileAnimation& animation);

    struct ReadMesh {
        XFileSharedMesh mesh;
        std::uint64_t faceCost = 0;
    };

    XFileObjectIndex m_index;
    std::unordered_map<const XFileDataObject*, ReadMesh> m_meshes;
    XFileModelBudget m_budget;
};

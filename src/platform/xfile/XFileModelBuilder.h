// Builds the typed model from the parsed objects of a file: frames with their transforms and meshes,
// meshes outside frames, animation sets and the tick rate.
#pragma once

#include "XFileDataObject.h"
#include "XFileModel.h"
#include "XFileObjectIndex.h"

#include <string>
#include <vector>

class XFileModelBuilder {
public:
    // The templates the model is built from; the parser skips all others whole.
    static std::vector<std::string> KeptTypes();

    // Throws XFileError when an object breaks the model's rules (an index out of range, an unknown key
    // type, a reference to nothing).
    static XFileModel Build(const std::vector<XFileDataObject>& objects);

private:
    explicit XFileModelBuilder(const std::vector<XFileDataObject>& objects) : m_index(objects) {}

    XFileFrame Frame(const XFileDataObject& object) const;
    XFileAnimationSet AnimationSet(const XFileDataObject& object) const;
    XFileAnimation Animation(const XFileDataObject& object) const;
    static void ReadKeys(const XFileDataObject& object, XFileAnimation& animation);

    XFileObjectIndex m_index;
};

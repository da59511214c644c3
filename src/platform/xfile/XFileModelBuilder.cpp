#include "XFileModelBuilder.h"

#include "XFileMeshReader.h"
#include "XFileValueCursor.h"

namespace {

// Values per key for the key types 0 (rotation), 1 (scale), 2 (position), 3 and 4 (matrix).
std::uint32_t ValuesPerKey(std::uint32_t keyType) {
    constexpr std::uint32_t kValues[] = {4, 3, 3, 16, 16};
    return keyType < std::size(kValues) ? kValues[keyType] : 0;
}

} // namespace

std::vector<std::string> XFileModelBuilder::KeptTypes() {
    return {"Frame",
            "FrameTransformMatrix",
            "Mesh",
            "MeshNormals",
            "MeshTextureCoords",
            "MeshVertexColors",
            "MeshMaterialList",
            "Material",
            "TextureFilename",
            "EffectInstance",
            "EffectParamFloats",
            "EffectParamString",
            "EffectParamDWord",
            "XSkinMeshHeader",
            "SkinWeights",
            "VertexDuplicationIndices",
            "DeclData",
            "AnimTicksPerSecond",
            "AnimationSet",
            "Animation",
            "AnimationKey",
            "AnimationOptions"};
}

XFileModel XFileModelBuilder::Build(const std::vector<XFileDataObject>& objects) {
    XFileModelBuilder builder(objects);
    XFileModel model;
    XFileAnimationSet loose;
    for (const XFileDataObject& object : objects) {
        if (XFileObjectIndex::IsType(object, "Frame")) {
            model.frames.push_back(builder.Frame(object));
        } else if (XFileObjectIndex::IsType(object, "Mesh")) {
            model.meshes.push_back(builder.PlaceMesh(object, object.where));
        } else if (XFileObjectIndex::IsType(object, "AnimTicksPerSecond")) {
            // Exporters repeat it before each set; the last one stands for the file.
            model.ticksPerSecond = XFileValueCursor(object).Integer();
            model.hasTicksPerSecond = true;
        } else if (XFileObjectIndex::IsType(object, "AnimationSet")) {
            model.animationSets.push_back(builder.AnimationSet(object));
        } else if (XFileObjectIndex::IsType(object, "Animation")) {
            loose.animations.push_back(builder.Animation(object));
        }
    }
    if (!loose.animations.empty())
        model.animationSets.push_back(std::move(loose));
    return model;
}

XFileSharedMesh XFileModelBuilder::PlaceMesh(const XFileDataObject& object, const XFileLocation& where) {
    auto entry = m_meshes.find(&object);
    if (entry == m_meshes.end()) {
        auto mesh = std::make_shared<const XFileMesh>(XFileMeshReader(m_index).Read(object));
        const std::uint64_t faceCost = XFileModelBudget::FaceCost(*mesh);
        entry = m_meshes.emplace(&object, ReadMesh{std::move(mesh), faceCost}).first;
    }
    m_budget.PlaceMesh(*entry->second.mesh, entry->second.faceCost, where);
    return entry->second.mesh;
}

XFileFrame XFileModelBuilder::Frame(const XFileDataObject& object) {
    m_budget.PlaceFrame(object.where);
    XFileFrame frame;
    frame.name = object.name;
    for (const XFileDataObject& child : object.children) {
        if (XFileObjectIndex::IsType(child, "FrameTransformMatrix")) {
            frame.transform = XFileValueCursor(child).Floats<16>();
        } else if (XFileObjectIndex::IsType(child, "Frame")) {
            frame.children.push_back(Frame(child));
        } else if (const XFileDataObject* target = m_index.Follow(child);
                   target && XFileObjectIndex::IsType(*target, "Mesh")) {
            // Meshes may be shared by reference; frames may not, since a frame could name its ancestor.
            frame.meshes.push_back(PlaceMesh(*target, child.where));
        }
    }
    return frame;
}

XFileAnimationSet XFileModelBuilder::AnimationSet(const XFileDataObject& object) const {
    XFileAnimationSet set;
    set.name = object.name;
    for (const XFileDataObject& child : object.children)
        if (const XFileDataObject* target = m_index.Follow(child);
            target && XFileObjectIndex::IsType(*target, "Animation"))
            set.animations.push_back(Animation(*target));
    return set;
}

XFileAnimation XFileModelBuilder::Animation(const XFileDataObject& object) const {
    XFileAnimation animation;
    animation.name = object.name;
    for (const XFileDataObject& child : object.children) {
        if (child.isReference) {
            // The target frame need not exist (exporters animate bones they left out of the hierarchy).
            const XFileDataObject* target = child.name.empty() ? m_index.Follow(child) : nullptr;
            animation.frameName = target ? target->name : child.name;
        } else if (XFileObjectIndex::IsType(child, "Frame")) {
            animation.frameName = child.name;
        } else if (XFileObjectIndex::IsType(child, "AnimationKey")) {
            ReadKeys(child, animation);
        } else if (XFileObjectIndex::IsType(child, "AnimationOptions")) {
            XFileValueCursor values(child);
            animation.openClosed = values.Integer();
            animation.positionQuality = values.Integer();
            animation.hasOptions = true;
        }
    }
    return animation;
}

void XFileModelBuilder::ReadKeys(const XFileDataObject& object, XFileAnimation& animation) {
    XFileValueCursor values(object);
    const std::uint32_t keyType = values.Integer();
    const std::uint32_t keyCount = values.Integer();
    const std::uint32_t expected = ValuesPerKey(keyType);
    if (expected == 0)
        values.Fail("has the unknown key type " + std::to_string(keyType));
    values.Require(std::uint64_t{keyCount} * 2, 0);
    for (std::uint32_t key = 0; key < keyCount; ++key) {
        const std::uint32_t time = values.Integer();
        const std::uint32_t count = values.Integer();
        if (count != expected)
            values.Fail("key " + std::to_string(key) + " of type " + std::to_string(keyType) + " has " +
                        std::to_string(count) + " values, not " + std::to_string(expected));
        if (keyType == 0) {
            const auto q = values.Floats<4>();
            animation.rotationKeys.push_back({time, q[0], q[1], q[2], q[3]});
        } else if (keyType == 1) {
            animation.scaleKeys.push_back({time, values.Floats<3>()});
        } else if (keyType == 2) {
            animation.positionKeys.push_back({time, values.Floats<3>()});
        } else {
            animation.matrixKeys.push_back({time, values.Floats<16>()});
        }
    }
}

#include "ModelFile.h"

#include "GltfModelReader.h"
#include "ModelFormat.h"
#include "ObjModelReader.h"
#include "XFileMeshBuilder.h"
#include "XFileModel.h"

bool ModelFile::Read(const std::string& path, ModelData& out, std::string& error) {
    switch (ModelFormat::Of(path)) {
    case ModelFormat::Gltf:
    case ModelFormat::Glb:
        return GltfModelReader::Read(path, out, error);
    case ModelFormat::Obj:
        return ObjModelReader::Read(path, out, error);
    default:
        return ReadX(path, out, error);
    }
}

bool ModelFile::ReadX(const std::string& path, ModelData& out, std::string& error) {
    XFileModel model;
    if (!XFileModel::Load(path, model, error))
        return false;
    XFileCombinedMesh combined = XFileMeshBuilder::Build(model);
    if (combined.faces.empty()) {
        error = "'" + path + "' holds no mesh with faces";
        return false;
    }
    ModelData data;
    data.positions = std::move(combined.positions);
    data.normals = std::move(combined.normals);
    data.texCoords = std::move(combined.texCoords);
    data.faces = std::move(combined.faces);
    data.attributes = std::move(combined.attributes);
    for (const XFileMaterial& source : combined.materials) {
        ModelMaterial material;
        material.name = source.name;
        material.diffuse = source.faceColor;
        material.specular = source.specularColor;
        material.power = source.power;
        material.emissive = source.emissiveColor;
        material.textureFile = source.textureFilename;
        data.materials.push_back(std::move(material));
    }
    out = std::move(data);
    return true;
}

// Turns parsed Mesh and Material objects into their typed form, checking every index against the count
// it refers to, so that later code can index without checks.
#pragma once

#include "XFileMesh.h"
#include "XFileObjectIndex.h"

#include <cstdint>
#include <string>
#include <vector>

class XFileValueCursor;

class XFileMeshReader {
public:
    explicit XFileMeshReader(const XFileObjectIndex& index) : m_index(index) {}

    XFileMesh Read(const XFileDataObject& object) const;
    XFileMaterial ReadMaterial(const XFileDataObject& object) const;

private:
    void Attach(const XFileDataObject& child, XFileMesh& mesh) const;
    void ReadNormals(const XFileDataObject& object, XFileMesh& mesh) const;
    void ReadTextureCoords(const XFileDataObject& object, XFileMesh& mesh) const;
    void ReadVertexColors(const XFileDataObject& object, XFileMesh& mesh) const;
    void ReadMaterialList(const XFileDataObject& object, XFileMesh& mesh) const;
    void ReadSkinHeader(const XFileDataObject& object, XFileMesh& mesh) const;
    void ReadSkinWeights(const XFileDataObject& object, XFileMesh& mesh) const;
    void ReadDuplicationIndices(const XFileDataObject& object, XFileMesh& mesh) const;
    void ReadDeclData(const XFileDataObject& object, XFileMesh& mesh) const;
    XFileEffectInstance ReadEffect(const XFileDataObject& object) const;
    static void ReadFaces(XFileValueCursor& values, std::uint32_t limit, const char* noun, const char* nouns,
                          std::vector<std::uint32_t>& sizes, std::vector<std::uint32_t>& indices);

    const XFileObjectIndex& m_index;
};

// Loads a glTF or OBJ model file into what D3DXLoadMeshFromX hands out for an X file: a managed mesh,
// its adjacency and one material per subset (here with the alpha mode and any texture bytes the file
// carries). The mesh cache calls it for every model name that is not an X file.
#pragma once

#include "ModelData.h"
#include "d3dx9mesh.h"

#include <string>
#include <vector>

class ModelLoader {
public:
    // On failure every output is null or empty and LastError says why, naming the file.
    static HRESULT Load(const std::string& fileName, DWORD options, IDirect3DDevice9* device,
                        ID3DXMesh** mesh, ID3DXBuffer** adjacency, std::vector<ModelMaterial>& materials);
    // Why the last load of this file's kind failed on this thread (the X reader's message for X
    // files); empty after a successful load.
    static std::string LastError(const std::string& fileName);
};

// Packs X-file materials into the self-contained buffers D3DX hands out: records first, then the
// strings and values their pointers lead to, all in the one buffer, so releasing it frees everything.
#pragma once

#include "ID3DXBuffer.h"
#include "XFileMaterial.h"
#include "d3d9types.h"

#include <string>
#include <vector>

// D3DXMATERIAL records. Ambient stays black, as D3DX leaves it: the file format has no ambient colour.
// Texture names keep their text with Windows separators turned into '/'; no name gives a null pointer.
ID3DXBuffer* MakeMaterialBuffer(const std::vector<XFileMaterial>& materials);

// D3DXEFFECTINSTANCE records, one per material: the material's effect file and parameters where the
// file attaches an effect, otherwise no file name and the material's colours as parameters named
// Diffuse, Specular, Emissive and Power (plus Texture when it has one).
ID3DXBuffer* MakeEffectInstanceBuffer(const std::vector<XFileMaterial>& materials);

// D3DX's material for one X-file material.
D3DMATERIAL9 D3DMaterialOf(const XFileMaterial& material);
std::string TextureNameOf(const XFileMaterial& material);

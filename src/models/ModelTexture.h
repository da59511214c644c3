// A texture made from image bytes a model carries (a glTF buffer or data URI), as D3DX makes one from
// an image file: the image at its own size, full mip chain, A8R8G8B8, managed pool. PNG, JPEG, BMP and
// TGA are decoded by the platform's image reader, which refuses truncated or implausible images.
#pragma once

#include "d3dx9tex.h"

#include <span>

class ModelTexture {
public:
    // *texture is null on failure; info, when given, receives the image's description.
    static HRESULT Create(IDirect3DDevice9* device, std::span<const unsigned char> bytes,
                          IDirect3DTexture9** texture, D3DXIMAGE_INFO* info);
};

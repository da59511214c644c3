#include "ModelTexture.h"

#include "ImageDecoder.h"

#include <cstring>

namespace {

HRESULT WriteLevel(IDirect3DTexture9* texture, UINT level, const ArgbImage& picture) {
    D3DLOCKED_RECT locked;
    const HRESULT result = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(result))
        return result;
    auto* bits = static_cast<unsigned char*>(locked.pBits);
    const std::size_t rowBytes = static_cast<std::size_t>(picture.Width()) * 4;
    for (UINT y = 0; y < picture.Height(); ++y)
        std::memcpy(bits + static_cast<std::size_t>(y) * locked.Pitch,
                    picture.Texels().data() + static_cast<std::size_t>(y) * picture.Width(), rowBytes);
    return texture->UnlockRect(level);
}

} // namespace

HRESULT ModelTexture::Create(IDirect3DDevice9* device, std::span<const unsigned char> bytes,
                             IDirect3DTexture9** texture, D3DXIMAGE_INFO* info) {
    if (texture == nullptr)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (device == nullptr || bytes.empty())
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    HRESULT result = ImageDecoder::Decode(bytes, false, image);
    if (FAILED(result) || image.levels.empty())
        return FAILED(result) ? result : D3DXERR_INVALIDDATA;
    ArgbImage level = image.levels[0].Resized(std::min(image.info.Width, kD3DXMaxTextureSide),
                                              std::min(image.info.Height, kD3DXMaxTextureSide));
    IDirect3DTexture9* created = nullptr;
    result = D3DXCreateTexture(device, level.Width(), level.Height(), 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                               &created);
    for (UINT at = 0; SUCCEEDED(result) && at < created->GetLevelCount(); ++at) {
        if (at > 0)
            level = level.Halved();
        result = WriteLevel(created, at, level);
    }
    if (FAILED(result)) {
        if (created != nullptr)
            created->Release();
        return result;
    }
    if (info != nullptr)
        *info = image.info;
    *texture = created;
    return S_OK;
}

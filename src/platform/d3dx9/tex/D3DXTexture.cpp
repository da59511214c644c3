#include "d3dx9tex.h"

#include "DdsReader.h"
#include "DecodedImage.h"
#include "ImageDecoder.h"
#include "MipChain.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Image files larger than this are refused rather than read into memory.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;
constexpr UINT kDefaultSide = 256;

bool ReadWholeFile(const char* path, std::vector<BYTE>& bytes) {
    std::error_code error;
    const std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(file, error))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxFileBytes)
        return false;
    std::ifstream in(file, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return in.gcount() == static_cast<std::streamsize>(size);
}

// Bitmaps are the same bytes whether named .bmp or .dib; only the reported file format differs.
bool HasDibExtension(const char* path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".dib";
}

HRESULT ReadImage(const char* path, bool infoOnly, DecodedImage& image) {
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(path, bytes))
        return D3DXERR_INVALIDDATA;
    const std::span<const BYTE> view(bytes);
    if (DdsReader::IsDds(view))
        return infoOnly ? DdsReader::ReadInfo(view, image.info) : DdsReader::Decode(view, image);
    const bool dib = HasDibExtension(path);
    return infoOnly ? ImageDecoder::ReadInfo(view, dib, image.info) : ImageDecoder::Decode(view, dib, image);
}

bool TakesSizeFromFile(UINT size) {
    return size == 0 || size == D3DX_DEFAULT || size == D3DX_DEFAULT_NONPOW2 || size == D3DX_FROM_FILE;
}

UINT MipLevelsFor(UINT requested, UINT fileLevels, UINT width, UINT height) {
    const UINT chain = FullChainLength(width, height);
    if (requested == D3DX_FROM_FILE)
        return std::clamp(fileLevels, 1u, chain);
    if (requested == 0 || requested == D3DX_DEFAULT || requested == D3DX_DEFAULT_NONPOW2)
        return chain;
    return std::min(requested, chain);
}

// The nearest format the device stores, as D3DX picks one: never fewer channels, never a depth format
// for colour. The device keeps no compressed formats, so those come back as A8R8G8B8 too.
D3DFORMAT SupportedFormat(D3DFORMAT format) {
    if (format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5)
        return D3DFMT_A8R8G8B8;
    switch (format) {
    case D3DFMT_UNKNOWN:
    case D3DFMT_A8:
        return D3DFMT_A8R8G8B8;
    case D3DFMT_R8G8B8:
    case D3DFMT_R5G6B5:
        return D3DFMT_X8R8G8B8;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R32F:
    case D3DFMT_A32B32G32R32F:
        return format;
    default:
        return D3DFMT_UNKNOWN;
    }
}

// Loaded images are written as 8-bit ARGB; any other request gets A8R8G8B8.
D3DFORMAT LoadFormat(D3DFORMAT requested) {
    return requested == D3DFMT_X8R8G8B8 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8;
}

bool UsageFitsPool(DWORD usage, D3DPOOL pool) {
    if ((usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) && pool != D3DPOOL_DEFAULT)
        return false;
    return !((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED);
}

// The texture's levels: the file's own where the size is kept, else each box-filtered from the one
// above.
std::vector<ArgbImage> BuildLevels(DecodedImage& image, UINT width, UINT height, UINT levels) {
    const bool keepsSize = width == image.info.Width && height == image.info.Height;
    std::vector<ArgbImage> out;
    out.push_back(image.levels[0].Resized(width, height));
    for (UINT level = 1; level < levels; ++level) {
        if (keepsSize && level < image.levels.size())
            out.push_back(std::move(image.levels[level]));
        else
            out.push_back(out.back().Halved());
    }
    return out;
}

HRESULT WriteLevel(IDirect3DTexture9* texture, UINT level, const ArgbImage& picture) {
    D3DLOCKED_RECT locked;
    const HRESULT result = texture->LockRect(level, &locked, nullptr, D3DLOCK_DISCARD);
    if (FAILED(result))
        return result;
    auto* bits = static_cast<BYTE*>(locked.pBits);
    const std::size_t rowBytes = static_cast<std::size_t>(picture.Width()) * 4;
    for (UINT y = 0; y < picture.Height(); ++y) {
        // Texels are little-endian ARGB words: bytes B, G, R, A, as Direct3D lays them out.
        const DWORD* row = picture.Texels().data() + static_cast<std::size_t>(y) * picture.Width();
        std::memcpy(bits + static_cast<std::size_t>(y) * locked.Pitch, row, rowBytes);
    }
    return texture->UnlockRect(level);
}

} // namespace

HRESULT D3DXGetImageInfoFromFileA(const char* srcFile, D3DXIMAGE_INFO* srcInfo) {
    if (srcFile == nullptr || srcInfo == nullptr)
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    const HRESULT result = ReadImage(srcFile, true, image);
    if (SUCCEEDED(result))
        *srcInfo = image.info;
    return result;
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
    if (texture)
        *texture = nullptr;
    if (device == nullptr || texture == nullptr || !UsageFitsPool(usage, pool))
        return D3DERR_INVALIDCALL;
    if (width == D3DX_DEFAULT && height == D3DX_DEFAULT)
        width = height = kDefaultSide;
    else if (width == D3DX_DEFAULT)
        width = height;
    else if (height == D3DX_DEFAULT)
        height = width;
    width = std::clamp(width, 1u, kD3DXMaxTextureSide);
    height = std::clamp(height, 1u, kD3DXMaxTextureSide);
    const D3DFORMAT supported = SupportedFormat(format);
    if (supported == D3DFMT_UNKNOWN)
        return D3DERR_NOTAVAILABLE;
    const UINT levels = MipLevelsFor(mipLevels, 1, width, height);
    return device->CreateTexture(width, height, levels, usage, supported, pool, texture, nullptr);
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* srcFile,
                                   IDirect3DTexture9** texture) {
    return D3DXCreateTextureFromFileExA(device, srcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        nullptr, nullptr, texture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD /*filter*/, DWORD /*mipFilter*/, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* /*palette*/,
                                     IDirect3DTexture9** texture) {
    if (texture)
        *texture = nullptr;
    if (device == nullptr || srcFile == nullptr || texture == nullptr || !UsageFitsPool(usage, pool))
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    const HRESULT read = ReadImage(srcFile, false, image);
    if (FAILED(read))
        return read;
    if (colorKey != 0)
        for (ArgbImage& level : image.levels)
            level.ApplyColorKey(colorKey);
    width = std::min(TakesSizeFromFile(width) ? image.info.Width : width, kD3DXMaxTextureSide);
    height = std::min(TakesSizeFromFile(height) ? image.info.Height : height, kD3DXMaxTextureSide);
    const D3DFORMAT stored = LoadFormat(format);
    std::vector<ArgbImage> levels =
        BuildLevels(image, width, height, MipLevelsFor(mipLevels, image.info.MipLevels, width, height));
    IDirect3DTexture9* created = nullptr;
    HRESULT result = device->CreateTexture(width, height, static_cast<UINT>(levels.size()), usage, stored,
                                           pool, &created, nullptr);
    for (UINT level = 0; SUCCEEDED(result) && level < levels.size(); ++level) {
        if (stored == D3DFMT_X8R8G8B8)
            levels[level].MakeOpaque();
        result = WriteLevel(created, level, levels[level]);
    }
    if (FAILED(result)) {
        if (created)
            created->Release();
        return result;
    }
    if (srcInfo)
        *srcInfo = image.info;
    *texture = created;
    return S_OK;
}

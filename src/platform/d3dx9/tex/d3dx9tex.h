// D3DX's texture functions: image file information, empty textures, and textures loaded from PNG,
// JPEG, BMP/DIB, TGA and DDS files.
//
// How loading behaves on this device:
// - the texture keeps the image's exact size, also for D3DX_DEFAULT: the device takes any size, so
//   nothing is rounded to a power of two and texture coordinates map the image as it is;
// - D3DFMT_UNKNOWN loads as D3DFMT_A8R8G8B8 whatever the file holds (images without alpha come out
//   opaque); D3DFMT_X8R8G8B8 may be asked for; other formats fall back to D3DFMT_A8R8G8B8, so callers
//   read the format from the texture, as D3DX asks them to;
// - DXT1/DXT3/DXT5 files are decoded to A8R8G8B8 in software;
// - the mip chain is filled by box-filtering each level down from the one above (a DDS file's own
//   levels are used where the size is kept);
// - a requested size different from the image is reached by bilinear resampling; the filter
//   arguments are accepted and otherwise ignored.
#pragma once

#include "d3d9.h"

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
};

enum D3DXIMAGE_FILEFORMAT : DWORD {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
};

struct D3DXIMAGE_INFO {
    UINT Width = 0;
    UINT Height = 0;
    UINT Depth = 0;
    UINT MipLevels = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE ResourceType = D3DRTYPE_SURFACE;
    D3DXIMAGE_FILEFORMAT ImageFileFormat = D3DXIFF_BMP;
};

// The block-compressed formats a DDS file may hold, as image information reports them. The device
// itself does not store them.
constexpr D3DFORMAT MakeFourCCFormat(char a, char b, char c, char d) {
    return static_cast<D3DFORMAT>(
        static_cast<DWORD>(static_cast<BYTE>(a)) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 8) |
        (static_cast<DWORD>(static_cast<BYTE>(c)) << 16) | (static_cast<DWORD>(static_cast<BYTE>(d)) << 24));
}
constexpr D3DFORMAT D3DFMT_DXT1 = MakeFourCCFormat('D', 'X', 'T', '1');
constexpr D3DFORMAT D3DFMT_DXT3 = MakeFourCCFormat('D', 'X', 'T', '3');
constexpr D3DFORMAT D3DFMT_DXT5 = MakeFourCCFormat('D', 'X', 'T', '5');

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;
constexpr UINT D3DX_FROM_FILE = 0xFFFFFFFDu;
// The largest side this device's textures are given; larger requests and images are scaled to it.
constexpr UINT kD3DXMaxTextureSide = 8192;

constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr DWORD D3DX_FILTER_DITHER = 0x80000;


// Reads only what is needed to describe the image. MipLevels is the file's level count (1 for all
// but DDS); Format is the file's own pixel format.
HRESULT D3DXGetImageInfoFromFileA(const char* srcFile, D3DXIMAGE_INFO* srcInfo);

// An empty texture. A size of 0 becomes 1; D3DX_DEFAULT for both sides makes 256 x 256, for one side
// a square of the other; sides are cut to kD3DXMaxTextureSide. mipLevels 0 or D3DX_DEFAULT make the
// full chain. D3DFMT_UNKNOWN makes A8R8G8B8, and a format the device cannot store is replaced by the
// nearest one it can (D3DERR_NOTAVAILABLE where there is none).
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);

// The image at its own size, full mip chain, A8R8G8B8, managed pool.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* srcFile,
                                   IDirect3DTexture9** texture);

// Width and height: 0, D3DX_DEFAULT, D3DX_DEFAULT_NONPOW2 and D3DX_FROM_FILE take the image's size.
// mipLevels: 0 and D3DX_DEFAULT make the full chain, D3DX_FROM_FILE the file's count. A non-zero
// colorKey turns every texel equal to it (alpha included) into transparent black before resampling.
// srcInfo, when given, receives the file's information; palette is left untouched (no palettised
// formats are made).
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);

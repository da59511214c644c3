// D3DX's text and sprite objects on the device: ID3DXFont draws strings (UTF-8 here) with a system
// font, ID3DXSprite draws textured screen-space quads.
#pragma once

#include "Unknown.h"
#include "d3d9.h"

#include <memory>
#include <string>

constexpr DWORD DT_TOP = 0x0;
constexpr DWORD DT_LEFT = 0x0;
constexpr DWORD DT_CENTER = 0x1;
constexpr DWORD DT_RIGHT = 0x2;
constexpr DWORD DT_VCENTER = 0x4;
constexpr DWORD DT_BOTTOM = 0x8;
constexpr DWORD DT_WORDBREAK = 0x10;
constexpr DWORD DT_SINGLELINE = 0x20;
constexpr DWORD DT_EXPANDTABS = 0x40;
constexpr DWORD DT_NOCLIP = 0x100;
constexpr DWORD DT_CALCRECT = 0x400;

constexpr UINT FW_NORMAL = 400;
constexpr UINT FW_BOLD = 700;
constexpr DWORD DEFAULT_CHARSET = 1;
constexpr DWORD SHIFTJIS_CHARSET = 128;
constexpr DWORD OUT_DEFAULT_PRECIS = 0;
constexpr DWORD DEFAULT_QUALITY = 0;
constexpr DWORD ANTIALIASED_QUALITY = 4;
constexpr DWORD PROOF_QUALITY = 2;
constexpr DWORD DEFAULT_PITCH = 0;
constexpr DWORD FF_SWISS = 0x20;

constexpr DWORD D3DXSPRITE_DONOTSAVESTATE = 0x1;
constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;

struct D3DXFONT_DESCA {
    INT Height = 0;
    UINT Width = 0;
    UINT Weight = 0;
    UINT MipLevels = 0;
    BOOL Italic = FALSE;
    BYTE CharSet = 0;
    BYTE OutputPrecision = 0;
    BYTE Quality = 0;
    BYTE PitchAndFamily = 0;
    char FaceName[32] = {};
};

class ID3DXSprite : public IUnknown {
public:
    explicit ID3DXSprite(IDirect3DDevice9* device);
    ~ID3DXSprite() override;

    HRESULT Begin(DWORD flags);
    // Draws the texture (or its source rectangle) with its top-left corner, less the centre, at the
    // position transformed by the sprite transform, tinted by the colour.
    HRESULT Draw(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* center,
                 const D3DXVECTOR3* position, D3DCOLOR color);
    HRESULT Flush();
    HRESULT End();
    HRESULT SetTransform(const D3DXMATRIX* transform);
    HRESULT GetTransform(D3DXMATRIX* transform);
    HRESULT GetDevice(IDirect3DDevice9** device);
    HRESULT OnLostDevice() { return S_OK; }
    HRESULT OnResetDevice() { return S_OK; }

private:
    friend HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite);
    // False when the GL objects could not be made.
    bool Usable() const;

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
using LPD3DXSPRITE = ID3DXSprite*;

class ID3DXFont : public IUnknown {
public:
    ID3DXFont(IDirect3DDevice9* device, const D3DXFONT_DESCA& desc);
    ~ID3DXFont() override;

    // Draws the first count bytes of the string (all of it for -1) into the rectangle with the DT_
    // format; returns the height of the text. Lines break at "\n"; text outside the rectangle is cut
    // unless DT_NOCLIP; DT_CALCRECT only measures, widening the rectangle to fit.
    INT DrawTextA(LPD3DXSPRITE sprite, const char* text, INT count, RECT* rect, DWORD format, D3DCOLOR color);
    HRESULT GetDescA(D3DXFONT_DESCA* desc);
    HRESULT GetDevice(IDirect3DDevice9** device);
    HRESULT OnLostDevice() { return S_OK; }
    HRESULT OnResetDevice() { return S_OK; }

    // The family the system actually uses for this font (a stand-in where the asked-for face is missing).
    std::string ResolvedFamily() const;

private:
    friend HRESULT D3DXCreateFontA(IDirect3DDevice9* device, INT height, UINT width, UINT weight,
                                   UINT mipLevels, BOOL italic, DWORD charSet, DWORD outputPrecision,
                                   DWORD quality, DWORD pitchAndFamily, const char* faceName,
                                   ID3DXFont** font);
    // False when no font or no GL objects could be had.
    bool Usable() const;

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
using LPD3DXFONT = ID3DXFont*;

HRESULT D3DXCreateFontA(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels,
                        BOOL italic, DWORD charSet, DWORD outputPrecision, DWORD quality,
                        DWORD pitchAndFamily, const char* faceName, LPD3DXFONT* font);
HRESULT D3DXCreateSprite(IDirect3DDevice9* device, LPD3DXSPRITE* sprite);

// D3DX's effects, made from this system's effect files (the format is described in EffectFile.cpp).
#pragma once

#include "ID3DXEffect.h"
#include "d3dx9shader.h"

class ID3DXEffectPool;
using LPD3DXEFFECTPOOL = ID3DXEffectPool*;

// Reads, parses and compiles the effect file at path. Defines, include, flags and pool are accepted
// and ignored: effect files have no preprocessor of their own and parameters are never shared.
// Failures leave *effect null and put the reason in *errors: E_FAIL when the file cannot be read or a
// pass does not compile (the compiler's log, with the file, technique, pass, stage and file lines),
// D3DXERR_INVALIDDATA when the file is not a well-formed effect.
HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, const char* path, const D3DXMACRO* defines,
                                  LPD3DXINCLUDE include, DWORD flags, LPD3DXEFFECTPOOL pool,
                                  LPD3DXEFFECT* effect, LPD3DXBUFFER* errors);

inline HRESULT D3DXCreateEffectFromFile(IDirect3DDevice9* device, const char* path, const D3DXMACRO* defines,
                                        LPD3DXINCLUDE include, DWORD flags, LPD3DXEFFECTPOOL pool,
                                        LPD3DXEFFECT* effect, LPD3DXBUFFER* errors) {
    return D3DXCreateEffectFromFileA(device, path, defines, include, flags, pool, effect, errors);
}

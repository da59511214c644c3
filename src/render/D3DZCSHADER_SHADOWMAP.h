// Renders depth seen from the light into a 1024 x 1024 R32F texture with its own depth buffer, and
// keeps the light's view x projection for the effects that sample the map. A pass is Begin, then
// SetTransformWorld and DrawMesh per object, then End, which puts the previous targets back.
#pragma once

#include "D3DZCMATRIX.h"
#include "D3DZCSURFACE.h"
#include "D3DZCTEXTURE.h"
#include "D3DZCXFILE.h"
#include "d3dx9effect.h"

class D3DZCSHADER_SHADOWMAP {
public:
    static constexpr UINT kSize = 1024;

    D3DZCSHADER_SHADOWMAP() = default;
    ~D3DZCSHADER_SHADOWMAP();
    D3DZCSHADER_SHADOWMAP(const D3DZCSHADER_SHADOWMAP&) = delete;
    D3DZCSHADER_SHADOWMAP& operator=(const D3DZCSHADER_SHADOWMAP&) = delete;

    void LoadFX(const char* fileName);

    // Light direction from the record.
    void Begin(D3DLIGHT9* light, D3DXVECTOR3* lightPos);
    void Begin(D3DXVECTOR3* lightPos, D3DXVECTOR3* lightDir);
    // Light direction from device light 0.
    void Begin(D3DXVECTOR3* lightPos);
    // ortho: x = width, y = height, z = near, w = far of the light's projection box.
    void Begin(D3DXVECTOR3* lightPos, D3DXVECTOR4* ortho);
    // Only the technique's first pass draws into the shadow map.
    void DrawMesh(D3DZCXFILE* mesh);
    void SetTransformWorld(D3DXMATRIX* world);
    void End();
    // The effect, the map and its depth buffer.
    void Release();

    ID3DXEffect* GetEffect() const { return m_pEffect; }
    D3DZCTEXTURE* GetShadowTex() { return &m_ShadowTex; }
    const D3DZCSURFACE& GetShadowDepth() const { return m_ShadowDepth; }
    D3DXMATRIX* GetLVP() { return &m_mLVP; }

private:
    void BeginPass(const D3DXVECTOR3& lightPos, const D3DXVECTOR3& lightDir, const D3DXVECTOR4& ortho);
    void SetLightMatrices(const D3DXVECTOR3& lightPos, const D3DXVECTOR3& lightDir, const D3DXVECTOR4& ortho);
    void RedirectTargets(IDirect3DDevice9* device);
    void ReleaseSaved();

    ID3DXEffect* m_pEffect = nullptr;
    D3DZCTEXTURE m_ShadowTex;
    D3DZCSURFACE m_ShadowDepth;
    D3DZCMATRIX m_mLVP;
    IDirect3DSurface9* m_pOldRenderTarget = nullptr;
    IDirect3DSurface9* m_pOldDepthStencil = nullptr;
};

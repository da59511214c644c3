#include "D3DZCSHADER_SHADOWMAP.h"

#include "D3DZCDIRECT3D.h"
#include "D3DZCSHADER.h"

namespace {

const D3DXVECTOR4 kDefaultOrtho(80.0f, 80.0f, 1.0f, 100.0f);

D3DXVECTOR3 DeviceLightDir() {
    return D3DZCDIRECT3D::GetInstance().GetLightDir(0);
}

} // namespace

D3DZCSHADER_SHADOWMAP::~D3DZCSHADER_SHADOWMAP() {
    End();
    Release();
}

void D3DZCSHADER_SHADOWMAP::LoadFX(const char* fileName) {
    Release();
    m_pEffect = D3DZCompileEffect(fileName);
    if (m_pEffect == nullptr)
        return;
    m_ShadowTex.Release();
    m_ShadowTex.CreateTexture(kSize, kSize, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R32F, D3DPOOL_DEFAULT);
    m_ShadowDepth.Release();
    m_ShadowDepth.CreateDepthStencil(kSize, kSize, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE);
}

void D3DZCSHADER_SHADOWMAP::Begin(D3DLIGHT9* light, D3DXVECTOR3* lightPos) {
    if (light == nullptr || lightPos == nullptr)
        return;
    const D3DXVECTOR3 direction(light->Direction.x, light->Direction.y, light->Direction.z);
    BeginPass(*lightPos, direction, kDefaultOrtho);
}

void D3DZCSHADER_SHADOWMAP::Begin(D3DXVECTOR3* lightPos, D3DXVECTOR3* lightDir) {
    if (lightPos != nullptr && lightDir != nullptr)
        BeginPass(*lightPos, *lightDir, kDefaultOrtho);
}

void D3DZCSHADER_SHADOWMAP::Begin(D3DXVECTOR3* lightPos) {
    if (lightPos != nullptr)
        BeginPass(*lightPos, DeviceLightDir(), kDefaultOrtho);
}

void D3DZCSHADER_SHADOWMAP::Begin(D3DXVECTOR3* lightPos, D3DXVECTOR4* ortho) {
    if (lightPos != nullptr && ortho != nullptr)
        BeginPass(*lightPos, DeviceLightDir(), *ortho);
}

void D3DZCSHADER_SHADOWMAP::BeginPass(const D3DXVECTOR3& lightPos, const D3DXVECTOR3& lightDir,
                                      const D3DXVECTOR4& ortho) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (m_pEffect == nullptr || device == nullptr || m_ShadowTex.GetTex() == nullptr)
        return;
    SetLightMatrices(lightPos, lightDir, ortho);
    RedirectTargets(device);
}

void D3DZCSHADER_SHADOWMAP::SetLightMatrices(const D3DXVECTOR3& lightPos, const D3DXVECTOR3& lightDir,
                                             const D3DXVECTOR4& ortho) {
    // A light without a direction shines straight down, as the effects light it.
    const D3DXVECTOR3 direction = D3DXVec3LengthSq(&lightDir) > 1e-12f ? lightDir : D3DXVECTOR3(0, -1, 0);
    const D3DXVECTOR3 at = lightPos + direction;
    // Looking straight up or down, the usual up (0, 1, 0) leaves the view undefined and every shadow
    // would vanish; any other up gives the same shadows.
    D3DXVECTOR3 side;
    const D3DXVECTOR3 yUp(0.0f, 1.0f, 0.0f);
    D3DXVec3Cross(&side, &yUp, &direction);
    const bool vertical = D3DXVec3LengthSq(&side) <= 1e-8f * D3DXVec3LengthSq(&direction);
    const D3DXVECTOR3 up = vertical ? D3DXVECTOR3(0.0f, 0.0f, 1.0f) : yUp;
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &lightPos, &at, &up);
    D3DXMATRIX proj;
    D3DXMatrixOrthoLH(&proj, ortho.x, ortho.y, ortho.z, ortho.w);
    m_pEffect->SetMatrix("mLV", &view);
    m_pEffect->SetMatrix("mLP", &proj);
    D3DXMatrixMultiply(&m_mLVP, &view, &proj);
}

void D3DZCSHADER_SHADOWMAP::RedirectTargets(IDirect3DDevice9* device) {
    // A second Begin without End must not take the shadow map for the targets to go back to.
    if (m_pOldRenderTarget == nullptr && m_pOldDepthStencil == nullptr) {
        device->GetRenderTarget(0, &m_pOldRenderTarget);
        device->GetDepthStencilSurface(&m_pOldDepthStencil);
    }
    m_ShadowTex.SetRenderTarget(0);
    m_ShadowDepth.SetDepthStencil();
    // White is the greatest depth, so texels nothing covers never shadow.
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
}

void D3DZCSHADER_SHADOWMAP::DrawMesh(D3DZCXFILE* mesh) {
    if (m_pEffect == nullptr || mesh == nullptr || mesh->GetMesh() == nullptr)
        return;
    m_pEffect->SetTechnique("Tech");
    UINT passes = 0;
    if (FAILED(m_pEffect->Begin(&passes, 0)))
        return;
    if (passes > 0) {
        m_pEffect->BeginPass(0);
        for (DWORD i = 0; i < mesh->GetMaterialCnt(); ++i) {
            m_pEffect->SetTexture("MeshTex", mesh->GetTextures()[i].GetTex());
            m_pEffect->CommitChanges();
            mesh->GetMesh()->DrawSubset(i);
        }
        m_pEffect->EndPass();
    }
    m_pEffect->End();
}

void D3DZCSHADER_SHADOWMAP::SetTransformWorld(D3DXMATRIX* world) {
    if (m_pEffect != nullptr && world != nullptr)
        m_pEffect->SetMatrix("mW", world);
}

void D3DZCSHADER_SHADOWMAP::End() {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device != nullptr && m_pOldRenderTarget != nullptr) {
        device->SetRenderTarget(0, m_pOldRenderTarget);
        device->SetDepthStencilSurface(m_pOldDepthStencil);
    }
    ReleaseSaved();
}

void D3DZCSHADER_SHADOWMAP::ReleaseSaved() {
    if (m_pOldRenderTarget != nullptr)
        m_pOldRenderTarget->Release();
    if (m_pOldDepthStencil != nullptr)
        m_pOldDepthStencil->Release();
    m_pOldRenderTarget = nullptr;
    m_pOldDepthStencil = nullptr;
}

// The map and its depth buffer belong to the device too: kept past its release, they would outlive
// its window and be freed at process exit, after the window system is gone.
void D3DZCSHADER_SHADOWMAP::Release() {
    if (m_pEffect != nullptr)
        m_pEffect->Release();
    m_pEffect = nullptr;
    m_ShadowTex.Release();
    m_ShadowDepth.Release();
}

#include "CShader.h"

#include "D3DZCDIRECT3D.h"
#include "D3DZCMATRIX.h"
#include "DataFolder.h"
#include "ModelCopies.h"
#include "SettingStatics.h"

namespace {

// An object without a matrix or mesh has nothing to draw.
bool Drawable(ShadedObject* data) {
    return data != nullptr && data->GetWorld() != nullptr && data->GetXData() != nullptr;
}

} // namespace

CShader& CShader::GetInstance() {
    static CShader instance;
    return instance;
}

CShader::~CShader() {
    FreeTexture(m_pToonTex);
    FreeTexture(m_pSpeMapTex);
}

void CShader::Init() {
    m_Base.LoadFX(DataFolder::Path("Data/Shader/FX/Base.fx").c_str());
    m_Toon.LoadFX(DataFolder::Path("Data/Shader/FX/Toon.fx").c_str());
    m_SpeMap.LoadFX(DataFolder::Path("Data/Shader/FX/SpeMap.fx").c_str());
    m_ShadowMap.LoadFX(DataFolder::Path("Data/Shader/FX/ShadowMap.fx").c_str());
    m_ShadowSample.LoadFX(DataFolder::Path("Data/Shader/FX/ShadowSample.fx").c_str());
    // A second Init without Release would otherwise leak the first pair of textures.
    FreeTexture(m_pToonTex);
    FreeTexture(m_pSpeMapTex);
    m_pToonTex = new D3DZCTEXTURE;
    m_pToonTex->LoadTexture(DataFolder::Path("Data/Shader/TEX/Toon.png").c_str());
    m_pSpeMapTex = new D3DZCTEXTURE;
    m_pSpeMapTex->LoadTexture(DataFolder::Path("Data/Shader/TEX/SpeMap.png").c_str());
    m_Toon.ShaderSetTexture("ToonTex", m_pToonTex);
    m_SpeMap.ShaderSetTexture("SphereTex", m_pSpeMapTex);
}

D3DZCVECTOR3 CShader::CameraPosition() const {
    const D3DZCAMERADATA pose = m_pCamera != nullptr ? *m_pCamera : D3DZCAMERADATA{};
    D3DXMATRIX translation, pitch, yaw, camera;
    D3DXMatrixTranslation(&translation, 0.0f, 0.0f, pose.vPos.z);
    D3DXMatrixRotationX(&pitch, pose.vRot.x * D3DZ_DEGREE_TO_RADIAN);
    D3DXMatrixRotationY(&yaw, pose.vRot.y * D3DZ_DEGREE_TO_RADIAN);
    D3DXMatrixMultiply(&camera, &translation, &pitch);
    D3DXMatrixMultiply(&camera, &camera, &yaw);
    return D3DZCVECTOR3(camera._41, camera._42, camera._43);
}

void CShader::DrawLit(D3DZCSHADERCREATE& effect, ShadedObject* data) {
    if (!Drawable(data))
        return;
    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    D3DZCVECTOR3 camPos = CameraPosition();
    D3DZCVECTOR3 lightDir = direct3d.GetLightDir(0);
    effect.SetContents(data->GetWorld(), &camPos, &lightDir);
    direct3d.SetWorldTrans(data->GetWorld());
    effect.DrawMesh(data->GetXData());
}

namespace {

// The model as an object at the origin: its copies bring their own world matrices.
class CopiedModel : public ShadedObject {
public:
    explicit CopiedModel(D3DZCXFILE& model) : m_model(model) {}
    D3DZCMATRIX* GetWorld() override { return &m_identity; }
    D3DZCXFILE* GetXData() override { return &m_model; }

private:
    D3DZCXFILE& m_model;
    D3DZCMATRIX m_identity;
};

} // namespace

void CShader::DrawCopies(void (CShader::*draw)(ShadedObject*), D3DZCXFILE& model,
                         IDirect3DVertexBuffer9* matrices, UINT offset, UINT count) {
    const ModelCopies::Streams copies(matrices, offset, count);
    CopiedModel copied(model);
    if (copies.Ready())
        (this->*draw)(&copied);
}

void CShader::DrawBase(ShadedObject* data) {
    DrawLit(m_Base, data);
}

void CShader::DrawToon(ShadedObject* data) {
    DrawLit(m_Toon, data);
}

void CShader::DrawSpeMap(ShadedObject* data) {
    DrawLit(m_SpeMap, data);
}

void CShader::DrawCreateShadow(ShadedObject* data) {
    if (!Drawable(data))
        return;
    m_ShadowMap.SetTransformWorld(data->GetWorld());
    m_ShadowMap.DrawMesh(data->GetXData());
}

void CShader::DrawShadow(ShadedObject* data) {
    if (!Drawable(data))
        return;
    D3DZCVECTOR3 camPos = CameraPosition();
    const D3DXVECTOR3 settingsLight(SettingStatics::m_fLightDirX, SettingStatics::m_fLightDirY,
                                    SettingStatics::m_fLightDirZ);
    D3DZCVECTOR3 lightDir;
    D3DXVec3Normalize(&lightDir, &settingsLight);
    m_ShadowSample.SetContents(data->GetWorld(), &camPos, &lightDir);
    m_ShadowSample.SetShadowMapData(m_ShadowMap.GetLVP(), m_ShadowMap.GetShadowTex());
    m_ShadowSample.DrawMesh(data->GetXData());
}

void CShader::ChangeTexture() {
    if (SettingStatics::isFileOk_1()) {
        ReloadTexture(m_pToonTex, SettingStatics::ToonName);
        m_Toon.ShaderSetTexture("ToonTex", m_pToonTex);
    }
    if (SettingStatics::isFileOk_2()) {
        ReloadTexture(m_pSpeMapTex, SettingStatics::SpeMapName);
        m_SpeMap.ShaderSetTexture("SphereTex", m_pSpeMapTex);
    }
}

// A file that is not a picture leaves white, so the effect still shows the material.
void CShader::ReloadTexture(D3DZCTEXTURE*& texture, const std::string& path) {
    if (texture == nullptr)
        texture = new D3DZCTEXTURE;
    texture->Release();
    texture->LoadTexture(path.c_str());
    if (texture->GetTex() != nullptr)
        return;
    texture->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    texture->Fill(DWORD{0xFFFFFFFF}, 0);
}

void CShader::FreeTexture(D3DZCTEXTURE*& texture) {
    if (texture != nullptr)
        texture->Release();
    delete texture;
    texture = nullptr;
}

void CShader::Release() {
    m_Base.ShaderRelease();
    m_Toon.ShaderRelease();
    m_SpeMap.ShaderRelease();
    m_ShadowMap.Release();
    m_ShadowSample.ShaderRelease();
    FreeTexture(m_pToonTex);
    FreeTexture(m_pSpeMapTex);
}

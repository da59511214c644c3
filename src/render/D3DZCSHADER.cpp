#include "D3DZCSHADER.h"

#include "D3DZCDIRECT3D.h"
#include "MessageBox.h"

ID3DXEffect* D3DZCompileEffect(const char* fileName) {
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT result = D3DXCreateEffectFromFileA(D3DZCDIRECT3D::GetInstance().GetDevice(), fileName,
                                                     nullptr, nullptr, 0, nullptr, &effect, &errors);
    if (FAILED(result) || effect == nullptr) {
        const char* text = errors != nullptr ? static_cast<const char*>(errors->GetBufferPointer()) : nullptr;
        MessageBoxA(nullptr, text != nullptr ? text : "", "シェーダコンパイルエラー", MB_OK);
        if (effect != nullptr)
            effect->Release();
        effect = nullptr;
    }
    if (errors != nullptr)
        errors->Release();
    // The editor's effects place each object by mW; drawn as copies, each copy brings its own.
    if (effect != nullptr)
        effect->SetCopiesMatrix("mW");
    return effect;
}

D3DZCSHADER::~D3DZCSHADER() {
    ShaderRelease();
}

void D3DZCSHADER::LoadFX(const char* fileName) {
    ShaderRelease();
    m_pEffect = D3DZCompileEffect(fileName);
    if (m_pEffect == nullptr)
        return;
    if (m_WhiteTex.CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED))
        m_WhiteTex.Fill<unsigned int>(0xFFFFFFFFu, 0);
}

void D3DZCSHADER::ShaderRelease() {
    if (m_pEffect != nullptr)
        m_pEffect->Release();
    m_pEffect = nullptr;
    m_WhiteTex.Release();
}

void D3DZCSHADER::ShaderSetMatrix(const char* name, const D3DXMATRIX* matrix) {
    if (m_pEffect != nullptr && matrix != nullptr)
        m_pEffect->SetMatrix(name, matrix);
}

void D3DZCSHADER::ShaderSetMatrix(const char* name, const D3DXMATRIX* matrices, UINT count) {
    if (m_pEffect != nullptr && matrices != nullptr)
        m_pEffect->SetMatrixArray(name, matrices, count);
}

void D3DZCSHADER::ShaderSetFloat4x4(const char* name, const D3DXMATRIX* matrix) {
    ShaderSetMatrix(name, matrix);
}

void D3DZCSHADER::ShaderSetVector(const char* name, const D3DXVECTOR3* vector) {
    ShaderSetValue(name, vector, 12);
}

void D3DZCSHADER::ShaderSetVector(const char* name, const D3DXVECTOR4* vector) {
    ShaderSetValue(name, vector, 16);
}

void D3DZCSHADER::ShaderSetFloat4(const char* name, const D3DXVECTOR4* vector) {
    if (m_pEffect != nullptr && vector != nullptr)
        m_pEffect->SetVector(name, vector);
}

void D3DZCSHADER::ShaderSetFloat4(const char* name, const D3DCOLORVALUE* colour) {
    ShaderSetValue(name, colour, 16);
}

void D3DZCSHADER::ShaderSetFloat3(const char* name, const D3DXVECTOR3* vector) {
    ShaderSetValue(name, vector, 12);
}

void D3DZCSHADER::ShaderSetFloat2(const char* name, const D3DXVECTOR2* vector) {
    ShaderSetValue(name, vector, 8);
}

void D3DZCSHADER::ShaderSetFloat(const char* name, float value) {
    if (m_pEffect != nullptr)
        m_pEffect->SetFloat(name, value);
}

void D3DZCSHADER::ShaderSetFloatArray(const char* name, const float* values, UINT count) {
    if (m_pEffect != nullptr && values != nullptr)
        m_pEffect->SetFloatArray(name, values, count);
}

void D3DZCSHADER::ShaderSetInt(const char* name, int value) {
    if (m_pEffect != nullptr)
        m_pEffect->SetInt(name, value);
}

void D3DZCSHADER::ShaderSetIntArray(const char* name, const int* values, UINT count) {
    if (m_pEffect != nullptr && values != nullptr)
        m_pEffect->SetIntArray(name, values, count);
}

void D3DZCSHADER::ShaderSetBool(const char* name, BOOL value) {
    if (m_pEffect != nullptr)
        m_pEffect->SetBool(name, value);
}

void D3DZCSHADER::ShaderSetBoolArray(const char* name, const BOOL* values, UINT count) {
    if (m_pEffect != nullptr && values != nullptr)
        m_pEffect->SetBoolArray(name, values, count);
}

void D3DZCSHADER::ShaderSetString(const char* name, const char* text) {
    if (m_pEffect != nullptr && text != nullptr)
        m_pEffect->SetString(name, text);
}

void D3DZCSHADER::ShaderSetString(const char* name, const std::string& text) {
    ShaderSetString(name, text.c_str());
}

void D3DZCSHADER::ShaderSetTexture(const char* name, const D3DZCTEXTURE* texture) {
    ShaderSetTexture(name, texture != nullptr ? texture->GetTex() : nullptr);
}

void D3DZCSHADER::ShaderSetTexture(const char* name, IDirect3DTexture9* texture) {
    if (m_pEffect != nullptr)
        m_pEffect->SetTexture(name, texture);
}

void D3DZCSHADER::ShaderSetMaterial(const char* diffuse, const char* ambient, const char* specular,
                                    const char* emissive, const char* power, const D3DMATERIAL9* material) {
    if (material == nullptr)
        return;
    ShaderSetFloat4(diffuse, &material->Diffuse);
    ShaderSetFloat4(ambient, &material->Ambient);
    ShaderSetFloat4(specular, &material->Specular);
    ShaderSetFloat4(emissive, &material->Emissive);
    ShaderSetFloat(power, material->Power);
}

void D3DZCSHADER::ShaderSetTechnique(const char* name) {
    if (m_pEffect != nullptr)
        m_pEffect->SetTechnique(name);
}

void D3DZCSHADER::ShaderBegin(UINT* passes, DWORD flags) {
    UINT count = 0;
    if (m_pEffect == nullptr || FAILED(m_pEffect->Begin(&count, flags)))
        count = 0;
    if (passes != nullptr)
        *passes = count;
}

void D3DZCSHADER::ShaderBeginPass(UINT pass) {
    if (m_pEffect != nullptr)
        m_pEffect->BeginPass(pass);
}

void D3DZCSHADER::ShaderCommitChanges() {
    if (m_pEffect != nullptr)
        m_pEffect->CommitChanges();
}

void D3DZCSHADER::ShaderEndPass() {
    if (m_pEffect != nullptr)
        m_pEffect->EndPass();
}

void D3DZCSHADER::ShaderEnd() {
    if (m_pEffect != nullptr)
        m_pEffect->End();
}

// Diffuse and specular are material times light (specular's fourth component 1); the light's ambient
// reaches the effect only as its red component.
void D3DZCSHADER::SetMaterialParameters(const D3DMATERIAL9& material, const D3DLIGHT9& light,
                                        bool withEmissive) {
    const D3DCOLORVALUE& md = material.Diffuse;
    const D3DCOLORVALUE& ld = light.Diffuse;
    const D3DXVECTOR4 diffuse(md.r * ld.r, md.g * ld.g, md.b * ld.b, md.a * ld.a);
    const D3DCOLORVALUE& ms = material.Specular;
    const D3DCOLORVALUE& ls = light.Specular;
    const D3DXVECTOR4 specular(ms.r * ls.r, ms.g * ls.g, ms.b * ls.b, 1.0f);
    ShaderSetFloat4("Diffuse", &diffuse);
    ShaderSetFloat("Ambient", light.Ambient.r);
    ShaderSetFloat4("Specular", &specular);
    if (withEmissive)
        ShaderSetFloat4("Emissive", &material.Emissive);
    ShaderSetFloat("Power", material.Power);
}

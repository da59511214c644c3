// One D3DX effect with a 1x1 opaque white texture for materials that have none, and forwarders that
// set the effect's parameters by name. Every forwarder does nothing while no effect is loaded, and
// their results are ignored: an effect file declares only the parameters its technique reads.
#pragma once

#include "D3DZCTEXTURE.h"
#include "d3dx9effect.h"

#include <string>

class D3DZCSHADER {
public:
    D3DZCSHADER() = default;
    virtual ~D3DZCSHADER();
    D3DZCSHADER(const D3DZCSHADER&) = delete;
    D3DZCSHADER& operator=(const D3DZCSHADER&) = delete;

    // Compile errors are shown in a message box and leave the object without an effect.
    void LoadFX(const char* fileName);
    void ShaderRelease();

    void ShaderSetMatrix(const char* name, const D3DXMATRIX* matrix);
    void ShaderSetMatrix(const char* name, const D3DXMATRIX* matrices, UINT count);
    void ShaderSetFloat4x4(const char* name, const D3DXMATRIX* matrix);
    void ShaderSetVector(const char* name, const D3DXVECTOR3* vector);
    void ShaderSetVector(const char* name, const D3DXVECTOR4* vector);
    void ShaderSetFloat4(const char* name, const D3DXVECTOR4* vector);
    void ShaderSetFloat4(const char* name, const D3DCOLORVALUE* colour);
    void ShaderSetFloat3(const char* name, const D3DXVECTOR3* vector);
    void ShaderSetFloat2(const char* name, const D3DXVECTOR2* vector);
    void ShaderSetFloat(const char* name, float value);
    void ShaderSetFloatArray(const char* name, const float* values, UINT count);
    void ShaderSetInt(const char* name, int value);
    void ShaderSetIntArray(const char* name, const int* values, UINT count);
    void ShaderSetBool(const char* name, BOOL value);
    void ShaderSetBoolArray(const char* name, const BOOL* values, UINT count);
    void ShaderSetString(const char* name, const char* text);
    void ShaderSetString(const char* name, const std::string& text);
    void ShaderSetTexture(const char* name, const D3DZCTEXTURE* texture);
    void ShaderSetTexture(const char* name, IDirect3DTexture9* texture);
    template <typename T> void ShaderSetValue(const char* name, const T* value, UINT bytes);
    void ShaderSetMaterial(const char* diffuse, const char* ambient, const char* specular,
                           const char* emissive, const char* power, const D3DMATERIAL9* material);

    void ShaderSetTechnique(const char* name);
    // passes is 0 when there is no effect or Begin fails.
    void ShaderBegin(UINT* passes, DWORD flags);
    void ShaderBeginPass(UINT pass);
    void ShaderCommitChanges();
    void ShaderEndPass();
    void ShaderEnd();

    ID3DXEffect* GetEffect() const { return m_pEffect; }
    const D3DZCTEXTURE& GetWhiteTex() const { return m_WhiteTex; }

protected:
    ID3DXEffect* m_pEffect = nullptr;
    D3DZCTEXTURE m_WhiteTex;

protected:
    // The per-material parameters "Diffuse", "Ambient", "Specular", "Power" and, when asked, "Emissive".
    void SetMaterialParameters(const D3DMATERIAL9& material, const D3DLIGHT9& light, bool withEmissive);
};

template <typename T> void D3DZCSHADER::ShaderSetValue(const char* name, const T* value, UINT bytes) {
    if (m_pEffect != nullptr && value != nullptr)
        m_pEffect->SetValue(name, value, bytes);
}

// Compiles an effect file; on failure shows the compiler's text captioned as a shader compile error
// and returns null. Shared by every effect wrapper of the library.
ID3DXEffect* D3DZCompileEffect(const char* fileName);

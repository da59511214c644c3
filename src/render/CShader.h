// The editor's effects, one per shading mode of the render-mode list, and the shadow-map pass, with
// the toon ramp and sphere-map textures they read. The camera position of every effect draw comes
// from the orbit camera's distance, pitch and yaw only: pan, roll and follow mode do not move it.
#pragma once

#include "D3DZCSHADERCREATE.h"
#include "D3DZCSHADER_SHADOWMAP.h"
#include "D3DZVectorRecordFiles.h"
#include "ShadedObject.h"

class CShader {
public:
    static CShader& GetInstance();

    // Loads the five effects and the two default textures; again after every new device.
    void Init();
    void DrawBase(ShadedObject* data);
    void DrawToon(ShadedObject* data);
    void DrawSpeMap(ShadedObject* data);
    // One object into the shadow map, between the shadow map's Begin and End.
    void DrawCreateShadow(ShadedObject* data);
    // One object lit from the settings' light direction and darkened by this frame's shadow map.
    void DrawShadow(ShadedObject* data);
    // One of the draws above for count copies of model, placed by the matrices (ModelCopies' drawer).
    void DrawCopies(void (CShader::*draw)(ShadedObject*), D3DZCXFILE& model, IDirect3DVertexBuffer9* matrices,
                    UINT offset, UINT count);
    // Once per frame: reloads a toon or sphere-map texture the user has just chosen.
    void ChangeTexture();
    void Release();

    // The camera whose pose the effects see; null reads as distance 0 and no rotation.
    void SetCamera(const D3DZCAMERADATA* camera) { m_pCamera = camera; }
    // The camera position the effects get: (0, 0, distance) turned by pitch about X, then yaw about Y.
    D3DZCVECTOR3 CameraPosition() const;

    D3DZCSHADER_SHADOWMAP& GetShadowMap() { return m_ShadowMap; }
    D3DZCSHADERCREATE& GetShadowSample() { return m_ShadowSample; }
    D3DZCSHADERCREATE& GetBase() { return m_Base; }
    D3DZCSHADERCREATE& GetToon() { return m_Toon; }
    D3DZCSHADERCREATE& GetSpeMap() { return m_SpeMap; }
    D3DZCTEXTURE* GetToonTex() const { return m_pToonTex; }
    D3DZCTEXTURE* GetSpeMapTex() const { return m_pSpeMapTex; }

private:
    CShader() = default;
    ~CShader();
    CShader(const CShader&) = delete;
    CShader& operator=(const CShader&) = delete;

    void DrawLit(D3DZCSHADERCREATE& effect, ShadedObject* data);
    static void ReloadTexture(D3DZCTEXTURE*& texture, const std::string& path);
    static void FreeTexture(D3DZCTEXTURE*& texture);

    D3DZCSHADER_SHADOWMAP m_ShadowMap;
    D3DZCSHADERCREATE m_ShadowSample;
    D3DZCSHADERCREATE m_Base;
    D3DZCSHADERCREATE m_Toon;
    D3DZCSHADERCREATE m_SpeMap;
    D3DZCTEXTURE* m_pToonTex = nullptr;
    D3DZCTEXTURE* m_pSpeMapTex = nullptr;
    const D3DZCAMERADATA* m_pCamera = nullptr;
};

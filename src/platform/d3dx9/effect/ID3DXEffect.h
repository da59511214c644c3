// D3DX's effect: named parameters shared by the passes of the effect's techniques, each pass a GLSL
// program with the render states it sets. Parameters are GLSL uniforms of the same name in every pass;
// a texture parameter is a sampler2D of its name, on a texture stage of its own (the first texture
// declared on stage 0, the next on stage 1...).
//
// Setting a parameter the effect does not declare, or a value that does not fit the parameter's type
// and size, returns D3DERR_INVALIDCALL and changes nothing. Values reach GL when a pass begins and on
// CommitChanges within a pass.
#pragma once

#include "EffectFile.h"
#include "EffectParameter.h"
#include "Unknown.h"
#include "d3d9.h"

#include <memory>
#include <string>
#include <vector>

using D3DXHANDLE = const char*;

// Begin's flags: which device state End does not restore.
constexpr DWORD D3DXFX_DONOTSAVESTATE = 1;
constexpr DWORD D3DXFX_DONOTSAVESHADERSTATE = 2;
constexpr DWORD D3DXFX_DONOTSAVESAMPLERSTATE = 4;

class ID3DXEffect : public IUnknown {
public:
    // Compiles every pass; on failure returns null with the compiler's log, naming the file (name), the
    // technique, the pass and the stage, in log.
    static ID3DXEffect* Create(IDirect3DDevice9* device, const EffectFile& file, const std::string& name,
                               std::string& log);

    HRESULT SetValue(D3DXHANDLE name, const void* data, UINT bytes);
    HRESULT SetBool(D3DXHANDLE name, BOOL value);
    HRESULT SetBoolArray(D3DXHANDLE name, const BOOL* values, UINT count);
    HRESULT SetInt(D3DXHANDLE name, INT value);
    HRESULT SetIntArray(D3DXHANDLE name, const INT* values, UINT count);
    HRESULT SetFloat(D3DXHANDLE name, FLOAT value);
    HRESULT SetFloatArray(D3DXHANDLE name, const FLOAT* values, UINT count);
    // Writes as many of the four components as the parameter holds.
    HRESULT SetVector(D3DXHANDLE name, const D3DXVECTOR4* vector);
    // Matrices go to float4x4 parameters only; an array takes its first count elements.
    HRESULT SetMatrix(D3DXHANDLE name, const D3DXMATRIX* matrix);
    HRESULT SetMatrixArray(D3DXHANDLE name, const D3DXMATRIX* matrices, UINT count);
    HRESULT SetString(D3DXHANDLE name, const char* text);
    HRESULT SetTexture(D3DXHANDLE name, IDirect3DBaseTexture9* texture);
    HRESULT GetString(D3DXHANDLE name, const char** text);
    HRESULT GetTexture(D3DXHANDLE name, IDirect3DBaseTexture9** texture);
    // The parameter's handle (its name as the effect keeps it), null when there is none. Only
    // top-level parameters exist, so parent must be null.
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name);

    HRESULT SetTechnique(D3DXHANDLE name);
    // Instanced copies (the device's stream 1 with D3DSTREAMSOURCE_INSTANCEDATA) take this float4x4
    // parameter from stream 1, one matrix per copy: each pass whose vertex stage declares it as
    // "uniform mat4 <name>;" is also built with it as a vertex input, when a pass first begins.
    // Passes without it refuse copies. Not part of Direct3D's D3DX, whose effects read instance
    // streams through vertex declarations.
    HRESULT SetCopiesMatrix(D3DXHANDLE name);
    D3DXHANDLE GetCurrentTechnique();
    // Saves the render states the technique's passes set and the texture stages its parameters use,
    // unless flags has D3DXFX_DONOTSAVESTATE; End puts them back.
    HRESULT Begin(UINT* passes, DWORD flags);
    HRESULT BeginPass(UINT pass);
    HRESULT CommitChanges();
    HRESULT EndPass();
    HRESULT End();

    HRESULT GetDevice(IDirect3DDevice9** device);
    HRESULT OnLostDevice() { return S_OK; }
    HRESULT OnResetDevice() { return S_OK; }

private:
    struct Pass {
        std::string name;
        std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> states;
        unsigned program = 0;
        std::vector<int> locations; // of each parameter's uniform, -1 where the program has none
        std::string vertexSource, fragmentSource;
        // The pass built to draw copies, once tried; 0 where its vertex stage does not declare the
        // copies' matrix.
        bool copiesTried = false;
        unsigned copiesProgram = 0;
        std::vector<int> copiesLocations;
    };
    struct Technique {
        std::string name;
        std::vector<Pass> passes;
    };

    explicit ID3DXEffect(IDirect3DDevice9* device);
    ~ID3DXEffect() override;

    bool Build(const EffectFile& file, const std::string& name, std::string& log);
    bool BuildPass(const EffectPassDecl& decl, const std::string& where, Pass& pass, std::string& log);
    EffectParameter* Find(D3DXHANDLE name);
    void BuildCopies(Pass& pass);
    HRESULT Result(bool ok) { return ok ? S_OK : D3DERR_INVALIDCALL; }
    void SaveState();
    void RestoreState();
    void Upload(bool changedOnly);

    IDirect3DDevice9* m_device;
    std::vector<std::unique_ptr<EffectParameter>> m_parameters;
    std::vector<Technique> m_techniques;
    std::size_t m_technique = 0;
    bool m_begun = false;
    int m_pass = -1;
    std::string m_copiesMatrix; // SetCopiesMatrix's parameter, empty until set
    bool m_saving = false;
    std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> m_savedStates;
    std::vector<std::pair<DWORD, IDirect3DBaseTexture9*>> m_savedTextures;
};

using LPD3DXEFFECT = ID3DXEffect*;

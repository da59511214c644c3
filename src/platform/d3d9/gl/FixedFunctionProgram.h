// Direct3D 9's fixed-function pipeline as one GLSL program: world, view and projection transforms
// with vertex blending of up to four world matrices, the lighting equation for directional lights
// (material or vertex colours, global ambient, specular with power, emissive), texture stage 0 with
// its colour and alpha operations, the specular add, alpha testing, and the constant-colour pixel
// shaders this system assembles.
#pragma once

#include "d3d9types.h"

#include <array>

class FixedFunctionProgram {
public:
    struct Light {
        D3DXVECTOR3 direction; // Direct3D's direction, from the light, in world space
        D3DXCOLOR diffuse, specular, ambient;

        bool operator==(const Light&) const = default;
    };

    // Everything the program reads, gathered by the device when its state changes.
    struct Inputs {
        std::array<D3DXMATRIX, 4> world;
        D3DXMATRIX view, projection;
        int blendMatrices = 1; // 1 = no blending
        bool indexedBlend = false;
        DWORD fvf = 0;
        bool lighting = false;
        D3DXCOLOR globalAmbient;
        D3DMATERIAL9 material;
        int diffuseSource = D3DMCS_COLOR1, ambientSource = D3DMCS_MATERIAL;
        int specularSource = D3DMCS_COLOR2, emissiveSource = D3DMCS_MATERIAL;
        bool colorVertex = true, specularEnable = false, localViewer = true, normalizeNormals = false;
        int lightCount = 0;
        std::array<Light, 8> lights;
        bool textureBound = false;
        int colorOp = D3DTOP_MODULATE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
        int alphaOp = D3DTOP_SELECTARG1, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
        D3DXCOLOR textureFactor;
        int pixelShaderSource = -1; // -1 none, else IDirect3DPixelShader9::Source
        D3DXCOLOR pixelConstant;
        bool alphaTest = false;
        int alphaFunc = D3DCMP_ALWAYS;
        float alphaRef = 0.0f;
        bool instanced = false; // world matrices per copy from the InstanceWorld attributes

        bool operator==(const Inputs&) const = default;
    };

    FixedFunctionProgram();
    ~FixedFunctionProgram();
    FixedFunctionProgram(const FixedFunctionProgram&) = delete;
    FixedFunctionProgram& operator=(const FixedFunctionProgram&) = delete;

    bool IsValid() const { return m_program != 0; }
    void Use();
    // Sends the inputs to the program; nothing to do when they equal the last ones sent.
    void Upload(const Inputs& inputs);

    // The attribute slots of the vertex stage.
    // InstanceWorld takes four slots, one per row of the matrix.
    enum Attribute { Position = 0, Normal, Diffuse, Specular, TexCoord, Weights, Indices, InstanceWorld };

private:
    int Location(const char* name) const;
    void UploadMaterial(const D3DMATERIAL9& material);
    void UploadState(const Inputs& inputs);

    unsigned m_program = 0;
    int m_worldLocation = -1, m_viewLocation = -1, m_projectionLocation = -1;
    std::array<int, 5> m_materialLocations{-1, -1, -1, -1, -1}; // diffuse, ambient, specular, emissive, power
    Inputs m_uploaded;
    bool m_anyUploaded = false;
};

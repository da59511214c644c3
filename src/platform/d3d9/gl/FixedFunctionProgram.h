// Direct3D 9's fixed-function pipeline as a GLSL program: world, view and projection transforms
// with vertex blending of up to four world matrices, the lighting equation for directional lights
// (material or vertex colours, global ambient, specular with power, emissive), texture stage 0 with
// its colour and alpha operations, the specular add, alpha testing, and the constant-colour pixel
// shaders this system assembles.
// One program is built for each number of enabled lights, when first used: with the count fixed the
// light loop unrolls, and Mesa's software renderer shades vertices about a third faster than through
// a loop whose length it learns per draw (the same arithmetic, so the same pixels).
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

    bool IsValid() const { return m_variants[0].program != 0; }
    // Makes the program for the inputs' light count current and sends it the inputs; nothing is sent
    // when they equal the last ones that program received.
    void Use(const Inputs& inputs);

    // The attribute slots of the vertex stage.
    // InstanceWorld takes four slots, one per row of the matrix.
    enum Attribute { Position = 0, Normal, Diffuse, Specular, TexCoord, Weights, Indices, InstanceWorld };

private:
    struct Variant {
        unsigned program = 0;
        bool built = false; // tried, whether or not it compiled
        int worldLocation = -1, viewLocation = -1, projectionLocation = -1;
        std::array<int, 5> materialLocations{-1, -1, -1, -1,
                                             -1}; // diffuse, ambient, specular, emissive, power
        Inputs uploaded;
        bool anyUploaded = false;
    };

    Variant& VariantFor(int lightCount);
    static void Build(Variant& variant, int lightCount);
    static void Upload(Variant& variant, const Inputs& inputs);
    static void UploadMaterial(const Variant& variant, const D3DMATERIAL9& material);
    static void UploadState(const Variant& variant, const Inputs& inputs);

    std::array<Variant, 9> m_variants; // by the number of lights, 0 to 8
};

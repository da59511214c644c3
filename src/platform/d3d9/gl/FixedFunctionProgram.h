// Direct3D 9's fixed-function pipeline as a GLSL program: world, view and projection transforms
// with vertex blending of up to four world matrices, the lighting equation for directional lights
// (material or vertex colours, global ambient, specular with power, emissive), texture stage 0 with
// its colour and alpha operations, the specular add, alpha testing, and the constant-colour pixel
// shaders this system assembles.
// A program is built for each combination of the settings that choose a path through the stages
// (the number of lights, the vertex format, lighting and colour sources, blending, copies, texture
// stage 0's operations, the pixel shader kind, the alpha test) when first drawn with: with those
// fixed, loops unroll and each stage keeps only the path it takes. Mesa's software renderer runs
// every side of a branch on a uniform, and spent most of a big scene's frame doing so. Matrices,
// colours and lights stay uniforms. The arithmetic is the same, so are the pixels.
#pragma once

#include "d3d9types.h"

#include <array>
#include <map>

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

    // What a program is built for: the value of each setting that chooses a path through its stages.
    using Key = std::array<int, 26>;

    FixedFunctionProgram();
    ~FixedFunctionProgram();
    FixedFunctionProgram(const FixedFunctionProgram&) = delete;
    FixedFunctionProgram& operator=(const FixedFunctionProgram&) = delete;

    bool IsValid() const { return m_valid; }
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

    static Key KeyOf(const Inputs& inputs);
    Variant* VariantFor(const Inputs& inputs);
    static void Build(Variant& variant, const Key& key);
    static void Upload(Variant& variant, const Inputs& inputs);
    static void UploadMaterial(const Variant& variant, const D3DMATERIAL9& material);
    static void UploadState(const Variant& variant, const Inputs& inputs);

    std::map<Key, Variant> m_variants;
    bool m_valid = false;
};

// Textured triangles in render-target pixels, drawn over whatever the device has drawn: the common
// back end of the text and sprite objects. Positions are pixels of the current render target with y
// down (a quad from (x, y) to (x + w, y + h) covers exactly those pixels, so a texture drawn at its
// own size maps one texel to one pixel); drawing is cut to the device's viewport.
#pragma once

#include "d3d9.h"

#include <cstddef>
#include <memory>

struct ScreenVertex {
    float x = 0, y = 0;
    float u = 0, v = 0;
    D3DCOLOR color = 0xFFFFFFFFu;
};

class ScreenQuadRenderer {
public:
    // Coverage: the texture's red channel scales the colour's alpha (text). Texture: texture times
    // colour. OpaqueTexture: as Texture with the texture's alpha taken as 1 (X8R8G8B8).
    enum class Source { Coverage = 0, Texture = 1, OpaqueTexture = 2 };
    enum class Filter { Nearest, Linear };

    struct Batch {
        unsigned texture = 0;
        Source source = Source::Texture;
        Filter filter = Filter::Nearest;
        bool blend = true;     // source alpha over the target
        bool alphaTest = true; // fragments of alpha 0 leave the target alone
    };

    // Builds the GL objects on the context, which must be current.
    explicit ScreenQuadRenderer(std::shared_ptr<GLContext> context);
    ~ScreenQuadRenderer();
    ScreenQuadRenderer(const ScreenQuadRenderer&) = delete;
    ScreenQuadRenderer& operator=(const ScreenQuadRenderer&) = delete;

    bool IsValid() const { return m_program != 0; }

    // Draws count vertices, three to a triangle, on the device's current render target.
    bool Draw(IDirect3DDevice9& device, const Batch& batch, const ScreenVertex* vertices, std::size_t count);

    // The pixels drawing can reach: the device's viewport cut to its render target. False when the
    // device has no render target.
    static bool VisibleBounds(IDirect3DDevice9& device, RECT& bounds);

private:
    static bool TargetSize(IDirect3DDevice9& device, UINT& width, UINT& height);
    void BuildProgram();
    void BuildVertexArray();
    void ApplyState(const Batch& batch, UINT targetWidth, UINT targetHeight);

    std::shared_ptr<GLContext> m_context;
    unsigned m_program = 0;
    unsigned m_vertexArray = 0;
    unsigned m_vertexBuffer = 0;
    unsigned m_nearestSampler = 0;
    unsigned m_linearSampler = 0;
    int m_targetSizeLocation = -1;
    int m_sourceLocation = -1;
    int m_alphaTestLocation = -1;
};

#include "ScreenQuadRenderer.h"

#include "GLProgram.h"
#include "ScreenQuad.frag.h"
#include "ScreenQuad.vert.h"

#include <algorithm>
#include <cstdio>
#include <epoxy/gl.h>

namespace {

unsigned MakeSampler(GLint filter) {
    GLuint sampler = 0;
    glGenSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, filter);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, filter);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return sampler;
}

} // namespace

ScreenQuadRenderer::ScreenQuadRenderer(std::shared_ptr<GLContext> context) : m_context(std::move(context)) {
    if (!m_context || !m_context->MakeCurrent())
        return;
    BuildProgram();
    BuildVertexArray();
    // Non-mipmapped filters: a texture whose lower levels were never filled still samples level 0.
    m_nearestSampler = MakeSampler(GL_NEAREST);
    m_linearSampler = MakeSampler(GL_LINEAR);
}

ScreenQuadRenderer::~ScreenQuadRenderer() {
    if (!m_context || !m_context->MakeCurrent())
        return;
    glDeleteSamplers(1, &m_nearestSampler);
    glDeleteSamplers(1, &m_linearSampler);
    glDeleteBuffers(1, &m_vertexBuffer);
    glDeleteVertexArrays(1, &m_vertexArray);
    if (m_program)
        glDeleteProgram(m_program);
}

void ScreenQuadRenderer::BuildProgram() {
    std::string log;
    m_program = GLProgram::Build(kScreenQuadVert, kScreenQuadFrag, log);
    if (!m_program) {
        std::fprintf(stderr, "screen quad program: %s\n", log.c_str());
        return;
    }
    m_targetSizeLocation = glGetUniformLocation(m_program, "uTargetSize");
    m_sourceLocation = glGetUniformLocation(m_program, "uSource");
    m_alphaTestLocation = glGetUniformLocation(m_program, "uAlphaTest");
    glUseProgram(m_program);
    glUniform1i(glGetUniformLocation(m_program, "uTexture"), 0);
}

void ScreenQuadRenderer::BuildVertexArray() {
    glGenVertexArrays(1, &m_vertexArray);
    glGenBuffers(1, &m_vertexBuffer);
    glBindVertexArray(m_vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    constexpr GLsizei stride = sizeof(ScreenVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(ScreenVertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(ScreenVertex, u)));
    // D3DCOLOR sits in memory as B, G, R, A bytes.
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(ScreenVertex, color)));
    glBindVertexArray(0);
}

bool ScreenQuadRenderer::TargetSize(IDirect3DDevice9& device, UINT& width, UINT& height) {
    IDirect3DSurface9* target = nullptr;
    if (device.GetRenderTarget(0, &target) != S_OK || target == nullptr)
        return false;
    D3DSURFACE_DESC desc;
    target->GetDesc(&desc);
    target->Release();
    width = desc.Width;
    height = desc.Height;
    return true;
}

bool ScreenQuadRenderer::VisibleBounds(IDirect3DDevice9& device, RECT& bounds) {
    UINT width = 0, height = 0;
    D3DVIEWPORT9 viewport;
    if (!TargetSize(device, width, height) || device.GetViewport(&viewport) != S_OK)
        return false;
    using Wide = unsigned long long;
    bounds.left = static_cast<LONG>(std::min<Wide>(viewport.X, width));
    bounds.top = static_cast<LONG>(std::min<Wide>(viewport.Y, height));
    bounds.right = static_cast<LONG>(std::min<Wide>(Wide{viewport.X} + viewport.Width, width));
    bounds.bottom = static_cast<LONG>(std::min<Wide>(Wide{viewport.Y} + viewport.Height, height));
    return true;
}

void ScreenQuadRenderer::ApplyState(const Batch& batch, UINT targetWidth, UINT targetHeight) {
    // The whole target is the GL viewport so that vertices are plain target pixels; the scissor box,
    // which the device has set to its viewport, still cuts the drawing.
    glViewport(0, 0, static_cast<GLsizei>(targetWidth), static_cast<GLsizei>(targetHeight));
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (batch.blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glBlendEquation(GL_FUNC_ADD);
    } else {
        glDisable(GL_BLEND);
    }
    glUseProgram(m_program);
    glUniform2f(m_targetSizeLocation, static_cast<float>(targetWidth), static_cast<float>(targetHeight));
    glUniform1i(m_sourceLocation, static_cast<GLint>(batch.source));
    glUniform1i(m_alphaTestLocation, batch.alphaTest ? 1 : 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, batch.texture);
    glBindSampler(0, batch.filter == Filter::Linear ? m_linearSampler : m_nearestSampler);
}

bool ScreenQuadRenderer::Draw(IDirect3DDevice9& device, const Batch& batch, const ScreenVertex* vertices,
                              std::size_t count) {
    if (!IsValid() || vertices == nullptr || batch.texture == 0)
        return false;
    count -= count % 3;
    if (count == 0)
        return true;
    UINT width = 0, height = 0;
    if (!TargetSize(device, width, height) || !device.PrepareToDraw())
        return false;
    ApplyState(batch, width, height);
    glBindVertexArray(m_vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(ScreenVertex)), vertices,
                 GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count));
    glBindVertexArray(0);
    return true;
}

// A headless OpenGL 3.3 core context through EGL's surfaceless platform (Mesa): tools and tests draw
// into framebuffer objects without any window or display server.
#pragma once

#include "GLContext.h"

#include <memory>

class EglSurfacelessContext : public GLContext {
public:
    // Null when EGL or a 3.3 core context is not available, or when hardwareOnly and the renderer is
    // a software one.
    static std::unique_ptr<EglSurfacelessContext> Create(bool hardwareOnly);
    ~EglSurfacelessContext() override;

    bool MakeCurrent() override;
    unsigned WindowFramebuffer() const override { return 0; }
    int WindowWidth() const override { return 0; }
    int WindowHeight() const override { return 0; }
    void SwapBuffers() override {}

private:
    EglSurfacelessContext(void* display, void* context) : m_display(display), m_context(context) {}

    void* m_display;
    void* m_context;
};

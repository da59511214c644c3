// A device context that shows in a Qt window: an OpenGL 3.3 core QOpenGLContext on the window's
// surface. The device draws into its own framebuffers and copies finished frames into the window's.
#pragma once

#include "GLContext.h"

#include <memory>

class QOpenGLContext;
class QWindow;

class QtWindowContext : public GLContext {
public:
    // Null when the window cannot have a 3.3 core context, or when hardwareOnly and it is software.
    static std::unique_ptr<QtWindowContext> Create(QWindow* window, bool hardwareOnly);
    ~QtWindowContext() override;

    bool MakeCurrent() override;
    unsigned WindowFramebuffer() const override;
    int WindowWidth() const override;
    int WindowHeight() const override;
    void SwapBuffers() override;

    // Lets devices be created for Qt windows: the handle of a window is its QWindow pointer.
    static void InstallFactory();
    static HWND HandleOf(QWindow* window) { return reinterpret_cast<HWND>(window); }

private:
    QtWindowContext(QWindow* window, std::unique_ptr<QOpenGLContext> context);

    QWindow* m_window;
    std::unique_ptr<QOpenGLContext> m_context;
};

// An OpenGL 3.3 core context for the graphics device, with the window it shows in (if any). The
// device renders into its own framebuffers; the window only receives finished frames.
#pragma once

#include "Win32Types.h"

#include <functional>
#include <memory>
#include <string>

class GLContext {
public:
    virtual ~GLContext() = default;

    // Makes the context current on this thread; cheap when it already is.
    virtual bool MakeCurrent() = 0;
    // The framebuffer that shows in the window, and its size in pixels; 0 by 0 when there is none.
    virtual unsigned WindowFramebuffer() const = 0;
    virtual int WindowWidth() const = 0;
    virtual int WindowHeight() const = 0;
    // Shows the window framebuffer's contents; nothing to do without a window.
    virtual void SwapBuffers() = 0;

    // The renderer string, and whether it is Mesa's software rasteriser rather than a GPU.
    std::string Renderer() const;
    std::string Version() const;
    bool IsSoftwareRenderer() const;
};

// Where device contexts come from. A window's toolkit installs a factory for its windows; without
// one, or for a null window, contexts are headless (EGL without a surface).
class GLContextProvider {
public:
    // hardwareOnly: refuse a context whose renderer is not a GPU.
    using Factory = std::function<std::unique_ptr<GLContext>(HWND window, bool hardwareOnly)>;

    static void SetWindowFactory(Factory factory);
    static std::shared_ptr<GLContext> Create(HWND window, bool hardwareOnly);
    static std::shared_ptr<GLContext> Headless(bool hardwareOnly);
};

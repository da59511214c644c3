#include "GLContext.h"

#include "EglSurfacelessContext.h"

#include <epoxy/gl.h>

namespace {

GLContextProvider::Factory& WindowFactory() {
    static GLContextProvider::Factory factory;
    return factory;
}

std::string GLString(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text ? text : "";
}

} // namespace

std::string GLContext::Renderer() const {
    return GLString(GL_RENDERER);
}
std::string GLContext::Version() const {
    return GLString(GL_VERSION);
}

bool GLContext::IsSoftwareRenderer() const {
    const std::string renderer = Renderer();
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (renderer.find(software) != std::string::npos)
            return true;
    return false;
}

void GLContextProvider::SetWindowFactory(Factory factory) {
    WindowFactory() = std::move(factory);
}

std::shared_ptr<GLContext> GLContextProvider::Create(HWND window, bool hardwareOnly) {
    if (window != nullptr && WindowFactory())
        return WindowFactory()(window, hardwareOnly);
    return Headless(hardwareOnly);
}

std::shared_ptr<GLContext> GLContextProvider::Headless(bool hardwareOnly) {
    return EglSurfacelessContext::Create(hardwareOnly);
}

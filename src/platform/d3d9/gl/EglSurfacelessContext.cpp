#include "EglSurfacelessContext.h"

#include <epoxy/egl.h>
#include <epoxy/gl.h>

namespace {

EGLDisplay SurfacelessDisplay() {
    static EGLDisplay display = [] {
        if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless"))
            return EGL_NO_DISPLAY;
        EGLDisplay d = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (d == EGL_NO_DISPLAY || !eglInitialize(d, &major, &minor))
            return EGL_NO_DISPLAY;
        return d;
    }();
    return display;
}

} // namespace

std::unique_ptr<EglSurfacelessContext> EglSurfacelessContext::Create(bool hardwareOnly) {
    EGLDisplay display = SurfacelessDisplay();
    if (display == EGL_NO_DISPLAY || !eglBindAPI(EGL_OPENGL_API))
        return nullptr;
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 3,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT)
        return nullptr;
    std::unique_ptr<EglSurfacelessContext> created(new EglSurfacelessContext(display, context));
    if (!created->MakeCurrent() || (hardwareOnly && created->IsSoftwareRenderer()))
        return nullptr;
    return created;
}

EglSurfacelessContext::~EglSurfacelessContext() {
    if (eglGetCurrentContext() == m_context)
        eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(m_display, m_context);
}

bool EglSurfacelessContext::MakeCurrent() {
    if (eglGetCurrentContext() == m_context)
        return true;
    return eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context) == EGL_TRUE;
}

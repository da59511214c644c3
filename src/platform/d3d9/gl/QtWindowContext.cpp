#include "QtWindowContext.h"

#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWindow>

std::unique_ptr<QtWindowContext> QtWindowContext::Create(QWindow* window, bool hardwareOnly) {
    if (window == nullptr)
        return nullptr;
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(0);
    format.setSwapInterval(0);
    if (window->surfaceType() != QSurface::OpenGLSurface) {
        window->setSurfaceType(QSurface::OpenGLSurface);
        window->setFormat(format);
        window->create();
    }
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!context->create() || context->format().version() < qMakePair(3, 3))
        return nullptr;
    std::unique_ptr<QtWindowContext> created(new QtWindowContext(window, std::move(context)));
    if (!created->MakeCurrent() || (hardwareOnly && created->IsSoftwareRenderer()))
        return nullptr;
    return created;
}

QtWindowContext::QtWindowContext(QWindow* window, std::unique_ptr<QOpenGLContext> context)
    : m_window(window), m_context(std::move(context)) {}

QtWindowContext::~QtWindowContext() {
    if (QOpenGLContext::currentContext() == m_context.get())
        m_context->doneCurrent();
}

bool QtWindowContext::MakeCurrent() {
    if (QOpenGLContext::currentContext() == m_context.get())
        return true;
    return m_context->makeCurrent(m_window);
}

unsigned QtWindowContext::WindowFramebuffer() const {
    return m_context->defaultFramebufferObject();
}

int QtWindowContext::WindowWidth() const {
    return static_cast<int>(m_window->width() * m_window->devicePixelRatio());
}

int QtWindowContext::WindowHeight() const {
    return static_cast<int>(m_window->height() * m_window->devicePixelRatio());
}

void QtWindowContext::SwapBuffers() {
    if (m_window->isExposed())
        m_context->swapBuffers(m_window);
}

void QtWindowContext::InstallFactory() {
    GLContextProvider::SetWindowFactory([](HWND window, bool hardwareOnly) -> std::unique_ptr<GLContext> {
        return Create(reinterpret_cast<QWindow*>(window), hardwareOnly);
    });
}

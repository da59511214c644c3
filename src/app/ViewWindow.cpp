#include "ViewWindow.h"

#include "WindowRegistry.h"

#include <QSurfaceFormat>
#include <QWheelEvent>

ViewWindow::ViewWindow() {
    // The surface type and format cannot change once the native window exists, and the window container
    // creates it as soon as it is shown, which is before the device asks for a GL context on it.
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(0);
    format.setSwapInterval(0);
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(format);
    WindowRegistry::GetInstance().Register(Handle(), this);
}

ViewWindow::~ViewWindow() {
    WindowRegistry::GetInstance().Unregister(Handle());
}

POINT ViewWindow::ClientOriginOnScreen() const {
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    return POINT{origin.x(), origin.y()};
}

bool ViewWindow::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Wheel:
        if (onWheel)
            onWheel(static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        if (onDragAndDrop)
            return onDragAndDrop(event);
        event->ignore();
        return true;
    default:
        return QWindow::event(event);
    }
}

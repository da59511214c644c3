// The native window the graphics device draws into. Its pointer is the view's window handle, and it is
// registered under that handle so that cursor positions can be taken in its client coordinates.
#pragma once

#include "PlatformWindow.h"
#include "Win32Types.h"

#include <QWindow>

#include <functional>

class QWheelEvent;

class ViewWindow : public QWindow, public PlatformWindow {
    Q_OBJECT
public:
    ViewWindow();
    ~ViewWindow() override;

    HWND Handle() { return reinterpret_cast<HWND>(static_cast<QWindow*>(this)); }

    POINT ClientOriginOnScreen() const override;
    // A child window is never the active window; the main window answers for it.
    bool IsActive() const override { return false; }

    // Input that lands on the native window instead of the widget around it.
    std::function<void(QWheelEvent*)> onWheel;
    std::function<bool(QEvent*)> onDragAndDrop;

protected:
    bool event(QEvent* event) override;
};

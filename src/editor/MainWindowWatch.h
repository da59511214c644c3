// Tells when the window system destroyed the main window's native window without asking it to close
// (xkill-like tools, a window manager's "destroy"). Qt keeps the widget and its state as they were and
// sends no event for it, so the frame loop would run on with no window; the watch reads the X server's
// own notice of the destruction among the native events.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QWidget>

class MainWindowWatch : public QAbstractNativeEventFilter {
public:
    // Starts watching the widget's native window in the running application; stops when destroyed.
    explicit MainWindowWatch(const QWidget& window);
    ~MainWindowWatch() override;
    MainWindowWatch(const MainWindowWatch&) = delete;
    MainWindowWatch& operator=(const MainWindowWatch&) = delete;

    bool Destroyed() const { return m_destroyed; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    WId m_window;
    bool m_destroyed = false;
};

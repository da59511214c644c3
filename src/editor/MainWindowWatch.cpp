#include "MainWindowWatch.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

MainWindowWatch::MainWindowWatch(const QWidget& window) : m_window(window.winId()) {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installNativeEventFilter(this);
}

MainWindowWatch::~MainWindowWatch() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

bool MainWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t" || message == nullptr)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // The top bit marks events sent by another client; a destruction is a destruction either way.
    if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY &&
        static_cast<const xcb_destroy_notify_event_t*>(message)->window == m_window)
        m_destroyed = true;
    return false;
}

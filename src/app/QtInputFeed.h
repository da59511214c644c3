// Keeps the platform's key and cursor record up to date from the application's Qt events, so that the
// frame loop's GetAsyncKeyState and GetCursorPos see what the user does in any window of the editor,
// whichever widget or native window the event went to.
#pragma once

#include <QObject>

class QCoreApplication;
class QKeyEvent;

class QtInputFeed : public QObject {
    Q_OBJECT
public:
    explicit QtInputFeed(QObject* parent = nullptr);

    // Watches every event of the application.
    static QtInputFeed* InstallOn(QCoreApplication* application);

    // The Windows virtual-key code for a key event, or 0 for a key the editor has no code for.
    static int VirtualKeyOf(const QKeyEvent& event);
    static int VirtualKeyOf(Qt::MouseButton button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The 3-D view control: a widget that hosts the native window the device renders into, follows the
// main window's size, takes file drops and reports wheel turns over it.
#pragma once

#include "Win32Types.h"

#include <QString>
#include <QWidget>

class QMimeData;
class ViewWindow;

class ViewBox : public QWidget {
    Q_OBJECT
public:
    explicit ViewBox(QWidget* parent = nullptr);

    // The native window the device is created for.
    HWND Handle() const;
    ViewWindow* NativeWindow() const { return m_window; }

    // The local file a drop of this data would add, or an empty string when the drop is refused: only
    // a list of files is taken, and of it only the first entry.
    static QString DroppedFile(const QMimeData* data);

signals:
    void FileDropped(const QString& path);
    void WheelTurned(int angleDelta);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool HandleDragAndDrop(QEvent* event);

    ViewWindow* m_window;
};

#include "ViewBox.h"

#include "ViewWindow.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

ViewBox::ViewBox(QWidget* parent) : QWidget(parent), m_window(new ViewWindow) {
    setAcceptDrops(true);
    setMinimumSize(32, 32);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The container takes ownership of the native window.
    QWidget* container = QWidget::createWindowContainer(m_window, this);
    container->setObjectName(QStringLiteral("pictureBox1Surface"));
    // Drops on the view arrive at the nearest widget that takes drops, which is this one.
    container->setAcceptDrops(false);
    container->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(container);
    m_window->onWheel = [this](QWheelEvent* event) { emit WheelTurned(event->angleDelta().y()); };
    m_window->onDragAndDrop = [this](QEvent* event) { return HandleDragAndDrop(event); };
}

HWND ViewBox::Handle() const {
    return m_window->Handle();
}

QString ViewBox::DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return {};
    return urls.front().toLocalFile();
}

bool ViewBox::HandleDragAndDrop(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedFile(drag->mimeData()).isEmpty() || !(drag->possibleActions() & Qt::CopyAction)) {
            drag->ignore();
            return true;
        }
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DroppedFile(drop->mimeData());
        if (path.isEmpty() || !(drop->possibleActions() & Qt::CopyAction)) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        emit FileDropped(path);
        return true;
    }
    case QEvent::DragLeave:
        event->accept();
        return true;
    default:
        return false;
    }
}

void ViewBox::dragEnterEvent(QDragEnterEvent* event) {
    HandleDragAndDrop(event);
}

void ViewBox::dragMoveEvent(QDragMoveEvent* event) {
    HandleDragAndDrop(event);
}

void ViewBox::dropEvent(QDropEvent* event) {
    HandleDragAndDrop(event);
}

void ViewBox::wheelEvent(QWheelEvent* event) {
    emit WheelTurned(event->angleDelta().y());
    event->accept();
}

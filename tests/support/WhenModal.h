// Acts on a modal window from inside its event loop, the way a user would, once it is up.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

template <typename Window> void WhenModal(std::function<void(Window&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(*window);
    });
    poll->start();
}

// The pictures of the edit-type buttons and the window icon, drawn at run time so that they stay sharp
// at any button size and screen scale and need no image files beside the program.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace EditTypeIcons {

// Black on transparent: a four-way arrow cross above the word 移動.
QPixmap Move(QSize size, qreal devicePixelRatio = 1.0);
// Two circling arrows above the word 回転.
QPixmap Rotate(QSize size, qreal devicePixelRatio = 1.0);
// A square with handles at its corners above the word 拡大.
QPixmap Scale(QSize size, qreal devicePixelRatio = 1.0);

// A small cube on the three axis colours, for the main window.
QIcon WindowIcon();

} // namespace EditTypeIcons

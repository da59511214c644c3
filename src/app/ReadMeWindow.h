// The read-me shown in a read-only text window of the editor itself, for desktops where no external
// text viewer starts. Not modal, so the editor goes on running while it is open.
#pragma once

#include <QWidget>

class QPlainTextEdit;

class ReadMeWindow : public QWidget {
    Q_OBJECT

public:
    // Reads the file as UTF-8 text. Null, with the user told nothing, when it cannot be read.
    static ReadMeWindow* Open(QWidget* owner, const QString& path);

    QPlainTextEdit* textBox = nullptr;

private:
    ReadMeWindow(QWidget* owner, const QString& title, const QString& text);
};

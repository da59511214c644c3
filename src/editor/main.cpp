// 3DFieldsmith: the map editor. It takes no arguments and reads its Data folder from the working
// directory.
#include "EditorLoop.h"
#include "QtMessageBoxPresenter.h"

#include <QApplication>

int main() {
    // Qt keeps a reference to the argument count for the application's whole life.
    static int argc = 1;
    static char name[] = "fieldsmith";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    InstallQtMessageBoxPresenter();
    return RunEditor();
}

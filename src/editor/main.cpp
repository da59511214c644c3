// 3DFieldsmith: the map editor. Its Data folder comes from the working directory, else from the
// installation it runs from; maps and models named on the command line are opened at start.
#include "EditorDataFolder.h"
#include "EditorLoop.h"
#include "QtMessageBoxPresenter.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Qt keeps a reference to the argument count for the application's whole life, and takes out the
    // options it understands itself (-platform and the like); what is left are files.
    QApplication application(argc, argv);
    InstallQtMessageBoxPresenter();
    if (!UseEditorDataFolder())
        return 1;
    return RunEditor(std::vector<std::string>(argv + 1, argv + argc));
}

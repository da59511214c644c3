// scene_shot START.png SELECTED.png
// Starts the editor as the program does, on the X display, and saves what the screen shows of its main
// window: once after start-up, and once with the sample map open and a crate selected, so that the
// manipulator is seen. The view is drawn by GL straight into its window, so the pictures are taken from
// the screen rather than from the widgets.
#include "CAPP.h"
#include "CheckedListBox.h"
#include "DataFolder.h"
#include "EditorDataFolder.h"
#include "EditorLoop.h"
#include "FileDialog.h"
#include "MyForm.h"
#include "Setting.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cstdio>

extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

void Frames(int count) {
    for (int i = 0; i < count; ++i) {
        RunEditorPass();
        QThread::msleep(16);
    }
}

bool SaveScreenOf(QWidget& window, const char* path) {
    const QRect frame = window.frameGeometry();
    const QPixmap picture =
        window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (picture.save(QString::fromLocal8Bit(path), "PNG"))
        return true;
    std::fprintf(stderr, "scene_shot: cannot write %s\n", path);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: scene_shot START.png SELECTED.png (data as for the editor)\n");
        return 2;
    }
    QApplication application(argc, argv);
    if (!UseEditorDataFolder())
        return 1;
    CAPP& app = CAPP::GetInstance();
    if (!app.Init()) {
        std::fprintf(stderr, "scene_shot: no graphics device\n");
        return 1;
    }
    Setting::SetStartUpLight();
    MyForm& form = *app.GetMainForm();
    Frames(40);
    bool saved = SaveScreenOf(form, argv[1]);

    form.openFileDialog3->setFileName(QString::fromLocal8Bit(DataFolder::Path("Data/Sample/Sample.map")));
    form.SetMapOpenFlg(true);
    Frames(5);
    form.checkedListBox1->SetSelectedIndex(1);
    Frames(40);
    saved = SaveScreenOf(form, argv[2]) && saved;

    app.Release();
    app.DestroyWindows();
    return saved ? 0 : 1;
}

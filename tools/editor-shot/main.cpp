// editor_shot MAIN.png SETTING.png [MENU.png]
// Shows the main window with a few objects in its list and a settings window, and saves what they draw
// as PNG pictures; with a third path, also the object list's context menu.
#include "CheckedListBox.h"
#include "MyForm.h"
#include "Setting.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QThread>

#include <cstdio>

// The desktop libraries Qt loads keep allocations until exit that the leak checker of sanitizer builds
// would report as this program's.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

// Lets the window system map and lay out the windows before they are drawn.
void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(25);
    }
}

bool Save(QWidget* widget, const char* path) {
    if (widget->grab().save(QString::fromLocal8Bit(path), "PNG"))
        return true;
    std::fprintf(stderr, "editor_shot: cannot write %s\n", path);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: editor_shot MAIN.png SETTING.png [MENU.png]\n");
        return 2;
    }
    QApplication application(argc, argv);

    MyForm form;
    for (int i = 1; i <= 4; ++i) {
        form.checkedListBox1->Add(QStringLiteral("OBJ%1").arg(i));
        form.checkedListBox1->SetItemChecked(i - 1, i != 3);
    }
    form.checkedListBox1->SetSelectedIndex(1);
    form.show();
    Settle();
    bool saved = Save(&form, argv[1]);

    Setting setting(&form);
    setting.show();
    Settle();
    saved = Save(&setting, argv[2]) && saved;

    if (argc == 4) {
        form.contextMenuStrip1->popup(form.mapToGlobal(QPoint(800, 200)));
        Settle();
        saved = Save(form.contextMenuStrip1, argv[3]) && saved;
        form.contextMenuStrip1->hide();
    }
    return saved ? 0 : 1;
}

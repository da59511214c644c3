#include "DocumentMenus.h"

#include "FileDialog.h"
#include "MyForm.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

// Keys are read by the frame, as the other editing keys are; the menus only name them. A QMenu shows
// what follows a tab in the shortcut column.
QString WithKey(const QString& text, const char* key) {
    return text + QLatin1Char('\t') + QLatin1String(key);
}

QString HistoryText(const char* verb, const QString& label, const char* key) {
    const QString name = QString::fromUtf8(verb);
    return WithKey(label.isEmpty() ? name : name + QStringLiteral(": ") + label, key);
}

} // namespace

void DocumentMenus::Build(MyForm& form) {
    form.editMenu = new QMenu(QStringLiteral("編集"), &form);
    form.editMenu->setObjectName(QStringLiteral("editMenu"));
    form.editMenu->menuAction()->setObjectName(QStringLiteral("editMenu"));
    form.menuStrip1->insertMenu(form.toolStripMenuItem25->menuAction(), form.editMenu);
    form.undoItem = form.editMenu->addAction(QString());
    form.undoItem->setObjectName(QStringLiteral("undoItem"));
    form.redoItem = form.editMenu->addAction(QString());
    form.redoItem->setObjectName(QStringLiteral("redoItem"));
    ShowHistory(form, QString(), QString());
    QObject::connect(form.undoItem, &QAction::triggered, &form, [&form] { form.SetUndoFlg(true); });
    QObject::connect(form.redoItem, &QAction::triggered, &form, [&form] { form.SetRedoFlg(true); });

    form.overwriteSaveItem =
        form.toolStripMenuItem5->addAction(WithKey(QStringLiteral("上書き保存"), "Ctrl+S"));
    form.overwriteSaveItem->setObjectName(QStringLiteral("overwriteSaveItem"));
    QObject::connect(form.overwriteSaveItem, &QAction::triggered, &form,
                     [&form] { RequestOverwriteSave(form); });

    form.recentMapsMenu = form.fILEToolStripMenuItem->addMenu(QStringLiteral("最近使ったマップ"));
    form.recentMapsMenu->setObjectName(QStringLiteral("recentMapsMenu"));
    ShowRecentMaps(form, {});
}

void DocumentMenus::ShowHistory(MyForm& form, const QString& undoLabel, const QString& redoLabel) {
    form.undoItem->setText(HistoryText("元に戻す", undoLabel, "Ctrl+Z"));
    form.undoItem->setEnabled(!undoLabel.isEmpty());
    form.redoItem->setText(HistoryText("やり直し", redoLabel, "Ctrl+Y"));
    form.redoItem->setEnabled(!redoLabel.isEmpty());
}

void DocumentMenus::ShowRecentMaps(MyForm& form, const QStringList& paths) {
    form.recentMapsMenu->clear();
    for (const QString& path : paths) {
        QString text = path;
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = form.recentMapsMenu->addAction(text);
        // Opened like a map chosen in the map open dialog.
        QObject::connect(item, &QAction::triggered, &form, [&form, path] {
            form.openFileDialog3->setFileName(path);
            form.SetMapOpenFlg(true);
        });
    }
    form.recentMapsMenu->setEnabled(!paths.isEmpty());
}

void DocumentMenus::RequestOverwriteSave(MyForm& form) {
    if (!form.GetMapFile().isEmpty())
        form.SetOverwriteSaveFlg(true);
    else
        form.saveFileDialog6->ShowDialog(&form); // confirming raises the map save flag
}

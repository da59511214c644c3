#include "MyFormMenus.h"

#include "FileDialog.h"
#include "MyForm.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QWidgetAction>

namespace {

QAction* AddItem(QMenu* menu, const char* name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* AddMenu(QMenu* parent, const char* name, const QString& text) {
    QMenu* menu = parent->addMenu(text);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& text) {
    QMenu* menu = bar->addMenu(text);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

// A disabled, centred text row that names the group of items below it.
QWidgetAction* AddHeading(QMenu* menu, const char* name, const QString& text) {
    auto* heading = new QWidgetAction(menu);
    heading->setObjectName(QString::fromLatin1(name));
    heading->setText(text);
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(8, 3, 8, 3);
    heading->setDefaultWidget(label);
    heading->setEnabled(false);
    menu->addAction(heading);
    return heading;
}

// Confirming the dialog raises the flag; cancelling leaves everything as it was.
void ShowOnTrigger(MyForm& form, QAction* action, FileDialog* dialog, void (MyForm::*setFlag)(bool)) {
    QObject::connect(dialog, &FileDialog::FileOk, &form, [&form, setFlag] { (form.*setFlag)(true); });
    QObject::connect(action, &QAction::triggered, dialog, [&form, dialog] { dialog->ShowDialog(&form); });
}

void RaiseOnTrigger(MyForm& form, QAction* action, void (MyForm::*setFlag)(bool)) {
    QObject::connect(action, &QAction::triggered, &form, [&form, setFlag] { (form.*setFlag)(true); });
}

FileDialog* MakeDialog(MyForm& form, const char* name, FileDialog::Kind kind, const QString& title,
                       const QString& filter, const QString& extension, const QString& prompt) {
    auto* dialog = new FileDialog(kind, &form);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setTitle(title);
    dialog->setFilter(filter);
    dialog->setDefaultExt(extension);
    // The prompt is no file name: taken as one, confirming the dialog unchanged would write a file
    // named after it.
    dialog->setPlaceholder(prompt);
    return dialog;
}

} // namespace

void MyFormMenus::BuildFileDialogs(MyForm& form) {
    using Kind = FileDialog::Kind;
    const QString chooseFile = QStringLiteral("<読み込みたいファイルを選んでください>");
    const QString saveTitle = QStringLiteral("ファイルを保存します");

    form.openFileDialog1 = MakeDialog(
        form, "openFileDialog1", Kind::Open, QString(),
        QStringLiteral("XFILE|*.x|glTF・OBJ|*.gltf;*.glb;*.obj|すべてのファイル|*.*"), "x", chooseFile);
    form.openFileDialog1->setAddExtension(false);
    form.openFileDialog2 = MakeDialog(form, "openFileDialog2", Kind::Open, QString(),
                                      QStringLiteral("行列を読み込む|*.mat"), "mat", chooseFile);
    form.openFileDialog2->setAddExtension(false);
    form.openFileDialog2->setSupportMultiDottedExtensions(true);
    form.openFileDialog3 =
        MakeDialog(form, "openFileDialog3", Kind::Open, QString(),
                   QStringLiteral("マップの情報を開きます|*.map|すべてのファイル|*.*"), "map", chooseFile);
    form.openFileDialog3->setAddExtension(false);
    form.openFileDialog3->setSupportMultiDottedExtensions(true);

    form.saveFileDialog2 = MakeDialog(
        form, "saveFileDialog2", Kind::Save, saveTitle,
        QStringLiteral("行列をテキストデータで保存する|*.mat|行列をバイナリデータで保存する|*.mat"), "mat",
        QStringLiteral("<保存するファイル名を入力してください>"));
    form.saveFileDialog3 = MakeDialog(form, "saveFileDialog3", Kind::Save, saveTitle,
                                      QStringLiteral("カメラ行列をテキストデータで保存する|*.view|"
                                                     "カメラ行列をバイナリデータで保存する|*.view"),
                                      "view", QStringLiteral("<ファイル名を入力してください>"));
    form.saveFileDialog6 =
        MakeDialog(form, "saveFileDialog6", Kind::Save, saveTitle,
                   QStringLiteral("マップの情報を保存します|*.map|すべてのファイル|*.*"), "map", QString());
    form.saveFileDialog8 = MakeDialog(form, "saveFileDialog8", Kind::Save, QString(),
                                      QStringLiteral("マップの行列リストを保存する|*.matList|"
                                                     "マップの行列リストをバイナリで保存する|*.matList"),
                                      "matList", QStringLiteral("<ファイル名を入力してください>"));
}

void MyFormMenus::BuildMenuBar(MyForm& form) {
    QMenuBar* bar = form.menuStrip1;

    form.fILEToolStripMenuItem = AddMenu(bar, "fILEToolStripMenuItem", QStringLiteral("FILE"));
    form.toolStripMenuItem1 =
        AddMenu(form.fILEToolStripMenuItem, "toolStripMenuItem1", QStringLiteral("開く"));
    form.toolStripMenuItem2 =
        AddItem(form.toolStripMenuItem1, "toolStripMenuItem2", QStringLiteral("XFILEを開く"));
    form.toolStripMenuItem3 = AddItem(form.toolStripMenuItem1, "toolStripMenuItem3",
                                      QStringLiteral("MatrixFileを開いて現在のオブジェクトに反映させる"));
    form.toolStripMenuItem4 =
        AddItem(form.toolStripMenuItem1, "toolStripMenuItem4", QStringLiteral("MapFileを開く"));
    form.toolStripMenuItem5 =
        AddMenu(form.fILEToolStripMenuItem, "toolStripMenuItem5", QStringLiteral("保存"));
    form.toolStripMenuItem6 =
        AddItem(form.toolStripMenuItem5, "toolStripMenuItem6", QStringLiteral("行列を保存する"));
    form.toolStripMenuItem7 =
        AddItem(form.toolStripMenuItem5, "toolStripMenuItem7", QStringLiteral("カメラの行列を保存する"));
    form.toolStripMenuItem8 = AddItem(form.toolStripMenuItem5, "toolStripMenuItem8",
                                      QStringLiteral("マップの行列リストを保存する"));
    form.toolStripMenuItem9 =
        AddItem(form.toolStripMenuItem5, "toolStripMenuItem9", QStringLiteral("マップの情報を保存する"));

    form.toolStripMenuItem25 = AddMenu(bar, "toolStripMenuItem25", QStringLiteral("表示"));
    form.toolStripMenuItem26 =
        AddItem(form.toolStripMenuItem25, "toolStripMenuItem26", QStringLiteral("ControlBoxを表示する"));
    form.toolStripMenuItem27 =
        AddItem(form.toolStripMenuItem25, "toolStripMenuItem27", QStringLiteral("設定"));

    form.toolStripMenuItem28 = AddMenu(bar, "toolStripMenuItem28", QStringLiteral("ヘルプ"));
    form.toolStripMenuItem29 =
        AddItem(form.toolStripMenuItem28, "toolStripMenuItem29", QStringLiteral("ReadMe.txt"));
    form.toolStripMenuItem30 =
        AddItem(form.toolStripMenuItem28, "toolStripMenuItem30", QStringLiteral("バージョン情報"));

    ShowOnTrigger(form, form.toolStripMenuItem2, form.openFileDialog1, &MyForm::SetXFileOpenFlg);
    ShowOnTrigger(form, form.toolStripMenuItem3, form.openFileDialog2, &MyForm::SetMatrixOpenFlg);
    ShowOnTrigger(form, form.toolStripMenuItem4, form.openFileDialog3, &MyForm::SetMapOpenFlg);
    ShowOnTrigger(form, form.toolStripMenuItem6, form.saveFileDialog2, &MyForm::SetZorvFileSaveFlg);
    ShowOnTrigger(form, form.toolStripMenuItem7, form.saveFileDialog3, &MyForm::SetCameraSaveFlg);
    ShowOnTrigger(form, form.toolStripMenuItem8, form.saveFileDialog8, &MyForm::SetMatrixFileListFlg);
    ShowOnTrigger(form, form.toolStripMenuItem9, form.saveFileDialog6, &MyForm::SetMapSaveFlg);
    RaiseOnTrigger(form, form.toolStripMenuItem26, &MyForm::SetControlBoxFlg);
    QObject::connect(form.toolStripMenuItem27, &QAction::triggered, &form, [&form] { form.ShowSettings(); });
    QObject::connect(form.toolStripMenuItem29, &QAction::triggered, &form, [&form] { form.ShowReadMe(); });
    QObject::connect(form.toolStripMenuItem30, &QAction::triggered, &form, [&form] { form.ShowVersion(); });
}

void MyFormMenus::BuildContextMenu(MyForm& form) {
    QMenu* menu = new QMenu(&form);
    menu->setObjectName(QStringLiteral("contextMenuStrip1"));
    // The menu opens with a separator above its first heading, which Qt would otherwise hide.
    menu->setSeparatorsCollapsible(false);
    form.contextMenuStrip1 = menu;

    menu->addSeparator();
    form.toolStripTextBox1 =
        AddHeading(menu, "toolStripTextBox1", QStringLiteral("------------行列操作関係-------------"));
    form.toolStripMenuItem10 =
        AddItem(menu, "toolStripMenuItem10", QStringLiteral("選択オブジェクトの行列を全てコピー"));
    form.toolStripMenuItem11 =
        AddItem(menu, "toolStripMenuItem11", QStringLiteral("選択されているオブジェクトの行列を初期化する"));
    form.toolStripMenuItem12 =
        AddItem(menu, "toolStripMenuItem12", QStringLiteral("選択オブジェクトに移動行列を適応させる"));
    form.toolStripMenuItem13 =
        AddItem(menu, "toolStripMenuItem13", QStringLiteral("選択オブジェクトに回転行列を適応させる"));
    form.toolStripMenuItem14 =
        AddItem(menu, "toolStripMenuItem14", QStringLiteral("選択オブジェクトに拡大行列を適応させる"));
    form.toolStripMenuItem15 =
        AddItem(menu, "toolStripMenuItem15",
                QStringLiteral("現在選択されているオブジェクトにすべての行列を適応させる"));
    menu->addSeparator();
    form.toolStripTextBox2 = AddHeading(menu, "toolStripTextBox2",
                                        QStringLiteral("---------------オブジェクト関係---------------"));
    form.toolStripMenuItem16 = AddItem(menu, "toolStripMenuItem16",
                                       QStringLiteral("選択されているオブジェクトをコピーする(ctrl+c)"));
    form.toolStripMenuItem17 = AddItem(menu, "toolStripMenuItem17",
                                       QStringLiteral("選択されているオブジェクトを貼り付ける(ctrl+v)"));
    form.toolStripMenuItem18 =
        AddItem(menu, "toolStripMenuItem18", QStringLiteral("選択されているオブジェクトを削除する(delete)"));
    form.toolStripMenuItem19 =
        AddItem(menu, "toolStripMenuItem19", QStringLiteral("選択されているリストの名前を変更する"));
    form.toolStripTextBox3 =
        AddHeading(menu, "toolStripTextBox3", QStringLiteral("---------------カメラ操作関係---------------"));
    form.toolStripMenuItem20 = AddItem(menu, "toolStripMenuItem20", QStringLiteral("真正面から見る(F1)"));
    form.toolStripMenuItem21 = AddItem(menu, "toolStripMenuItem21", QStringLiteral("真上から見る(F2)"));
    form.toolStripMenuItem22 = AddItem(menu, "toolStripMenuItem22", QStringLiteral("真横から見る(F3)"));
    form.toolStripMenuItem23 = AddItem(menu, "toolStripMenuItem23", QStringLiteral("初期位置に戻る(F4)"));
    form.toolStripMenuItem24 =
        AddItem(menu, "toolStripMenuItem24", QStringLiteral("選択されているオブジェクトを中心にみる"));
    form.toolStripMenuItem24->setCheckable(true);

    RaiseOnTrigger(form, form.toolStripMenuItem10, &MyForm::SetAllFlg);
    QObject::connect(form.toolStripMenuItem11, &QAction::triggered, &form,
                     [&form] { form.RequestMatrixIdentity(); });
    RaiseOnTrigger(form, form.toolStripMenuItem12, &MyForm::SetTransFlg);
    RaiseOnTrigger(form, form.toolStripMenuItem13, &MyForm::SetRotFlg);
    RaiseOnTrigger(form, form.toolStripMenuItem14, &MyForm::SetScaleFlg);
    RaiseOnTrigger(form, form.toolStripMenuItem15, &MyForm::SetPasteFlg);
    RaiseOnTrigger(form, form.toolStripMenuItem16, &MyForm::SetObjCopy);
    RaiseOnTrigger(form, form.toolStripMenuItem17, &MyForm::SetObjPaste);
    RaiseOnTrigger(form, form.toolStripMenuItem18, &MyForm::SetObjDelete);
    QObject::connect(form.toolStripMenuItem19, &QAction::triggered, &form, [&form] { form.ShowRename(); });
}

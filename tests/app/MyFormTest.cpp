#include "MyForm.h"
#include "CheckedListBox.h"
#include "ExternalViewer.h"
#include "FileDialog.h"
#include "MessageBoxRecorder.h"
#include "NumericUpDown.h"
#include "ReadMeWindow.h"
#include "ScopedFileChooser.h"
#include "Setting.h"
#include "TempDir.h"
#include "TextForm.h"
#include "ViewBox.h"
#include "ViewWindow.h"
#include "WhenModal.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QWheelEvent>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Flag {
    const char* name;
    std::function<bool(MyForm&)> get;
};

// Every command flag, read without lowering any of them.
std::vector<Flag> AllFlags() {
    return {
        {"XFileOpen", [](MyForm& f) { return f.GetXFileOpenFlg(); }},
        {"MatrixOpen", [](MyForm& f) { return f.GetMatrixOpenFlg(); }},
        {"MapOpen", [](MyForm& f) { return f.GetMapOpenFlg(); }},
        {"ZorvFileSave", [](MyForm& f) { return f.GetZorvFileSaveFlg(); }},
        {"CameraSave", [](MyForm& f) { return f.GetCameraSaveFlg(); }},
        {"MatrixFileList", [](MyForm& f) { return f.GetMatrixFileListFlg(); }},
        {"MapSave", [](MyForm& f) { return f.GetMapSaveFlg(); }},
        {"ControlBox", [](MyForm& f) { return f.GetControlBoxFlg(); }},
        {"All", [](MyForm& f) { return f.GetAllFlg(); }},
        {"Trans", [](MyForm& f) { return f.GetTransFlg(); }},
        {"Rot", [](MyForm& f) { return f.GetRotFlg(); }},
        {"Scale", [](MyForm& f) { return f.GetScaleFlg(); }},
        {"Paste", [](MyForm& f) { return f.GetPasteFlg(); }},
        {"ObjCopy", [](MyForm& f) { return f.GetObjCopy(); }},
        {"ObjPaste", [](MyForm& f) { return f.GetObjPaste(); }},
        {"ObjDelete", [](MyForm& f) { return f.GetObjDelete(); }},
        {"MatrixIdenty",
         [](MyForm& f) {
             const bool raised = f.isMatrixIdenty();
             if (raised)
                 f.RequestMatrixIdentity();
             return raised;
         }},
    };
}

// The names of the raised flags, so that a failure says which ones were.
std::vector<std::string> Raised(MyForm& form) {
    std::vector<std::string> raised;
    for (const Flag& flag : AllFlags())
        if (flag.get(form))
            raised.emplace_back(flag.name);
    return raised;
}

std::vector<QString> Texts(const QList<QAction*>& actions) {
    std::vector<QString> texts;
    for (const QAction* action : actions)
        texts.push_back(action->isSeparator() ? QStringLiteral("|") : action->text());
    return texts;
}

QMimeData* FileList(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

// Drags the data over the view and drops it; true when the view took it.
bool DropOnView(MyForm& form, const QMimeData* data) {
    const QPoint middle(form.pictureBox1->width() / 2, form.pictureBox1->height() / 2);
    QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.pictureBox1, &enter);
    if (!enter.isAccepted() || enter.dropAction() != Qt::CopyAction)
        return false;
    QDropEvent drop(QPointF(middle), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.pictureBox1, &drop);
    return drop.isAccepted();
}

void Wheel(QObject* target, int delta) {
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

class MyFormTest : public testing::Test {
protected:
    void SetUp() override {
        m_lines = QApplication::wheelScrollLines();
        QApplication::setWheelScrollLines(3);
    }
    void TearDown() override { QApplication::setWheelScrollLines(m_lines); }

    MyForm form;

private:
    int m_lines = 3;
};

TEST_F(MyFormTest, OpensAsTheEditorWithItsDefaults) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("3DFieldsmith Ver1.4"));
    EXPECT_EQ(form.size(), QSize(1099, 579));
    EXPECT_EQ(form.listBox1->count(), 5);
    EXPECT_EQ(form.listBox1->currentRow(), 0);
    EXPECT_TRUE(Raised(form).empty());
    EXPECT_EQ(form.findChild<ViewBox*>(QStringLiteral("pictureBox1")), form.pictureBox1);
}

TEST_F(MyFormTest, MenusHoldEveryCommandInOrder) {
    EXPECT_EQ(Texts(form.menuStrip1->actions()),
              (std::vector<QString>{"FILE", QStringLiteral("編集"), QStringLiteral("表示"),
                                    QStringLiteral("ヘルプ")}));
    EXPECT_EQ(Texts(form.toolStripMenuItem5->actions()),
              (std::vector<QString>{
                  QStringLiteral("行列を保存する"), QStringLiteral("カメラの行列を保存する"),
                  QStringLiteral("マップの行列リストを保存する"), QStringLiteral("マップの情報を保存する"),
                  QStringLiteral("上書き保存\tCtrl+S")}));
    EXPECT_EQ(Texts(form.editMenu->actions()),
              (std::vector<QString>{QStringLiteral("元に戻す\tCtrl+Z"), QStringLiteral("やり直し\tCtrl+Y")}));
    EXPECT_FALSE(form.undoItem->isEnabled());
    EXPECT_FALSE(form.redoItem->isEnabled());
    const std::vector<QString> context = Texts(form.contextMenuStrip1->actions());
    ASSERT_EQ(context.size(), 20u);
    EXPECT_EQ(context[0], "|");
    EXPECT_EQ(context[1], QStringLiteral("------------行列操作関係-------------"));
    EXPECT_EQ(context[8], "|");
    EXPECT_EQ(context[9], QStringLiteral("---------------オブジェクト関係---------------"));
    EXPECT_EQ(context[14], QStringLiteral("---------------カメラ操作関係---------------"));
    EXPECT_EQ(context[15], QStringLiteral("真正面から見る(F1)"));
    for (QWidgetAction* heading : {form.toolStripTextBox1, form.toolStripTextBox2, form.toolStripTextBox3}) {
        EXPECT_FALSE(heading->isEnabled());
        ASSERT_NE(heading->defaultWidget(), nullptr);
        EXPECT_FALSE(heading->defaultWidget()->isEnabled());
    }
}

TEST_F(MyFormTest, EachCommandItemRaisesExactlyItsFlag) {
    const std::vector<std::pair<QAction*, std::string>> items = {
        {form.toolStripMenuItem26, "ControlBox"},   {form.toolStripMenuItem10, "All"},
        {form.toolStripMenuItem11, "MatrixIdenty"}, {form.toolStripMenuItem12, "Trans"},
        {form.toolStripMenuItem13, "Rot"},          {form.toolStripMenuItem14, "Scale"},
        {form.toolStripMenuItem15, "Paste"},        {form.toolStripMenuItem16, "ObjCopy"},
        {form.toolStripMenuItem17, "ObjPaste"},     {form.toolStripMenuItem18, "ObjDelete"},
    };
    for (const auto& [action, flag] : items) {
        MyForm fresh;
        QAction* same = fresh.findChild<QAction*>(action->objectName());
        ASSERT_NE(same, nullptr) << action->objectName().toStdString();
        same->trigger();
        EXPECT_EQ(Raised(fresh), std::vector<std::string>{flag}) << action->text().toStdString();
    }
    // Camera items are only watched, never acted on.
    for (QAction* camera : {form.toolStripMenuItem20, form.toolStripMenuItem21, form.toolStripMenuItem22,
                            form.toolStripMenuItem23})
        camera->trigger();
    EXPECT_TRUE(Raised(form).empty());
    form.toolStripMenuItem24->trigger();
    EXPECT_TRUE(form.toolStripMenuItem24->isChecked());
    form.toolStripMenuItem24->trigger();
    EXPECT_FALSE(form.toolStripMenuItem24->isChecked());
}

TEST_F(MyFormTest, ACameraItemIsSelectedOnlyWhileHighlightedInTheOpenMenu) {
    form.show();
    form.contextMenuStrip1->popup(form.mapToGlobal(QPoint(100, 100)));
    form.contextMenuStrip1->setActiveAction(form.toolStripMenuItem21);
    EXPECT_TRUE(form.IsItemSelected(form.toolStripMenuItem21));
    EXPECT_FALSE(form.IsItemSelected(form.toolStripMenuItem20));
    form.contextMenuStrip1->hide();
    EXPECT_FALSE(form.IsItemSelected(form.toolStripMenuItem21));
}

TEST_F(MyFormTest, ResettingTheMatrixIsReportedOnce) {
    form.toolStripMenuItem11->trigger();
    form.toolStripMenuItem11->trigger();
    EXPECT_TRUE(form.isMatrixIdenty());
    EXPECT_FALSE(form.isMatrixIdenty());
}

TEST_F(MyFormTest, ConfirmingADialogRaisesItsFlagAndCancellingNone) {
    const std::vector<std::tuple<QAction*, FileDialog*, std::string>> commands = {
        {form.toolStripMenuItem2, form.openFileDialog1, "XFileOpen"},
        {form.toolStripMenuItem3, form.openFileDialog2, "MatrixOpen"},
        {form.toolStripMenuItem4, form.openFileDialog3, "MapOpen"},
        {form.toolStripMenuItem6, form.saveFileDialog2, "ZorvFileSave"},
        {form.toolStripMenuItem7, form.saveFileDialog3, "CameraSave"},
        {form.toolStripMenuItem8, form.saveFileDialog8, "MatrixFileList"},
        {form.toolStripMenuItem9, form.saveFileDialog6, "MapSave"},
    };
    for (const auto& [action, dialog, flag] : commands) {
        MyForm fresh;
        QAction* item = fresh.findChild<QAction*>(action->objectName());
        auto* ownDialog = fresh.findChild<FileDialog*>(dialog->objectName());
        ScopedFileChooser chooser;
        chooser.Cancel();
        item->trigger();
        EXPECT_EQ(chooser.Shown(), 1);
        EXPECT_TRUE(Raised(fresh).empty()) << flag;

        const int filter = ownDialog->filter().count('|') > 1 ? 2 : 1;
        chooser.Choose(QStringLiteral("/tmp/scene/場面.bin"), filter);
        item->trigger();
        EXPECT_EQ(Raised(fresh), std::vector<std::string>{flag});

        // The consumer finds the choice on the dialog, and the dialog opens with it next time.
        EXPECT_EQ(ownDialog->filterIndex(), filter) << flag;
        chooser.Cancel();
        item->trigger();
        EXPECT_TRUE(chooser.LastFileName().endsWith(QStringLiteral("場面.bin")))
            << chooser.LastFileName().toStdString();
        EXPECT_EQ(chooser.LastFilterIndex(), filter);
    }
}

// The prompt stands greyed in the empty name field; Save with nothing typed saves nothing.
TEST_F(MyFormTest, SavePromptsArePlaceholdersNeverFileNames) {
    const std::vector<std::tuple<QAction*, QString>> saves = {
        {form.toolStripMenuItem6, QStringLiteral("<保存するファイル名を入力してください>")},
        {form.toolStripMenuItem7, QStringLiteral("<ファイル名を入力してください>")},
        {form.toolStripMenuItem8, QStringLiteral("<ファイル名を入力してください>")},
    };
    TempDir dir;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    for (const auto& [item, prompt] : saves) {
        QString typed = QStringLiteral("unread"), shown;
        bool stayedOpen = false;
        WhenModal<QFileDialog>([&](QFileDialog& files) {
            auto* name = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            typed = name->text();
            shown = name->placeholderText();
            static_cast<QDialog&>(files).accept();
            stayedOpen = files.isVisible();
            files.reject();
        });
        item->trigger();
        EXPECT_EQ(typed, QString()) << prompt.toStdString();
        EXPECT_EQ(shown, prompt);
        EXPECT_TRUE(stayedOpen) << "Save with no name does nothing";
    }
    std::filesystem::current_path(previous);
    EXPECT_TRUE(Raised(form).empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(MyFormTest, DroppingFilesOnTheViewAddsOnlyTheFirst) {
    std::unique_ptr<QMimeData> files(FileList({"/models/first.x", "/models/second.x"}));
    EXPECT_TRUE(DropOnView(form, files.get()));
    EXPECT_EQ(form.openFileDialog1->fileName(), QStringLiteral("/models/first.x"));
    EXPECT_EQ(Raised(form), std::vector<std::string>{"XFileOpen"});
}

TEST_F(MyFormTest, DropsOfTextOrRemoteFilesAreRefused) {
    const QString before = form.openFileDialog1->fileName();
    std::unique_ptr<QMimeData> text(new QMimeData);
    text->setText(QStringLiteral("/models/first.x"));
    EXPECT_FALSE(DropOnView(form, text.get()));
    std::unique_ptr<QMimeData> remote(new QMimeData);
    remote->setUrls({QUrl(QStringLiteral("https://example.com/model.x"))});
    EXPECT_FALSE(DropOnView(form, remote.get()));
    EXPECT_EQ(form.openFileDialog1->fileName(), before);
    EXPECT_TRUE(Raised(form).empty());
}

TEST_F(MyFormTest, DropsOnTheNativeViewWindowCountToo) {
    std::unique_ptr<QMimeData> files(FileList({"/models/native.x"}));
    QDropEvent drop(QPointF(3, 3), Qt::CopyAction, files.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.pictureBox1->NativeWindow(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(form.openFileDialog1->fileName(), QStringLiteral("/models/native.x"));
    EXPECT_TRUE(form.GetXFileOpenFlg());
}

// Only the view zooms: a turn over a list scrolls the list, and one a list or a number field passes on
// to the window was meant for them too.
TEST_F(MyFormTest, WheelTurnsZoomOnlyOverTheView) {
    form.show();
    form.checkedListBox1->Add(QStringLiteral("OBJ1"));
    Wheel(form.pictureBox1->NativeWindow(), 120);
    EXPECT_EQ(form.GetMouseWheel(), 3);
    Wheel(form.pictureBox1, 120);
    EXPECT_EQ(form.GetMouseWheel(), 6);
    auto passOn = [this](QWidget* under) {
        const QPointF at = under->mapTo(&form, QPointF(under->width() / 2.0, under->height() / 2.0));
        QWheelEvent event(at, form.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&form, &event);
    };
    for (QWidget* other :
         std::initializer_list<QWidget*>{form.checkedListBox1->viewport(), form.listBox1->viewport(),
                                         form.numericUpDown3, form.button2}) {
        Wheel(other, -120);
        passOn(other);
        EXPECT_EQ(form.GetMouseWheel(), 6) << other->objectName().toStdString();
    }
}

TEST_F(MyFormTest, WheelStepsTruncateTowardZeroAndKeepTheRest) {
    form.AddMouseWheel(60); // 180 / 120
    EXPECT_EQ(form.GetMouseWheel(), 1);
    form.AddMouseWheel(60); // the half step left over completes the notch
    EXPECT_EQ(form.GetMouseWheel(), 3);
    form.AddMouseWheel(-20); // -60 / 120
    EXPECT_EQ(form.GetMouseWheel(), 3);
    form.AddMouseWheel(-20);
    EXPECT_EQ(form.GetMouseWheel(), 2);
    // A turn back starts afresh instead of paying off the other direction's rest.
    form.AddMouseWheel(-20);
    form.AddMouseWheel(120);
    EXPECT_EQ(form.GetMouseWheel(), 5);
    form.SetMouseWheel(0);
    form.AddMouseWheel(60);
    EXPECT_EQ(form.GetMouseWheel(), 1);
}

TEST_F(MyFormTest, WheelSumSaturatesInsteadOfWrapping) {
    form.SetMouseWheel(INT_MAX - 1);
    form.AddMouseWheel(INT_MAX);
    EXPECT_EQ(form.GetMouseWheel(), INT_MAX);
    form.SetMouseWheel(INT_MIN + 1);
    form.AddMouseWheel(INT_MIN);
    EXPECT_EQ(form.GetMouseWheel(), INT_MIN);
}

TEST_F(MyFormTest, NumericFieldsClampAndStoreFloats) {
    form.numericUpDown2->setValue(0.00001);
    EXPECT_FLOAT_EQ(form.GetDrawStartRange(), 0.00001f);
    form.numericUpDown2->setValue(0.000001);
    EXPECT_FLOAT_EQ(form.GetDrawStartRange(), 0.00001f);
    form.numericUpDown1->setValue(5000);
    EXPECT_FLOAT_EQ(form.GetnumerDis(), 1000.0f);
    form.numericUpDown3->setValue(1234.5);
    EXPECT_FLOAT_EQ(form.GetDrawEndRange(), 1234.5f);
    form.numericUpDown3->setValue(0);
    EXPECT_FLOAT_EQ(form.GetDrawEndRange(), 0.0001f);
    EXPECT_EQ(form.numericUpDown1->decimals(), 6);
    EXPECT_TRUE(form.numericUpDown3->isGroupSeparatorShown());
    EXPECT_EQ(form.numericUpDown3->focusPolicy() & Qt::TabFocus, 0);
}

// Taking a number hands the keyboard on, so that the next key goes to the controls after the field.
TEST_F(MyFormTest, TakingANumberMovesTheFocusOn) {
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
    if (!form.isActiveWindow())
        GTEST_SKIP() << "the window system did not activate the window";
    form.numericUpDown1->setFocus();
    form.numericUpDown1->setValue(2);
    EXPECT_EQ(QApplication::focusWidget(), form.checkBox1);
    form.numericUpDown3->setFocus();
    form.numericUpDown3->setValue(300);
    EXPECT_EQ(QApplication::focusWidget(), form.checkBox1);
    form.numericUpDown2->setFocus();
    form.numericUpDown2->setValue(3);
    EXPECT_EQ(QApplication::focusWidget(), form.checkBox2);
}

TEST_F(MyFormTest, TheNearLimitStaysShortOfTheFarOne) {
    form.numericUpDown3->setValue(10);
    form.numericUpDown2->setValue(50);
    EXPECT_LT(form.GetDrawStartRange(), form.GetDrawEndRange());
    EXPECT_GT(form.GetDrawStartRange(), 9.99f);
    form.numericUpDown3->setValue(0);
    EXPECT_LT(form.GetDrawStartRange(), form.GetDrawEndRange());
    EXPECT_FLOAT_EQ(form.GetDrawEndRange(), static_cast<float>(form.numericUpDown3->value()));
    // At the top of the range the two still differ as floats.
    form.numericUpDown3->setValue(999999);
    form.numericUpDown2->setValue(999999);
    EXPECT_LT(form.GetDrawStartRange(), form.GetDrawEndRange());
    form.numericUpDown2->setValue(0.00001);
    form.numericUpDown3->setValue(0);
    EXPECT_FLOAT_EQ(form.GetDrawEndRange(), 0.0001f);
}

TEST_F(MyFormTest, TheRenderModeListNeverLosesItsChoice) {
    form.listBox1->setCurrentRow(3);
    form.listBox1->clearSelection();
    EXPECT_EQ(form.listBox1->currentRow(), 3);
    EXPECT_EQ(form.listBox1->selectedItems().size(), 1);
}

TEST_F(MyFormTest, ButtonsAndLightBoxSetTheirValues) {
    form.button3->click();
    EXPECT_EQ(form.GetSelectEdit(), 2);
    form.button2->click();
    EXPECT_EQ(form.GetSelectEdit(), 1);
    form.button1->click();
    EXPECT_EQ(form.GetSelectEdit(), 0);
    form.checkBox3->setChecked(false);
    EXPECT_FALSE(form.GetLightEnable());
    EXPECT_FALSE(form.button1->icon().isNull());
}

TEST_F(MyFormTest, RenameOpensWithTheSelectedEntrysName) {
    form.checkedListBox1->Add(QStringLiteral("OBJ1"));
    form.checkedListBox1->Add(QStringLiteral("OBJ2"));
    form.toolStripMenuItem19->trigger();
    ASSERT_TRUE(form.m_TextForm);
    EXPECT_EQ(form.m_TextForm->textBox1->text(), QString());

    form.checkedListBox1->SetSelectedIndex(1);
    QPointer<TextForm> first = form.m_TextForm;
    form.toolStripMenuItem19->trigger();
    ASSERT_TRUE(form.m_TextForm);
    EXPECT_EQ(form.m_TextForm->textBox1->text(), QStringLiteral("OBJ2"));
    EXPECT_TRUE(form.m_TextForm->isVisible());
    // Only the newest dialog stays open, so no older one can rename the selection.
    EXPECT_TRUE(first.isNull() || !first->isVisible());
}

TEST_F(MyFormTest, SettingsTwiceLeavesOneFreshWindowShowingTheStatics) {
    const bool gridYZ = Setting::m_bGridCheckBox1;
    Setting::m_bGridCheckBox1 = false;
    form.toolStripMenuItem27->trigger();
    QPointer<Setting> first = form.m_SettingForm;
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->checkBox1->isChecked());

    Setting::m_bGridCheckBox1 = true;
    form.toolStripMenuItem27->trigger();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(form.m_SettingForm);
    EXPECT_NE(form.m_SettingForm, first);
    EXPECT_TRUE(form.m_SettingForm->checkBox1->isChecked());
    int shown = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        shown += qobject_cast<Setting*>(window) != nullptr && window->isVisible();
    EXPECT_EQ(shown, 1);
    Setting::m_bGridCheckBox1 = gridYZ;
}

TEST_F(MyFormTest, VersionMessageNamesTheEditorAndItsMakers) {
    MessageBoxRecorder recorder;
    form.toolStripMenuItem30->trigger();
    ASSERT_EQ(recorder.Messages().size(), 1u);
    const auto& message = recorder.Messages()[0];
    EXPECT_EQ(message.caption, "3DFieldsmithバージョン情報");
    EXPECT_EQ(message.text, "[名前]          3DFieldsmith\n[バージョン]     1.4\n"
                            "[制作者]       Fieldsmith Project\n[Icon提供者] Fieldsmith Project");
    EXPECT_EQ(message.type, MB_OK);
}

TEST_F(MyFormTest, ShrunkToItsMinimumNoControlOverlapsAnother) {
    form.show();
    form.resize(1, 1);
    form.centralWidget()->layout()->activate();
    EXPECT_EQ(form.size(), form.minimumSize());
    QList<QWidget*> controls = {
        form.pictureBox1, form.button1,   form.button2,        form.button3,        form.textBox1,
        form.textBox2,    form.textBox3,  form.numericUpDown1, form.numericUpDown2, form.numericUpDown3,
        form.checkBox1,   form.checkBox2, form.checkBox3,      form.listBox1,       form.checkedListBox1};
    const auto placed = [this](QWidget* control) {
        return QRect(control->mapTo(&form, QPoint()), control->size());
    };
    for (QWidget* control : controls) {
        EXPECT_TRUE(form.rect().contains(placed(control))) << control->objectName().toStdString();
        EXPECT_GE(control->height(), control->minimumSizeHint().height())
            << control->objectName().toStdString();
        for (QWidget* other : controls)
            EXPECT_TRUE(control == other || !placed(control).intersects(placed(other)))
                << control->objectName().toStdString() << " and " << other->objectName().toStdString();
    }
    EXPECT_GE(form.pictureBox1->width(), 200) << "the view still shows the scene";
}

// Where the desktop starts no viewer, the read-me opens in the editor's own read-only window.
TEST_F(MyFormTest, ReadMeFallsBackToAReadOnlyWindowOfItsOwn) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(FSMITH_SOURCE_DIR);
    MessageBoxRecorder recorder;
    for (const bool viewerStarts : {true, false, false}) {
        const ExternalViewerStarter before =
            SetExternalViewerStarter([viewerStarts](const QUrl&) { return viewerStarts; });
        form.toolStripMenuItem29->trigger();
        SetExternalViewerStarter(before);
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::filesystem::current_path(previous);
    const QList<ReadMeWindow*> windows = form.findChildren<ReadMeWindow*>();
    ASSERT_EQ(windows.size(), 1) << "one window, and none while a viewer starts";
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_TRUE(windows[0]->textBox->isReadOnly());
    EXPECT_TRUE(windows[0]->textBox->toPlainText().startsWith(QStringLiteral("3DFieldsmith Ver1.4 ReadMe")));
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST_F(MyFormTest, AnsweringNoToTheCloseQuestionKeepsTheWindow) {
    form.show();
    form.checkedListBox1->Add(QStringLiteral("OBJ1"));
    {
        MessageBoxRecorder no(IDNO);
        EXPECT_FALSE(form.close());
        ASSERT_EQ(no.Messages().size(), 1u);
        EXPECT_EQ(no.Messages()[0].text, "終了しますか？");
        EXPECT_EQ(no.Messages()[0].caption, "Information");
        EXPECT_EQ(no.Messages()[0].type, MB_YESNO);
    }
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.IsClosed());
    EXPECT_EQ(form.checkedListBox1->Count(), 1);

    form.toolStripMenuItem27->trigger();
    MessageBoxRecorder yes(IDYES);
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(form.IsClosed());
    EXPECT_FALSE(form.m_SettingForm->isVisible());
}

} // namespace

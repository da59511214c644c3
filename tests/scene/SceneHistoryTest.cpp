#include "CXLISTFixture.h"

#include "DocumentMenus.h"
#include "NumericUpDown.h"
#include "PopWindow.h"
#include "SceneSnapshot.h"
#include "TextForm.h"

#include <QAction>
#include <QLineEdit>

#include <functional>
#include <random>

namespace {

D3DXMATRIX Scaled(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixScaling(&m, x, y, z);
}

D3DXMATRIX TurnedY(float radians) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationY(&m, radians);
}

SceneStep Step(const char* label) {
    SceneStep step;
    step.label = label;
    return step;
}

std::vector<std::string> Labels(SceneHistory& history) {
    std::vector<std::string> labels;
    while (const SceneStep* step = history.Undo())
        labels.insert(labels.begin(), step->label);
    return labels;
}

TEST(SceneHistoryBounds, KeepsTheNewestStepsAndDropsTheRedoBranch) {
    SceneHistory history(3);
    for (const char* label : {"a", "b", "c", "d"})
        history.Push(Step(label));
    EXPECT_EQ(history.Size(), 3u);
    history.Undo();
    history.Undo();
    history.Push(Step("e"));
    EXPECT_EQ(history.NextRedo(), nullptr) << "a new step drops what could have been redone";
    EXPECT_EQ(Labels(history), (std::vector<std::string>{"b", "e"}));
    EXPECT_EQ(SceneHistory().Limit(), 1000u);
}

TEST(SceneHistoryBounds, ModifiedIsWhereverTheHistoryDoesNotStandAtTheSave) {
    SceneHistory history(2);
    EXPECT_FALSE(history.IsModified());
    history.Push(Step("a"));
    history.MarkSaved();
    history.Push(Step("b"));
    EXPECT_TRUE(history.IsModified());
    history.Undo();
    EXPECT_FALSE(history.IsModified()) << "undone back to the save";
    history.Undo();
    EXPECT_TRUE(history.IsModified()) << "undone past it";
    history.Redo();
    history.Push(Step("c")); // the save stands below; "b" is dropped
    history.Undo();
    EXPECT_FALSE(history.IsModified());
    history.Redo();
    history.Push(Step("d"));
    history.Push(Step("e")); // the save's step falls off the bottom
    while (history.Undo() != nullptr)
        EXPECT_TRUE(history.IsModified());
    EXPECT_TRUE(history.IsModified()) << "a save whose step is gone is never reached again";
}

class UndoRedo : public ObjectList {
protected:
    SceneSnapshot Snap() const { return SceneSnapshot::Of(m_list, List()); }
    void Key(std::initializer_list<int> keys) {
        for (int key : keys) {
            Keys().KeyDown(key);
            Frame();
        }
        for (int key : keys)
            Keys().KeyUp(key);
        Frame();
    }
    void DragX(int pixels) {
        const D3DXVECTOR3 pos = m_list.GetObject(m_list.GetNowSelectID())->GetPos();
        Pick(CWindowCheck::kAxisX, pos + D3DXVECTOR3(3, 0, 0));
        CursorAt(kWidth / 2, kHeight / 2);
        Keys().KeyDown(VK_LBUTTON);
        Frame();
        for (int i = 0; i < 3; ++i) {
            CursorAt(m_cursor.x + pixels, m_cursor.y);
            Frame();
        }
        Keys().KeyUp(VK_LBUTTON);
        Frame();
        Pick(CWindowCheck::kNoHandle, D3DXVECTOR3(0, 0, 0));
    }
    void Rename(const char* name) {
        m_form->ShowRename();
        m_form->m_TextForm->textBox1->setText(QString::fromUtf8(name));
        TextForm::SetClickFlg(true);
        m_list.ListChange();
        Frame();
    }
    void PopUp(float x, float y, float z) {
        m_form->m_PopForm->SetxValue(x);
        m_form->m_PopForm->SetyValue(y);
        m_form->m_PopForm->SetzValue(z);
        m_form->m_PopForm->SetButtonPush(true);
        Frame();
    }
    void RaiseFlag(void (MyForm::*flag)(bool)) {
        // GCC 12's vptr check misreads a `->*` call made straight on a member of the fixture and reports
        // the live main window as an object of the wrong type; through a local copy it checks soundly.
        MyForm* form = m_form;
        (form->*flag)(true);
        Frame();
    }
    std::string TwoRecordMap() {
        return m_dir.Write("two.map", "XFileName{" + m_box +
                                          "},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,4,0,0,1);\r\n" + "XFileName{" +
                                          m_ball + "},Matrix(2,0,0,0,0,2,0,0,0,0,2,0,0,5,0,1);\r\n");
    }
};

} // namespace

TEST_F(UndoRedo, EveryKindOfStepUndoesAndRedoesToTheExactState) {
    REQUIRE_ACTIVE(); // copy, paste and the apply commands act in the active main window
    Open(m_box);
    Open(m_ball);
    Place(0, Scaled(2, 3, 4) * Moved(1.1f, 2.2f, 3.3f));
    Place(1, TurnedY(0.5f) * Moved(-7, 0.5f, 9));
    Select(1);
    RaiseFlag(&MyForm::SetAllFlg); // copying the matrix is not a step
    const std::string matrixFile = m_dir.File("m.mat");
    const D3DXMATRIX fromFile = TurnedY(-1.0f) * Moved(5, 6, 7);
    ASSERT_TRUE(Fieldsmith::SaveMatrixFile(matrixFile, &fromFile, true));
    const struct {
        const char* name;
        std::function<void()> act;
        int selected = 0; // selecting is not a step: it comes before
    } kinds[] = {
        {"add", [&] { Open(m_box); }},
        {"paste", [&] { RaiseFlag(&MyForm::SetObjCopy), RaiseFlag(&MyForm::SetObjPaste); }},
        {"map open", [&] { OpenMap(TwoRecordMap()); }},
        {"delete", [&] { RaiseFlag(&MyForm::SetObjDelete); }, 1},
        {"rename", [&] { Rename("木の列"); }},
        {"hide", [&] { List().SetItemChecked(0, false), Frame(); }},
        {"drag", [&] { DragX(7); }},
        {"pop-up entry", [&] { PopUp(1, 2, 3); }},
        {"reset", [&] { m_form->RequestMatrixIdentity(), Frame(); }},
        {"apply translation", [&] { RaiseFlag(&MyForm::SetTransFlg); }},
        {"apply rotation", [&] { RaiseFlag(&MyForm::SetRotFlg); }},
        {"apply scale", [&] { RaiseFlag(&MyForm::SetScaleFlg); }},
        {"apply all", [&] { RaiseFlag(&MyForm::SetPasteFlg); }},
        {"matrix file",
         [&] {
             m_form->openFileDialog2->setFileName(QString::fromStdString(matrixFile));
             RaiseFlag(&MyForm::SetMatrixOpenFlg);
         }},
    };
    for (const auto& kind : kinds) {
        Select(kind.selected);
        const std::size_t steps = m_list.GetHistory().UndoCount();
        const SceneSnapshot before = Snap();
        kind.act();
        const SceneSnapshot after = Snap();
        ASSERT_NE(after, before) << kind.name << " changed nothing";
        EXPECT_EQ(m_list.GetHistory().UndoCount(), steps + 1) << kind.name << " is one step";
        ASSERT_TRUE(m_list.Undo()) << kind.name;
        EXPECT_EQ(Snap(), before) << kind.name << " undone";
        ASSERT_TRUE(m_list.Redo()) << kind.name;
        EXPECT_EQ(Snap(), after) << kind.name << " redone";
        Frame();
        EXPECT_EQ(Snap(), after) << kind.name << ": a frame after the redo changes nothing";
    }
    EXPECT_TRUE(Texts().empty());
}

TEST_F(UndoRedo, TwoHundredRandomEditsUndoToTheStartAndRedoToTheEndByteForByte) {
    REQUIRE_ACTIVE();
    Open(m_box);
    Open(m_ball);
    const std::size_t baseline = m_list.GetHistory().UndoCount();
    const SceneSnapshot start = Snap();
    const std::string startMap = m_dir.File("start.map"), endMap = m_dir.File("end.map");
    const std::string map = TwoRecordMap();
    ASSERT_TRUE(m_list.SaveMapFile(startMap.c_str()));

    std::mt19937 random(20240514);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int i = 0; i < 200; ++i) {
        if (m_list.GetMaxSize() > 0)
            Select(pick(static_cast<int>(m_list.GetMaxSize())));
        switch (pick(m_list.GetMaxSize() > 0 ? 9 : 2)) {
        case 0:
            Open(pick(2) ? m_box : m_ball);
            break;
        case 1:
            if (pick(4) == 0)
                OpenMap(map);
            else
                RaiseFlag(&MyForm::SetObjPaste);
            break;
        case 2:
            RaiseFlag(&MyForm::SetObjCopy);
            break;
        case 3:
            if (pick(3) == 0)
                RaiseFlag(&MyForm::SetObjDelete);
            else
                PopUp(0.5f, -1, 2);
            break;
        case 4:
            Rename(("name" + std::to_string(i)).c_str());
            break;
        case 5:
            List().SetItemChecked(pick(List().Count()), pick(2)), Frame();
            break;
        case 6:
            DragX(pick(9) - 4);
            break;
        case 7:
            RaiseFlag(pick(2) ? &MyForm::SetAllFlg : &MyForm::SetRotFlg);
            break;
        default:
            m_form->SetSelectEdit(pick(3)), PopUp(0.25f, 0.5f, 0);
            m_form->SetSelectEdit(0);
            break;
        }
    }
    const SceneSnapshot end = Snap();
    ASSERT_TRUE(m_list.SaveMapFile(endMap.c_str()));
    const std::size_t steps = m_list.GetHistory().UndoCount() - baseline;
    EXPECT_GT(steps, 120u);
    for (std::size_t i = 0; i < steps; ++i)
        ASSERT_TRUE(m_list.Undo());
    EXPECT_EQ(Snap(), start);
    const std::string undone = m_dir.File("undone.map"), redone = m_dir.File("redone.map");
    ASSERT_TRUE(m_list.SaveMapFile(undone.c_str()));
    EXPECT_EQ(TempDir::Read(undone), TempDir::Read(startMap));
    while (m_list.Redo()) {
    }
    EXPECT_EQ(Snap(), end);
    ASSERT_TRUE(m_list.SaveMapFile(redone.c_str()));
    EXPECT_EQ(TempDir::Read(redone), TempDir::Read(endMap));
}

TEST_F(UndoRedo, KeysActInTheActiveMainWindowOnlyAndNeverWhileTyping) {
    REQUIRE_ACTIVE();
    Open(m_box);
    Open(m_ball);
    const SceneSnapshot two = Snap();
    EXPECT_TRUE(m_form->undoItem->isEnabled());
    EXPECT_EQ(m_form->undoItem->text().toStdString(), "元に戻す: 追加 " + Names()[1] + "\tCtrl+Z");
    EXPECT_FALSE(m_form->redoItem->isEnabled());
    Key({VK_CONTROL, 'Z'});
    EXPECT_EQ(m_list.GetMaxSize(), 1u);
    EXPECT_EQ(m_form->redoItem->text().toStdString(), "やり直し: 追加 " + two.objects[1].name + "\tCtrl+Y");
    Key({VK_CONTROL, 'Y'});
    EXPECT_EQ(Snap(), two);
    Key({VK_CONTROL, 'Z'});
    Key({VK_CONTROL, VK_SHIFT, 'Z'});
    EXPECT_EQ(Snap(), two) << "Ctrl+Shift+Z redoes";
    Key({'Z'});
    EXPECT_EQ(Snap(), two) << "Z alone";

    m_form->numericUpDown1->setFocus();
    QApplication::processEvents();
    if (m_form->numericUpDown1->isAncestorOf(QApplication::focusWidget()) ||
        QApplication::focusWidget() == m_form->numericUpDown1) {
        Key({VK_CONTROL, 'Z'});
        EXPECT_EQ(Snap(), two) << "typing in a number field";
    }
    m_form->checkedListBox1->setFocus();
    m_form->undoItem->trigger();
    Frame();
    EXPECT_EQ(m_list.GetMaxSize(), 1u) << "the menu item";
    m_form->redoItem->trigger();
    Frame();
    EXPECT_EQ(Snap(), two);

    // Where the window system hands the focus to the rename dialog, the keys stay with the name.
    m_form->ShowRename();
    if (QTest::qWaitFor([&] { return QApplication::activeWindow() == m_form->m_TextForm; }, 3000)) {
        Key({VK_CONTROL, 'Z'});
        EXPECT_EQ(Snap(), two) << "another window is active";
    }
}

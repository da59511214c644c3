#include "CXLISTFixture.h"

#include "NumericUpDown.h"
#include "PopWindow.h"
#include "TextForm.h"
#include "VirtualKeys.h"

#include <QLineEdit>
#include <QMenu>

namespace {

using Strings = std::vector<std::string>;

D3DXMATRIX Scaled(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixScaling(&m, x, y, z);
}

class ObjectCommands : public ObjectList {
protected:
    // Qt reports the main window and its tool windows active together, so wait for the application's
    // own answer.
    static bool Activate(QWidget& window) {
        window.show();
        window.activateWindow();
        return QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 3000);
    }
    // A key pressed with Ctrl held, one frame each, then both let go.
    void CtrlKey(int key) {
        Keys().KeyDown(VK_CONTROL);
        Frame();
        Keys().KeyDown(key);
        Frame();
        Keys().KeyUp(key);
        Keys().KeyUp(VK_CONTROL);
        Frame();
    }
};

} // namespace

TEST_F(ObjectCommands, AddDeleteAndPasteShareOneRunningNumberAndKeepIDsAsIndices) {
    REQUIRE_ACTIVE();
    EXPECT_EQ(&CAPP::GetInstance().GetXList(), &CAPP::GetInstance().GetXList());
    m_form->SetObjPaste(true);
    Frame();
    EXPECT_FALSE(m_form->GetObjPaste()) << "an empty clipboard drops the request";
    EXPECT_FALSE(m_form->contextMenuStrip1->isEnabled());
    for (int i = 0; i < 3; ++i)
        Open(i == 1 ? m_ball : m_box);
    EXPECT_EQ(Names(), (Strings{"OBJ1", "OBJ2", "OBJ3"}));
    EXPECT_EQ(List().SelectedIndex(), 2);
    EXPECT_TRUE(List().GetItemChecked(0) && List().GetItemChecked(1) && List().GetItemChecked(2));
    EXPECT_TRUE(m_form->contextMenuStrip1->isEnabled());
    EXPECT_EQ(m_list.GetFileName(1), m_ball);

    // Deleting the second selects the first; the clipboard's copy is pasted as OBJ4, not OBJ2 again.
    Select(1);
    EXPECT_EQ(m_list.GetFollowWorld(), m_list.GetWorld(1)) << "the camera follows the selection";
    m_form->SetObjDelete(true);
    Frame();
    EXPECT_EQ(Names(), (Strings{"OBJ1", "OBJ3"}));
    EXPECT_EQ(IDs(), (std::vector<int>{0, 1}));
    EXPECT_EQ(List().SelectedIndex(), 0);
    EXPECT_FALSE(m_form->GetObjDelete());
    Place(0, Moved(1, 2, 3));
    m_form->SetObjCopy(true);
    m_form->SetObjPaste(true);
    Frame(); // pasting comes before copying within a frame
    EXPECT_EQ(m_list.GetMaxSize(), 2u);
    m_form->SetObjPaste(true);
    Frame();
    EXPECT_EQ(Names(), (Strings{"OBJ1", "OBJ3", "OBJ4"}));
    EXPECT_EQ(List().SelectedIndex(), 2);
    EXPECT_TRUE(List().GetItemChecked(2));
    EXPECT_EQ(m_list.GetFileName(2), m_box);
    EXPECT_EQ(*m_list.GetWorld(2), Moved(1, 2, 3)) << "on top of the copied object";
    Place(0, Moved(7, 7, 7));
    m_form->SetObjPaste(true);
    Frame();
    EXPECT_EQ(*m_list.GetWorld(3), Moved(1, 2, 3)) << "the clipboard does not follow later edits";

    // Deleting the first leaves nothing selected, and a delete with nothing selected is dropped.
    Select(0);
    m_form->SetObjDelete(true);
    Frame();
    EXPECT_EQ(IDs(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(List().SelectedIndex(), -1);
    m_form->SetObjDelete(true);
    Frame();
    EXPECT_FALSE(m_form->GetObjDelete());
    Select(0);
    EXPECT_EQ(m_list.GetMaxSize(), 3u);
}

TEST_F(ObjectCommands, CopyAndPasteKeysActInTheActiveMainWindowOnly) {
    REQUIRE_ACTIVE();
    Open(m_box);
    Place(0, Moved(2, 0, 0));
    CtrlKey('C');
    CtrlKey('V');
    ASSERT_EQ(m_list.GetMaxSize(), 2u);
    EXPECT_EQ(*m_list.GetWorld(1), Moved(2, 0, 0));
    EXPECT_EQ(List().SelectedIndex(), 1);

    // Not while the left button is held.
    Keys().KeyDown(VK_LBUTTON);
    CtrlKey('V');
    Keys().KeyUp(VK_LBUTTON);
    Frame();
    EXPECT_EQ(m_list.GetMaxSize(), 2u);

    // With the coordinate pop-up active the keys do nothing and a menu copy waits.
    PopWindow& pop = *m_form->m_PopForm;
    if (!Activate(pop))
        GTEST_SKIP() << "the window system did not activate the pop-up";
    Place(1, Moved(9, 0, 0));
    CtrlKey('C');
    CtrlKey('V');
    m_form->SetObjCopy(true);
    Frame();
    EXPECT_EQ(m_list.GetMaxSize(), 2u);
    EXPECT_TRUE(m_form->GetObjCopy());
    pop.hide();
    ASSERT_TRUE(Activate(*m_form));
    Frame();
    EXPECT_FALSE(m_form->GetObjCopy());
    CtrlKey('V');
    ASSERT_EQ(m_list.GetMaxSize(), 3u);
    EXPECT_EQ(*m_list.GetWorld(2), Moved(9, 0, 0));
}

TEST_F(ObjectCommands, TheDeleteKeyLeavesObjectsAloneWhileTypingOrInAnotherWindow) {
    REQUIRE_ACTIVE();
    Open(m_box);
    Open(m_box);
    auto pressDelete = [&] {
        Keys().KeyDown(VK_DELETE);
        Frame();
        Keys().KeyUp(VK_DELETE);
        Frame();
    };

    // A number being edited in the main window.
    m_form->numericUpDown1->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() == m_form->numericUpDown1 ||
        m_form->numericUpDown1->isAncestorOf(QApplication::focusWidget())) {
        pressDelete();
        EXPECT_EQ(m_list.GetMaxSize(), 2u);
    }
    m_form->checkedListBox1->setFocus();
    QApplication::processEvents();
    pressDelete();
    EXPECT_EQ(m_list.GetMaxSize(), 1u);
    EXPECT_EQ(List().SelectedIndex(), 0);

    // A name being typed in the rename dialog.
    m_form->ShowRename();
    m_form->m_TextForm->activateWindow();
    if (!Activate(*m_form->m_TextForm))
        GTEST_SKIP() << "the window system did not activate the rename dialog";
    pressDelete();
    EXPECT_EQ(m_list.GetMaxSize(), 1u);
}

TEST_F(ObjectCommands, ComponentCommandsApplyTheCopiedMatrixToTheSelectedObject) {
    REQUIRE_ACTIVE();
    Open(m_box);
    Open(m_box);
    // The source: turned a quarter about Y, scaled 3 along its own X, standing at (4, 5, 6).
    D3DXMATRIX turn, source = Scaled(3, 1, 1);
    D3DXMatrixMultiply(&source, &source, D3DXMatrixRotationY(&turn, D3DX_PI / 2));
    source._41 = 4, source._42 = 5, source._43 = 6;
    Place(0, source);
    Select(0);
    m_form->SetAllFlg(true);
    Frame();
    EXPECT_EQ(m_list.GetCopyMatrix(), source);

    // The target: scaled 2 and standing at (1, 2, 3). It takes the orientation only.
    D3DXMATRIX target = Scaled(2, 2, 2);
    target._41 = 1, target._42 = 2, target._43 = 3;
    Place(1, target);
    Select(1);
    m_form->SetRotFlg(true);
    Frame();
    D3DXMATRIX expected = *D3DXMatrixRotationY(&turn, D3DX_PI / 2) * 2.0f;
    expected._41 = 1, expected._42 = 2, expected._43 = 3, expected._44 = 1;
    ExpectMatrixNear(*m_list.GetWorld(1), expected);

    // Scale onto an unrotated object: the three diagonal elements only.
    Place(1, target);
    m_form->SetScaleFlg(true);
    Frame();
    expected = target;
    expected._11 = 3, expected._22 = 1, expected._33 = 1;
    ExpectMatrixNear(*m_list.GetWorld(1), expected);

    m_form->SetTransFlg(true);
    Frame();
    EXPECT_EQ(m_list.GetPos(1), D3DXVECTOR3(4, 5, 6));
    m_form->SetPasteFlg(true);
    Frame();
    ExpectMatrixNear(*m_list.GetWorld(1), source);
    Frame();
    ExpectMatrixNear(*m_list.GetWorld(1), source); // the position stays with the pasted matrix
    EXPECT_FALSE(m_form->GetAllFlg() || m_form->GetRotFlg() || m_form->GetScaleFlg() ||
                 m_form->GetTransFlg() || m_form->GetPasteFlg());

    // Asked for with nothing selected, the commands are dropped instead of hitting the next selection.
    Place(1, target);
    Select(-1);
    m_form->SetPasteFlg(true);
    m_form->SetTransFlg(true);
    Frame();
    EXPECT_FALSE(m_form->GetPasteFlg() || m_form->GetTransFlg());
    Select(1);
    EXPECT_EQ(*m_list.GetWorld(1), target);
}

TEST_F(ObjectCommands, RenameReplacesTheSelectedItemAndShowsTheObjectAgain) {
    Open(m_box);
    Open(m_ball);
    Place(0, Moved(1, 0, 0));
    Select(0);
    List().SetItemChecked(0, false);
    m_form->ShowRename();
    m_form->m_TextForm->textBox1->setText("木の列");
    TextForm::SetClickFlg(true);
    m_list.ListChange();
    EXPECT_EQ(Names(), (Strings{"木の列", "OBJ2"}));
    EXPECT_TRUE(List().GetItemChecked(0));
    EXPECT_EQ(List().SelectedIndex(), 0);
    EXPECT_FALSE(TextForm::GetClickFlg());
    EXPECT_EQ(m_list.GetFileName(0), m_box);
    EXPECT_EQ(*m_list.GetWorld(0), Moved(1, 0, 0));

    // Confirmed with nothing selected: dropped, so that it does not rename the next selection.
    m_form->ShowRename();
    m_form->m_TextForm->textBox1->setText("later");
    Select(-1);
    TextForm::SetClickFlg(true);
    m_list.ListChange();
    EXPECT_FALSE(TextForm::GetClickFlg());
    Select(1);
    m_list.ListChange();
    EXPECT_EQ(Names(), (Strings{"木の列", "OBJ2"}));
}

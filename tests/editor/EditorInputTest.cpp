// Input as the window system delivers it, through Qt's events: which keys, clicks, turns and drags
// reach the scene and the camera, and which belong to other widgets.
#include "EditorFixture.h"

#include "NumericUpDown.h"
#include "TextForm.h"
#include "ViewBox.h"
#include "ViewWindow.h"
#include "VirtualKeys.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

class EditorInput : public EditorTest {
protected:
    bool ActivateMainWindow() {
        m_form->activateWindow();
        for (int i = 0; i < 100 && QApplication::activeWindow() != m_form; ++i)
            QTest::qWait(20);
        return QApplication::activeWindow() == m_form;
    }
    QWindow* View() const { return m_form->pictureBox1->NativeWindow(); }
    static CXLIST& List() { return CAPP::GetInstance().GetXList(); }
    std::vector<bool> Checked() const {
        return {m_form->button1->isChecked(), m_form->button2->isChecked(), m_form->button3->isChecked()};
    }
};

#define ACTIVATE_OR_SKIP()                                                                                   \
    do {                                                                                                     \
        if (!ActivateMainWindow())                                                                           \
            GTEST_SKIP() << "the window system did not activate the main window";                            \
    } while (false)

// Press and release both arrive between two frames: the next frame still sees the key, once.
TEST_F(EditorInput, AKeyTappedBetweenFramesActsOnceInTheNextFrame) {
    START_WITH_DEVICE();
    ACTIVATE_OR_SKIP();
    m_form->button1->setFocus();
    const struct {
        Qt::Key key;
        std::function<void(MyForm&)> before;
        std::function<bool(MyForm&)> done;
        const char* name;
    } taps[] = {
        {Qt::Key_C, [](MyForm& f) { f.SetSelectEdit(0); }, [](MyForm& f) { return f.GetSelectEdit() == 1; },
         "C"},
        {Qt::Key_Q, [](MyForm& f) { f.SetSelectEdit(0); }, [](MyForm& f) { return f.GetSelectEdit() == 2; },
         "Q"},
        {Qt::Key_V, [](MyForm& f) { f.SetSelectEdit(2); }, [](MyForm& f) { return f.GetSelectEdit() == 0; },
         "V"},
        {Qt::Key_F1, [](MyForm&) {},
         [](MyForm&) { return CamData::GetInstance().GetCamData()->vRot == D3DXVECTOR3(0, 0, 0); }, "F1"},
        {Qt::Key_Delete, [this](MyForm&) { Open(m_box); }, [](MyForm&) { return List().GetMaxSize() == 0; },
         "Delete"},
    };
    for (const auto& tap : taps) {
        tap.before(*m_form);
        Pass();
        QTest::keyClick(m_form->button1, tap.key);
        Pass();
        EXPECT_TRUE(tap.done(*m_form)) << tap.name;
    }
    // Counted once: the frame after does not see it again.
    m_form->SetSelectEdit(1);
    Pass();
    EXPECT_EQ(m_form->GetSelectEdit(), 1) << "V of the last tap is not seen twice";
}

// The letters switch the edit type only where they are not typed into a name or a number.
TEST_F(EditorInput, EditTypeLettersTypedIntoFieldsStayThere) {
    START_WITH_DEVICE();
    ACTIVATE_OR_SKIP();
    m_form->numericUpDown1->setFocus();
    QTest::keyClick(m_form->numericUpDown1, Qt::Key_C);
    Pass();
    EXPECT_EQ(m_form->GetSelectEdit(), 0) << "typing c into a number field";

    m_form->ShowRename();
    (void)QTest::qWaitForWindowActive(m_form->m_TextForm);
    QTest::keyClicks(m_form->m_TextForm->textBox1, QStringLiteral("qc"));
    Pass();
    EXPECT_EQ(m_form->GetSelectEdit(), 0) << "typing a name";
    EXPECT_EQ(m_form->m_TextForm->textBox1->text(), QStringLiteral("qc"));
    m_form->m_TextForm->close();

    ACTIVATE_OR_SKIP();
    m_form->button1->setFocus();
    QTest::keyClick(m_form->button1, Qt::Key_C);
    Pass();
    EXPECT_EQ(m_form->GetSelectEdit(), 1) << "and C still rotates from the main window";
}

// The pressed button is the active type, whichever way it was chosen.
TEST_F(EditorInput, TheEditTypeButtonsShowTheActiveType) {
    START_WITH_DEVICE();
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false})) << "move at start";
    m_form->button3->click();
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, true}));
    m_form->button3->click();
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, true})) << "a second click keeps it";
    ACTIVATE_OR_SKIP();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::vector<bool> checked;
    } keys[] = {{Qt::Key_C, Qt::NoModifier, {false, true, false}},
                {Qt::Key_V, Qt::ControlModifier, {true, false, false}},
                {Qt::Key_Q, Qt::NoModifier, {false, false, true}},
                {Qt::Key_V, Qt::NoModifier, {true, false, false}}};
    for (const auto& key : keys) {
        QTest::keyClick(m_form->button1, key.key, key.modifiers);
        Pass();
        EXPECT_EQ(Checked(), key.checked) << QKeySequence(key.key | key.modifiers).toString().toStdString();
    }
}

// A right drag orbits only when it starts over the view, wherever it goes after.
TEST_F(EditorInput, TheCameraTakesOnlyDragsThatStartInTheView) {
    START_WITH_DEVICE();
    ACTIVATE_OR_SKIP();
    const auto angles = [] { return CamData::GetInstance().GetCamData()->vRot; };
    const auto dragFrom = [&](QWidget* widget, QWindow* window, QPoint at) {
        if (widget != nullptr)
            QTest::mousePress(widget, Qt::RightButton, Qt::NoModifier, at);
        else
            QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, at);
        Pass();
        Pass();
        for (int step = 1; step <= 3; ++step) {
            CursorAt(POINT{100 + 10 * step, 100});
            Pass();
        }
        if (widget != nullptr)
            QTest::mouseRelease(widget, Qt::RightButton, Qt::NoModifier, at);
        else
            QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, at);
        Pass();
    };
    const D3DXVECTOR3 start = angles();
    dragFrom(m_form->checkedListBox1->viewport(), nullptr, QPoint(20, 20));
    EXPECT_EQ(angles(), start) << "a drag from the object list";
    dragFrom(m_form->numericUpDown1, nullptr, QPoint(5, 5));
    EXPECT_EQ(angles(), start) << "a drag from a number field";
    dragFrom(nullptr, View(), QPoint(100, 100));
    EXPECT_NE(angles(), start) << "a drag from the view orbits";
}

// A click that grabs no handle selects what is drawn under the cursor; empty space keeps the selection.
TEST_F(EditorInput, AClickInTheViewSelectsTheObjectUnderTheCursor) {
    START_WITH_DEVICE();
    ACTIVATE_OR_SKIP();
    Open(m_box);
    Open(m_box);
    D3DXMATRIX aside;
    D3DXMatrixTranslation(&aside, -4, 0, 4);
    List().GetObject(1)->SetWorld(&aside);
    List().GetObject(1)->SetPos(D3DXVECTOR3(-4, 0, 4));
    Pass();
    ASSERT_EQ(m_form->checkedListBox1->SelectedIndex(), 1);
    const struct {
        D3DXVECTOR3 at;
        int selected;
        const char* what;
    } clicks[] = {{{0, 0, 0}, 0, "the box at the origin"},
                  {{-2.5f, 0, -2.5f}, 0, "empty ground keeps it"},
                  {{-4, 0, 4}, 1, "the box set aside"}};
    for (const auto& click : clicks) {
        const POINT p = OnScreen(click.at);
        CursorAt(p);
        Pass(); // the handle pick reads where the cursor hovers first
        QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        Pass();
        EXPECT_EQ(m_form->checkedListBox1->SelectedIndex(), click.selected) << click.what;
        EXPECT_EQ(*List().GetWorld(1), aside) << "a click moves nothing";
    }
}

} // namespace

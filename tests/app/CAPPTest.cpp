#include "CAPP.h"
#include "KeyStateTracker.h"
#include "MyForm.h"
#include "PopWindow.h"
#include "QtInputFeed.h"
#include "Setting.h"
#include "ViewBox.h"
#include "VirtualKeys.h"
#include "Win32Input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// The key record is application-wide: every test starts and ends with nothing held.
class CAPPTest : public testing::Test {
protected:
    void SetUp() override { KeyStateTracker::GetInstance().FocusLost(); }
    void TearDown() override { KeyStateTracker::GetInstance().FocusLost(); }
};

TEST_F(CAPPTest, WindowsComeUpWithBothHandlesRegistered) {
    CAPP& app = CAPP::GetInstance();
    EXPECT_EQ(&app, &CAPP::GetInstance());
    const bool gridZX = Setting::m_bGridCheckBox2;
    Setting::m_bGridCheckBox2 = false;

    app.InitWindows();
    MyForm* form = app.GetMainForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(app.GetViewWnd(), form->pictureBox1->Handle());
    EXPECT_EQ(app.GetMainWnd(), form->Handle());
    EXPECT_NE(app.GetViewWnd(), app.GetMainWnd());
    // The secondary windows exist from the start but stay hidden, and the grid starts on the ZX plane.
    ASSERT_TRUE(form->m_PopForm);
    ASSERT_TRUE(form->m_SettingForm);
    EXPECT_FALSE(form->m_PopForm->isVisible());
    EXPECT_FALSE(form->m_SettingForm->isVisible());
    EXPECT_TRUE(Setting::m_bGridCheckBox2);

    // Cursor positions can be taken relative to the view.
    KeyStateTracker::GetInstance().SetCursorScreenPos(POINT{500, 400});
    POINT point{500, 400};
    EXPECT_TRUE(ScreenToClient(app.GetViewWnd(), &point));
    EXPECT_TRUE(ScreenToClient(app.GetMainWnd(), &point));

    const HWND view = app.GetViewWnd();
    app.DestroyWindows();
    EXPECT_EQ(app.GetMainForm(), nullptr);
    EXPECT_EQ(app.GetViewWnd(), nullptr);
    point = POINT{1, 2};
    EXPECT_FALSE(ScreenToClient(view, &point)) << "a destroyed view must not answer for its handle";
    Setting::m_bGridCheckBox2 = gridZX;
}

TEST_F(CAPPTest, SamplingGivesPressHoldAndReleaseEdges) {
    CAPP& app = CAPP::GetInstance();
    KeyStateTracker& keys = KeyStateTracker::GetInstance();
    app.SampleInput();
    keys.KeyDown(VK_LCONTROL);
    keys.KeyDown('V');
    keys.KeyDown(VK_LBUTTON);
    app.SampleInput();
    EXPECT_EQ(app.GetCtrlKey(), 2);
    EXPECT_EQ(app.GetVKey(), 2);
    EXPECT_EQ(app.GetCKey(), 0);
    EXPECT_EQ(app.GetMouseButton().Left.iState, 2);
    EXPECT_EQ(app.GetMouseButton().Right.iState, 0);
    app.SampleInput();
    EXPECT_EQ(app.GetCtrlKey(), 4);
    EXPECT_EQ(app.GetMouseButton().Left.iState, 4);
    keys.KeyUp(VK_CONTROL);
    keys.KeyUp(VK_LBUTTON);
    keys.KeyDown(VK_DELETE);
    keys.KeyDown(VK_RSHIFT);
    keys.KeyDown(VK_RMENU);
    app.SampleInput();
    EXPECT_EQ(app.GetCtrlKey(), 1);
    EXPECT_EQ(app.GetMouseButton().Left.iState, 1);
    EXPECT_EQ(app.GetDeleteKey(), 2);
    EXPECT_EQ(app.GetShiftKey(), 2);
    EXPECT_EQ(app.GetAltKey(), 2);
    keys.FocusLost();
    app.SampleInput();
    app.SampleInput();
    EXPECT_EQ(app.GetCtrlKey(), 0);
    EXPECT_EQ(app.GetVKey(), 0);
}

QKeyEvent Key(QEvent::Type type, int key, quint32 keysym, bool autoRepeat = false,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return QKeyEvent(type, key, modifiers, 0, keysym, 0, QString(), autoRepeat);
}

TEST_F(CAPPTest, KeyEventsNameWindowsKeys) {
    auto code = [](int key, quint32 keysym, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return QtInputFeed::VirtualKeyOf(Key(QEvent::KeyPress, key, keysym, false, modifiers));
    };
    EXPECT_EQ(code(Qt::Key_C, 'c'), 'C');
    EXPECT_EQ(code(Qt::Key_7, '7'), '7');
    EXPECT_EQ(code(Qt::Key_7, 0xffb7, Qt::KeypadModifier), VK_NUMPAD0 + 7);
    EXPECT_EQ(code(Qt::Key_F9, 0xffc6), VK_F9);
    EXPECT_EQ(code(Qt::Key_Delete, 0xffff), VK_DELETE);
    EXPECT_EQ(code(Qt::Key_Shift, 0xffe2), VK_RSHIFT);
    EXPECT_EQ(code(Qt::Key_Control, 0xffe3), VK_LCONTROL);
    EXPECT_EQ(code(Qt::Key_Alt, 0), VK_MENU);
    // A Cyrillic layout still reports the Latin keysym of the key.
    EXPECT_EQ(code(0x0421, 'v'), 'V');
    EXPECT_EQ(code(Qt::Key_unknown, 0), 0);
}

TEST_F(CAPPTest, TheFeedKeepsTheKeyRecordOfEveryWindow) {
    QtInputFeed feed;
    QApplication::instance()->installEventFilter(&feed);
    QWidget widget;
    KeyStateTracker& keys = KeyStateTracker::GetInstance();

    QKeyEvent press = Key(QEvent::KeyPress, Qt::Key_Q, 'q');
    QApplication::sendEvent(&widget, &press);
    EXPECT_TRUE(keys.IsDown('Q'));
    // Auto-repeat sends a release before every repeated press; the key is still held.
    QKeyEvent repeatRelease = Key(QEvent::KeyRelease, Qt::Key_Q, 'q', true);
    QApplication::sendEvent(&widget, &repeatRelease);
    EXPECT_TRUE(keys.IsDown('Q'));
    QKeyEvent release = Key(QEvent::KeyRelease, Qt::Key_Q, 'q');
    QApplication::sendEvent(&widget, &release);
    EXPECT_FALSE(keys.IsDown('Q'));

    QMouseEvent down(QEvent::MouseButtonPress, QPointF(1, 2), QPointF(1, 2), QPointF(310, 220),
                     Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &down);
    EXPECT_TRUE(keys.IsDown(VK_RBUTTON));
    EXPECT_EQ(keys.CursorScreenPos().x, 310);
    EXPECT_EQ(keys.CursorScreenPos().y, 220);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(1, 2), QPointF(1, 2), QPointF(311, 221),
                   Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &up);
    EXPECT_FALSE(keys.IsDown(VK_RBUTTON));

    QKeyEvent held = Key(QEvent::KeyPress, Qt::Key_Shift, 0xffe1);
    QApplication::sendEvent(&widget, &held);
    QApplicationStateChangeEvent away(Qt::ApplicationInactive);
    QApplication::sendEvent(QApplication::instance(), &away);
    EXPECT_FALSE(keys.IsDown(VK_SHIFT)) << "a key let go in another application must not stay held";
    QApplication::instance()->removeEventFilter(&feed);
}

} // namespace

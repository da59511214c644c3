#include "CAPP.h"

#include "DZGetAction.h"
#include "KeyStateTracker.h"
#include "MyForm.h"
#include "PopWindow.h"
#include "QtInputFeed.h"
#include "Setting.h"
#include "ViewBox.h"

#include <QApplication>
#include <QCheckBox>

CAPP& CAPP::GetInstance() {
    static CAPP instance;
    return instance;
}

CAPP::CAPP() = default;

CAPP::~CAPP() {
    // Widgets cannot be destroyed once the application object is gone; at process exit the system
    // takes the memory back anyway.
    if (QCoreApplication::instance() == nullptr)
        (void)m_MainForm.release();
}

void CAPP::InitWindows() {
    if (m_MainForm)
        return;
    if (!m_InputFeed)
        m_InputFeed = QtInputFeed::InstallOn(QCoreApplication::instance());
    m_MainForm = std::make_unique<MyForm>();
    m_MainForm->show();

    // Both exist from the start, so the frame code finds them whether or not the user opened them.
    m_MainForm->m_PopForm = new PopWindow(m_MainForm.get());
    m_MainForm->m_SettingForm = new Setting(m_MainForm.get());

    m_hViewWnd = m_MainForm->pictureBox1->Handle();
    m_hMainWnd = m_MainForm->Handle();

    // Every settings window from now on opens with the ZX plane checked, as the grid starts.
    m_MainForm->m_SettingForm->deleteLater();
    m_MainForm->m_SettingForm = new Setting(m_MainForm.get());
    m_MainForm->m_SettingForm->checkBox2->setChecked(true);
    Setting::m_bGridCheckBox2 = true;

    m_MainForm->m_SettingForm->close();
    m_MainForm->m_PopForm->close();
}

void CAPP::DestroyWindows() {
    m_hViewWnd = nullptr;
    m_hMainWnd = nullptr;
    m_MainForm.reset();
}

void CAPP::SampleInput() {
    // Keys and buttons pressed and let go since the last frame count as down for this one.
    KeyStateTracker::GetInstance().BeginFrame();
    DZGetMouseButtonAction(&m_MouseButton, 0);
    if (m_MouseButton.Left.iState != DZACTION_HOLD)
        m_bMouseXAnchored = m_bMouseYAnchored = false;
    DZGetAction(VK_CONTROL, &m_iCtrlKey);
    DZGetAction('C', &m_iCKey);
    DZGetAction('V', &m_iVKey);
    DZGetAction(VK_DELETE, &m_iDeleteKey);
    DZGetAction(VK_SHIFT, &m_iShiftKey);
    DZGetAction(VK_MENU, &m_iAltKey);
}

namespace {

// One axis of a left-button drag: the anchor follows the cursor while the button is held and rests at 0
// while it is up.
float DragStep(int leftState, float cursor, float& anchor, bool& anchored) {
    if (leftState == DZACTION_NONE)
        anchor = 0.0f;
    if (leftState == DZACTION_HOLD && anchored) {
        const float step = cursor - anchor;
        anchor = cursor;
        return step;
    }
    if (leftState == DZACTION_HOLD || leftState == DZACTION_PUSH) {
        anchor = cursor;
        anchored = true;
    }
    return 0.0f;
}

} // namespace

float CAPP::GetMouseXMovePos() {
    POINT cursor{};
    DZGetMouseClientPos(m_hViewWnd, &cursor);
    return DragStep(m_MouseButton.Left.iState, static_cast<float>(cursor.x), m_fMouseXOld, m_bMouseXAnchored);
}

float CAPP::GetMouseYMovePos() {
    POINT cursor{};
    DZGetMouseClientPos(m_hViewWnd, &cursor);
    return DragStep(m_MouseButton.Left.iState, static_cast<float>(cursor.y), m_fMouseYOld, m_bMouseYAnchored);
}

#include "CSystem.h"

#include "CAPP.h"
#include "D3DZCDIRECT3D.h"
#include "MyForm.h"
#include "VirtualKeys.h"
#include "Win32Input.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The letters are also typed into names and numbers; there, and in other windows, they must not
// switch the edit type.
bool KeysReachTheScene(const CAPP& app) {
    const QWidget* focus = QApplication::focusWidget();
    const bool typing = qobject_cast<const QLineEdit*>(focus) != nullptr ||
                        qobject_cast<const QAbstractSpinBox*>(focus) != nullptr;
    return GetActiveWindow() == app.GetMainWnd() && !typing;
}

} // namespace

CSystem& CSystem::GetInstance() {
    static CSystem instance;
    return instance;
}

void CSystem::Run() {
    SetCulState();
    SetEditType();
}

// When several keys are held, the last one tested wins.
void CSystem::SetCulState() {
    if (IsAsyncKeyDown(VK_F9))
        m_iCulState = 0;
    if (IsAsyncKeyDown(VK_F10))
        m_iCulState = 2;
    if (IsAsyncKeyDown(VK_F11))
        m_iCulState = 1;
    static constexpr DWORD kModes[] = {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW};
    D3DZCDIRECT3D::GetInstance().CullMode(kModes[m_iCulState]);
}

// Ctrl+C copies rather than switching to rotate; Ctrl+V, which pastes, also selects move.
void CSystem::SetEditType() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr || !KeysReachTheScene(CAPP::GetInstance()))
        return;
    if (IsAsyncKeyDown('V')) {
        form->SetSelectEdit(0);
        form->button1->setFocus();
    }
    if (IsAsyncKeyDown('C') && GetAsyncKeyState(VK_CONTROL) == 0) {
        form->SetSelectEdit(1);
        form->button2->setFocus();
    }
    if (IsAsyncKeyDown('Q')) {
        form->SetSelectEdit(2);
        form->button3->setFocus();
    }
}

#include "CamData.h"

#include "CAPP.h"
#include "CLIStringToChar.h"
#include "CShader.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZCMATRIX.h"
#include "Fieldsmith.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "MyForm.h"
#include "ViewBox.h"
#include "Win32Input.h"

#include <QAction>
#include <QCheckBox>

#include <utility>

namespace {

constexpr float kDegreesPerPixel = 0.3f;
constexpr float kPanPerPixel = 0.01f;
const D3DXVECTOR3 kStartAngles(32.0f, -38.0f, 0.0f);

bool IsDown(int key) {
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

// A context-menu entry counts as chosen while it is highlighted in the frame the left button went down.
bool Chosen(const MyForm& form, QAction* item) {
    if (item == nullptr || CAPP::GetInstance().GetMouseButton().Left.iState != DZACTION_PUSH)
        return false;
    return form.IsItemSelected(item);
}

bool Held(int state) {
    return state == DZACTION_HOLD;
}

} // namespace

CamData& CamData::GetInstance() {
    static CamData instance;
    return instance;
}

void CamData::Reset() {
    m_Cam = D3DZCAMERADATA{};
    m_ptOld = POINT{};
    m_MouseButton = D3DXZORVMOUSEBUTTON{};
    m_LeftStart = m_RightStart = m_MiddleStart = DragStart{};
    m_bFollow = false;
}

void CamData::Init() {
    m_Cam.vRot = kStartAngles;
    if (MyForm* form = CAPP::GetInstance().GetMainForm())
        form->SetMouseWheel(-10);
    m_Cam.vPos.z = -10.0f;
    CShader::GetInstance().SetCamera(&m_Cam);
}

void CamData::MouseUpdate() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return;
    DZGetMouseButtonAction(&m_MouseButton, 0);
    m_Cam.vPos.z = static_cast<float>(form->GetMouseWheel()) * form->GetnumerDis();
    POINT cursor{};
    DZGetMouseClientPos(CAPP::GetInstance().GetViewWnd(), &cursor);
    NoteWhereDragsStart(cursor);
    if (GetActiveWindow() == CAPP::GetInstance().GetMainWnd()) {
        const auto dx = static_cast<float>(cursor.x - m_ptOld.x);
        const auto dy = static_cast<float>(cursor.y - m_ptOld.y);
        Orbit(dx, dy);
        Pan(dx, dy);
        ApplyPresets();
        UpdateFollow();
        ResetWideAngles();
    }
    m_ptOld = cursor;
}

void CamData::NoteWhereDragsStart(POINT cursor) {
    const ViewBox* view = CAPP::GetInstance().GetMainForm()->pictureBox1;
    const bool overView =
        cursor.x >= 0 && cursor.y >= 0 && cursor.x < view->width() && cursor.y < view->height();
    // A press right after a release reads held at once, without the pressed state, so a new press is
    // any frame that finds the button down after one that did not.
    for (auto [button, start] :
         {std::pair{&m_MouseButton.Left, &m_LeftStart}, std::pair{&m_MouseButton.Right, &m_RightStart},
          std::pair{&m_MouseButton.Middle, &m_MiddleStart}}) {
        const bool down = button->iState == DZACTION_PUSH || button->iState == DZACTION_HOLD;
        if (down && !start->down)
            start->overView = overView;
        start->down = down;
    }
}

bool CamData::DragsTheCamera(const D3DXZORVACTIONPARAMETER& button) const {
    const DragStart& start = &button == &m_MouseButton.Left    ? m_LeftStart
                             : &button == &m_MouseButton.Right ? m_RightStart
                                                               : m_MiddleStart;
    return Held(button.iState) && start.overView;
}

void CamData::Orbit(float dx, float dy) {
    const D3DXZORVMOUSEBUTTON& app = CAPP::GetInstance().GetMouseButton();
    if (DragsTheCamera(m_MouseButton.Right) && GetAsyncKeyState(VK_LCONTROL) == 0 && !Held(app.Left.iState)) {
        m_Cam.vRot.y += dx * kDegreesPerPixel;
        m_Cam.vRot.x += dy * kDegreesPerPixel;
    }
    // The application's record of the right button is sampled in the same frame as the camera's own.
    if (Held(app.Right.iState) && m_RightStart.overView && GetAsyncKeyState(VK_LCONTROL) != 0) {
        m_Cam.vRot.z += dx * kDegreesPerPixel;
        m_Cam.vRot.z += dy * kDegreesPerPixel;
    }
}

// Panning moves by a share of the distance, so it feels the same near and far.
void CamData::Pan(float dx, float dy) {
    const int passes = (DragsTheCamera(m_MouseButton.Middle) ? 1 : 0) +
                       (DragsTheCamera(m_MouseButton.Left) && DragsTheCamera(m_MouseButton.Right) ? 1 : 0);
    for (int i = 0; i < passes; ++i) {
        m_Cam.vPos.x += dx * m_Cam.vPos.z * kPanPerPixel;
        m_Cam.vPos.y -= dy * m_Cam.vPos.z * kPanPerPixel;
    }
}

void CamData::ApplyPresets() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (Chosen(*form, form->toolStripMenuItem20) || IsDown(VK_F1))
        m_Cam.vRot = D3DXVECTOR3(0, 0, 0);
    if (Chosen(*form, form->toolStripMenuItem21) || IsDown(VK_F2))
        m_Cam.vRot = D3DXVECTOR3(90, 0, 0);
    if (Chosen(*form, form->toolStripMenuItem22) || IsDown(VK_F3))
        m_Cam.vRot = D3DXVECTOR3(0, 90, 0);
    if (Chosen(*form, form->toolStripMenuItem23) || IsDown(VK_F4)) {
        if (m_bFollow)
            form->toolStripMenuItem24->trigger();
        m_bFollow = false;
        m_Cam.vRot = kStartAngles;
        m_Cam.vPos.x = m_Cam.vPos.y = 0.0f;
        form->SetMouseWheel(-30);
    }
}

void CamData::UpdateFollow() {
    const bool checked = CAPP::GetInstance().GetMainForm()->toolStripMenuItem24->isChecked();
    if (checked) {
        if (m_pFollowTarget == nullptr || m_pFollowTarget->GetFollowCount() < 1)
            return;
        if (!m_bFollow)
            m_Cam.vPos.x = m_Cam.vPos.y = 0.0f;
        m_bFollow = true;
    } else {
        if (m_bFollow)
            m_Cam.vPos.x = m_Cam.vPos.y = 0.0f;
        m_bFollow = false;
    }
}

// Angles past a full turn go back to 0 rather than wrapping, in the order y, x, z.
void CamData::ResetWideAngles() {
    for (float* angle : {&m_Cam.vRot.y, &m_Cam.vRot.x, &m_Cam.vRot.z})
        if (*angle > 360.0f || *angle < -360.0f)
            *angle = 0.0f;
}

void CamData::Run() {
    MouseUpdate();
    D3DXMATRIX view;
    BuildView(&view);
    D3DZCDIRECT3D::GetInstance().SetView(&view);
    BuildProjection();
    SaveCamera();
}

void CamData::BuildView(D3DXMATRIX* view) {
    if (!m_bFollow) {
        D3DZMakeCameraMatrix(view, &m_Cam);
        return;
    }
    D3DXVECTOR3 target(0, 0, 0);
    if (const D3DXMATRIX* world = m_pFollowTarget != nullptr ? m_pFollowTarget->GetFollowWorld() : nullptr)
        target = D3DXVECTOR3(world->_41, world->_42, world->_43);
    D3DZCMATRIX place, rx, ry, rz, toTarget;
    place.SetTrans(m_Cam.vPos);
    rx.SetRotation(m_Cam.vRot.x, 0, 0);
    ry.SetRotation(0, m_Cam.vRot.y, 0);
    rz.SetRotation(0, 0, m_Cam.vRot.z);
    toTarget.SetTrans(target);
    D3DXMATRIX camera;
    D3DXMatrixMultiply(&camera, &place, &rx);
    D3DXMatrixMultiply(&camera, &camera, &ry);
    D3DXMatrixMultiply(&camera, &camera, &rz);
    D3DXMatrixMultiply(&camera, &camera, &toTarget);
    *view = D3DZCMATRIX(camera).GetInverse();
}

void CamData::BuildProjection() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    const float zNear = form->GetDrawStartRange(), zFar = form->GetDrawEndRange();
    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    if (form->checkBox1->isChecked()) {
        D3DXMATRIX projection;
        D3DXMatrixOrthoLH(&projection, -2.0f * m_Cam.vPos.z, -m_Cam.vPos.z, zNear, zFar);
        direct3d.SetProj(&projection);
        return;
    }
    const int width = form->pictureBox1->width(), height = form->pictureBox1->height();
    // A view squeezed to nothing keeps a square aspect instead of dividing by zero.
    const float aspect =
        height > 0 && width > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
    D3DXMATRIX projection;
    direct3d.SetProj(&projection, 45.0f, aspect, zNear, zFar);
}

void CamData::SaveCamera() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr || !form->GetCameraSaveFlg())
        return;
    form->SetCameraSaveFlg(false);
    if (m_bFollow) {
        MessageBoxA(nullptr,
                    "オブジェクトに追従しているときはカメラの情報を保存することができません\n"
                    "設定を変えて再度実行してください",
                    "", MB_OK);
        return;
    }
    const std::string fileName = CLIStringToChar(form->saveFileDialog3->fileName());
    const bool binary = form->saveFileDialog3->filterIndex() == 2;
    const D3DXMATRIX view = D3DZCDIRECT3D::GetInstance().GetView();
    // A file that could not be written must not pass for saved.
    if (!Fieldsmith::SaveMatrixFile(fileName, &view, binary))
        MessageBoxA(nullptr,
                    "[Error] SaveError\n[Error "
                    "Case]ファイルを保存できませんでした。\n[Approach]保存先を確認してください。",
                    "Information", MB_OK);
}

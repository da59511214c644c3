#include "CXData.h"

#include "CAPP.h"
#include "CLIStringToChar.h"
#include "CShader.h"
#include "CWindowCheck.h"
#include "CamData.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZDMXFILE.h"
#include "DZGetAction.h"
#include "FileDialog.h"
#include "MyForm.h"
#include "PopWindow.h"

#include <QCheckBox>
#include <QListWidget>

#include <cmath>

namespace {

// No scale step may collapse or mirror the object.
constexpr float kMinScaleStep = 0.001f;
// The axis handles stand this many units from the object's origin at camera distance -10.
constexpr float kHandleOffset = 3.0f;
constexpr float kAxisLength = 50.0f;

enum RenderMode { kFixed = 0, kBase = 1, kToon = 2, kSphereMap = 3, kShadowMap = 4 };

bool Held(int state) {
    return state == DZACTION_HOLD;
}

// Which way a drag on a rotation ring turns the object, for the camera's yaw: seen from the other side
// a ring's horizontal drag would otherwise turn the wrong way. False where no row of the table applies.
bool RotationRow(int handle, float yaw, D3DXVECTOR3& axis, float& sign, bool& turnsRoll) {
    turnsRoll = false;
    switch (handle) {
    case CWindowCheck::kAxisX:
        axis = D3DXVECTOR3(1, 0, 0);
        if (yaw > -180.0f && yaw <= 0.0f)
            sign = 1.0f;
        else if (yaw > -360.0f && yaw <= -180.0f)
            sign = -1.0f;
        else if (yaw > 0.0f && yaw <= 180.0f)
            sign = -1.0f;
        else if (yaw > 180.0f && yaw <= 360.0f)
            sign = 1.0f;
        else
            return false;
        return true;
    case CWindowCheck::kAxisY:
        axis = D3DXVECTOR3(0, 1, 0);
        sign = -1.0f;
        return true;
    case CWindowCheck::kAxisZ:
        axis = D3DXVECTOR3(0, 0, 1);
        turnsRoll = true;
        if ((yaw >= -90.0f && yaw <= 90.0f) || yaw >= 270.0f || yaw <= -270.0f)
            sign = -1.0f;
        else if ((yaw > 90.0f && yaw < 270.0f) || (yaw > -270.0f && yaw < -90.0f))
            sign = 1.0f;
        else
            return false;
        return true;
    default:
        return false;
    }
}

} // namespace

CXData::CXData(int flag, D3DZMAPDATA* /*data*/) {
    if (flag == 0)
        Init();
}

CXData::CXData(Fieldsmith::_TAG_MAPDATA* data) {
    Init(data);
}

void CXData::Init() {
    if (MyForm* form = CAPP::GetInstance().GetMainForm())
        m_strFileName = CLIStringToChar(form->openFileDialog1->fileName());
    m_pXFile = D3DZDMXFILE::GetInstance().Load(m_strFileName);
    m_vPos = D3DXVECTOR3(0, 0, 0);
    m_vRot = D3DXVECTOR3(0, 0, 0);
    m_vScale = D3DXVECTOR3(1, 1, 1);
}

void CXData::Init(Fieldsmith::_TAG_MAPDATA* data) {
    if (data == nullptr)
        return;
    m_strFileName = data->name;
    m_pXFile = D3DZDMXFILE::GetInstance().Load(m_strFileName);
    m_mWorld = data->world;
    m_vPos = D3DXVECTOR3(m_mWorld._41, m_mWorld._42, m_mWorld._43);
}

void CXData::SetWorld(const D3DXMATRIX* m) {
    if (m == nullptr || m == &m_mWorld)
        return;
    m_mWorld = *m;
}

void CXData::Update() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return;
    D3DZORVFILE delta{{0, 0, 0}, {0, 0, 0}, {1, 1, 1}};
    D3DZCMATRIX rotation;
    D3DZCMATRIX scaling;

    PopWindow* pop = form->m_PopForm;
    const D3DXVECTOR3 entry =
        pop ? D3DXVECTOR3(pop->GetxValue(), pop->GetyValue(), pop->GetzValue()) : D3DXVECTOR3(0, 0, 0);
    const bool pushed = pop && pop->GetButtonPush();
    const int editType = form->GetSelectEdit();
    if (pop)
        pop->checkBox1->setEnabled(editType == 0);
    const bool absolute = pop && pop->checkBox1->isChecked();

    switch (editType) {
    case 0:
        m_vPos += entry;
        TransUnProjectMove();
        if (absolute && pushed)
            m_vPos = entry;
        break;
    case 1:
        delta.vRot += entry;
        rotation.SetRotation(delta.vRot);
        if (!pushed)
            MatrixRotation(rotation);
        break;
    case 2:
        // The absolute box means nothing for a scale; it stays checked from move mode but disabled,
        // so an entry is taken once, as a step, whatever it shows.
        delta.vScale += entry;
        MatrixScaling(&delta);
        break;
    default:
        break;
    }

    if (pop) {
        pop->SetxValue(0);
        pop->SetyValue(0);
        pop->SetzValue(0);
        pop->SetButtonPush(false);
    }

    // Also catches a step that is not a number, so it cannot reach the matrix.
    for (float* factor : {&delta.vScale.x, &delta.vScale.y, &delta.vScale.z})
        if (!(*factor >= kMinScaleStep))
            *factor = kMinScaleStep;
    scaling.SetScaling(delta.vScale);

    D3DXMATRIX world;
    D3DXMatrixMultiply(&world, &scaling, &m_mWorld);
    D3DXMatrixMultiply(&world, &world, &rotation);
    world._41 = m_vPos.x;
    world._42 = m_vPos.y;
    world._43 = m_vPos.z;
    // A step that overflows would leave a matrix nothing can draw, save or undo; the object keeps its
    // last good transform instead.
    if (IsFinite(world))
        m_mWorld = world;

    if (form->isMatrixIdenty()) {
        m_mWorld.SetIdentity();
        m_vPos = D3DXVECTOR3(0, 0, 0);
    }
}

void CXData::DragAmounts(float c, float& dX, float& dY) {
    CAPP& app = CAPP::GetInstance();
    MyForm* form = app.GetMainForm();
    const int left = app.GetMouseButton().Left.iState;
    const int shift = app.GetShiftKey();
    if (shift == DZACTION_NONE || left == DZACTION_NONE)
        m_iSnapCount = 0;

    const bool manual = form != nullptr && form->GetManualMouseFlg();
    const float factor = manual ? form->GetMousePower() : std::abs(CamData::GetInstance().GetZoom()) * c;
    dX = app.GetMouseXMovePos() * factor;
    dY = app.GetMouseYMovePos() * factor;

    if (dX != 0.0f && dY != 0.0f && Held(shift) && Held(left))
        ++m_iSnapCount;
    if (manual)
        return;
    // Ctrl for fine work, Alt for coarse; both together cancel out.
    if (Held(app.GetCtrlKey())) {
        dX *= 0.1f;
        dY *= 0.1f;
    }
    if (Held(app.GetAltKey())) {
        dX *= 10.0f;
        dY *= 10.0f;
    }
}

void CXData::TransUnProjectMove() {
    CAPP& app = CAPP::GetInstance();
    // The y movement is read only when there is no x movement; what it holds carries over.
    if (app.GetMouseXMovePos() == 0.0f && app.GetMouseYMovePos() == 0.0f)
        return;
    CWindowCheck& manipulator = CWindowCheck::GetInstance();
    const int handle = manipulator.GetNowColor();
    if (handle < CWindowCheck::kCentre || handle > CWindowCheck::kAxisZ)
        return;

    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    D3DVIEWPORT9 viewport{0, 0, 0, 0, 0.0f, 1.0f};
    direct3d.GetViewPort(&viewport);
    // Without a view there is no screen to unproject from.
    if (viewport.Width == 0 || viewport.Height == 0)
        return;
    POINT cursor{};
    DZGetMouseClientPos(app.GetViewWnd(), &cursor);

    const D3DXMATRIX& handleWorld = manipulator.GetMarixList()[handle];
    const D3DXMATRIX view = direct3d.GetView();
    const D3DXMATRIX projection = direct3d.GetProj();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const D3DXVECTOR3 handlePos(handleWorld._41, handleWorld._42, handleWorld._43);
    D3DXVECTOR3 onScreen;
    D3DXVec3Project(&onScreen, &handlePos, &viewport, &projection, &view, &identity);
    const D3DXVECTOR3 underCursor(static_cast<float>(cursor.x), static_cast<float>(cursor.y), onScreen.z);
    D3DXVECTOR3 point;
    // A camera that sees nothing (a degenerate view or projection) gives no point; the object stays.
    if (D3DXVec3Unproject(&point, &underCursor, &viewport, &projection, &view, &identity) == nullptr ||
        !IsFinite(point))
        return;
    if (!Held(app.GetMouseButton().Left.iState))
        return;

    const float k = -CamData::GetInstance().GetZoom() / 10.0f * kHandleOffset;
    const D3DXVECTOR3 local = point - m_vPos - D3DXVECTOR3(k, k, k);
    switch (handle) {
    case CWindowCheck::kCentre:
        m_vPos = point;
        break;
    case CWindowCheck::kAxisX:
        m_vPos.x += local.x;
        break;
    case CWindowCheck::kAxisY:
        m_vPos.y += local.y;
        break;
    case CWindowCheck::kAxisZ:
        m_vPos.z += local.z;
        break;
    default:
        break;
    }
}

void CXData::MatrixRotation(D3DZCMATRIX& mRot) {
    float dX = 0.0f, dY = 0.0f;
    DragAmounts(0.001f, dX, dY);

    D3DXVECTOR3 axis;
    float sign = 0.0f;
    bool turnsRoll = false;
    const float yaw = CamData::GetInstance().GetCamData()->vRot.y;
    if (!RotationRow(CWindowCheck::GetInstance().GetNowColor(), yaw, axis, sign, turnsRoll))
        return;

    MyForm* form = CAPP::GetInstance().GetMainForm();
    const bool snapDrag =
        form != nullptr && form->GetSelectEdit() == 1 && Held(CAPP::GetInstance().GetShiftKey());
    if (snapDrag) {
        // Every sixth frame that moved both ways turns one notch in the horizontal direction.
        if (m_iSnapCount > 5) {
            const float step = (dX >= 0.0f ? 45.0f : -45.0f) * sign;
            D3DXMatrixRotationAxis(&mRot, &axis, step * D3DZ_DEGREE_TO_RADIAN);
            D3DXMatrixMultiply(&m_mRotation, &m_mRotation, &mRot);
            m_iSnapCount = 0;
        }
        return;
    }
    if (turnsRoll)
        m_vRot.z += sign * 10.0f * dX;
    D3DXMatrixRotationAxis(&mRot, &axis, sign * 5.0f * dX * D3DZ_DEGREE_TO_RADIAN);
    D3DXMatrixMultiply(&m_mRotation, &m_mRotation, &mRot);
}

void CXData::MatrixScaling(D3DZORVFILE* delta) {
    if (delta == nullptr)
        return;
    float dX = 0.0f, dY = 0.0f;
    DragAmounts(0.0001f, dX, dY);

    const int handle = CWindowCheck::GetInstance().GetNowColor();
    if (handle == CWindowCheck::kCentre) {
        const float d = dX - dY;
        delta->vScale += D3DXVECTOR3(d, d, d);
        return;
    }
    if (handle < CWindowCheck::kAxisX || handle > CWindowCheck::kAxisZ)
        return;
    // The world axis of the handle in the object's own axes, so that the handle stretches the object
    // along whichever of its axes lies along it.
    D3DZCMATRIX unrotated = m_mWorld;
    unrotated.NormalizeRotation();
    if (D3DXMatrixInverse(&unrotated, nullptr, &unrotated) == nullptr)
        return;
    const int row = handle - CWindowCheck::kAxisX;
    D3DXVECTOR3 a(unrotated.m[row][0], unrotated.m[row][1], unrotated.m[row][2]);
    D3DXVec3Normalize(&a, &a);
    if (!IsFinite(a))
        return;
    a = D3DXVECTOR3(std::abs(a.x), std::abs(a.y), std::abs(a.z));
    delta->vScale += a * dX;
    delta->vScale -= a * dY;
}

void CXData::Draw() {
    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (direct3d.GetDevice() == nullptr || form == nullptr)
        return;
    direct3d.SetWorldTrans(&m_mWorld);

    CShader& shaders = CShader::GetInstance();
    switch (form->RenderMode()) {
    case kFixed:
        if (m_pXFile != nullptr)
            m_pXFile->Draw(1.0f);
        break;
    case kBase:
        shaders.DrawBase(this);
        break;
    case kToon:
        shaders.DrawToon(this);
        break;
    case kSphereMap:
        shaders.DrawSpeMap(this);
        break;
    case kShadowMap:
        // The list draws every object twice a frame: into the shadow map, then with it.
        if (!m_bShadowPass)
            shaders.DrawCreateShadow(this);
        else
            shaders.DrawShadow(this);
        m_bShadowPass = !m_bShadowPass;
        break;
    default:
        break;
    }

    if (form->checkBox2->isChecked())
        DrawLocalAxes();
}

void CXData::PassOver() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (D3DZCDIRECT3D::GetInstance().GetDevice() != nullptr && form != nullptr &&
        form->RenderMode() == kShadowMap)
        m_bShadowPass = !m_bShadowPass;
}

void CXData::DrawLocalAxes() {
    struct AxisVertex {
        float x, y, z;
        DWORD colour;
    };
    static_assert(sizeof(AxisVertex) == 16);
    static constexpr AxisVertex kAxes[3][2] = {
        {{0, 0, 0, 0xFFFF0000}, {kAxisLength, 0, 0, 0xFFFF0000}},
        {{0, 0, 0, 0xFF00FF00}, {0, kAxisLength, 0, 0xFF00FF00}},
        {{0, 0, 0, 0xFF0000FF}, {0, 0, kAxisLength, 0xFF0000FF}},
    };

    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->SetTransform(D3DTS_WORLD, &m_mWorld);
    device->SetTexture(0, nullptr);
    for (const auto& segment : kAxes)
        device->DrawPrimitiveUP(D3DPT_LINELIST, 1, segment, sizeof(AxisVertex));
    MyForm* form = CAPP::GetInstance().GetMainForm();
    device->SetRenderState(D3DRS_LIGHTING, form->GetLightEnable() ? TRUE : FALSE);
}

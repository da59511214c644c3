#include "CUI.h"

#include "CAPP.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZCMATRIX.h"
#include "MyForm.h"
#include "Setting.h"

#include <QCheckBox>

#include <cmath>

namespace {

constexpr DWORD kLineFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// How much farther the overlay's lines are placed in depth than they are, as a share of their
// distance from the eye. Lines and faces in one plane (a floor at height 0 under the ground grid)
// rasterize to slightly different depths, so either could win pixel by pixel and the floor would show
// speckled; pushed back by this much, the lines always lose to such a face and still win against
// faces farther back.
constexpr float kLineDepthPush = 0.005f;

// The projection with every point's depth taken as if it lay farther by kLineDepthPush of its
// distance: where it lands on the screen does not change. A perspective projection (w = z) gets there
// through its depth offset, an orthographic one (w = 1) through its depth scale.
D3DXMATRIX PushedBack(const D3DXMATRIX& projection) {
    D3DXMATRIX pushed = projection;
    if (projection._34 != 0.0f)
        pushed._43 /= 1.0f + kLineDepthPush;
    else
        pushed._33 *= 1.0f + kLineDepthPush;
    return pushed;
}

void SetLineState(IDirect3DDevice9* device) {
    device->SetFVF(kLineFormat);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTexture(0, nullptr);
}

} // namespace

void CUI::Draw() {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (device == nullptr || form == nullptr)
        return;
    TakeOverAppliedGrid();
    const float s = m_fGridInterval;
    const float reach = (kHalfLines + 1) * s;
    const _D3DVERTEXCOR_ lineX[2] = {{-reach, 0, 0, kGridColor}, {reach, 0, 0, kGridColor}};
    const _D3DVERTEXCOR_ lineZ[2] = {{0, 0, -reach, kGridColor}, {0, 0, reach, kGridColor}};
    SetLineState(device);
    D3DXMATRIX projection;
    device->GetTransform(D3DTS_PROJECTION, &projection);
    const D3DXMATRIX pushed = PushedBack(projection);
    device->SetTransform(D3DTS_PROJECTION, &pushed);
    if (m_bGridYZ) {
        DrawGridFamily(lineX, {0, 1, 0}, {0, 90, 0});
        DrawGridFamily(lineZ, {0, 0, 1}, {90, 90, 0});
    }
    if (m_bGridZX) {
        DrawGridFamily(lineX, {0, 0, 1}, {0, 0, 0});
        DrawGridFamily(lineZ, {1, 0, 0}, {0, 0, 0});
    }
    if (m_bGridXY) {
        DrawGridFamily(lineX, {1, 0, 0}, {0, 0, 90});
        DrawGridFamily(lineZ, {0, 1, 0}, {0, 90, 0});
    }
    DrawAxes();
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, form->GetLightEnable() ? TRUE : FALSE);
}

void CUI::RestoreGrid(float interval, bool yz, bool zx, bool xy) {
    if (interval > 0.0f && std::isfinite(interval))
        m_fGridInterval = interval;
    m_bGridYZ = yz;
    m_bGridZX = zx;
    m_bGridXY = xy;
}

void CUI::TakeOverAppliedGrid() {
    Setting* setting = CAPP::GetInstance().GetMainForm()->m_SettingForm;
    if (setting == nullptr || !setting->GetOKClick())
        return;
    m_fGridInterval = Setting::GetGridValue();
    Setting::SetGridValue(m_fGridInterval);
    setting->SetOKClick(false);
    m_bGridYZ = setting->checkBox1->isChecked();
    m_bGridZX = setting->checkBox2->isChecked();
    m_bGridXY = setting->checkBox3->isChecked();
    setting->close();
}

// Copies of one template line at +i and -i intervals along a direction, i from 0 to 20, so the
// centre line is drawn twice. The rotation turns the template before the translation moves it.
void CUI::DrawGridFamily(const _D3DVERTEXCOR_* line, const D3DXVECTOR3& along, const D3DXVECTOR3& degrees) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    for (int i = 0; i <= kHalfLines; ++i) {
        for (const float sign : {1.0f, -1.0f}) {
            const D3DXVECTOR3 offset = along * (sign * static_cast<float>(i) * m_fGridInterval);
            D3DZCMATRIX world;
            D3DXMatrixTranslation(&world, offset.x, offset.y, offset.z);
            if (degrees != D3DXVECTOR3(0, 0, 0))
                world.RotateLocal(degrees.x, degrees.y, degrees.z);
            device->SetTransform(D3DTS_WORLD, &world);
            device->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(_D3DVERTEXCOR_));
        }
    }
}

void CUI::DrawAxes() {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    const _D3DVERTEXCOR_ axes[3][2] = {{{0, 0, 0, 0xFFFF0000}, {1000, 0, 0, 0xFFFF0000}},
                                       {{0, 0, 0, 0xFF00FF00}, {0, 1000, 0, 0xFF00FF00}},
                                       {{0, 0, 0, 0xFF0000FF}, {0, 0, 1000, 0xFF0000FF}}};
    SetLineState(device);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    for (const auto& axis : axes)
        device->DrawPrimitiveUP(D3DPT_LINELIST, 1, axis, sizeof(_D3DVERTEXCOR_));
}

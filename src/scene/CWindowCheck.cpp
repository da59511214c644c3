#include "CWindowCheck.h"

#include "CAPP.h"
#include "CXLIST.h"
#include "CamData.h"
#include "CheckedListBox.h"
#include "ComPtr.h"
#include "D3DZCDIRECT3D.h"
#include "DZMouse.h"
#include "DataFolder.h"
#include "MyForm.h"
#include "ViewBox.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr const char* kFlatColourShader = "ps_1_1 \nmov      r0,   c0";
constexpr float kHighlight[4] = {0, 1, 1, 1};
constexpr int kBox = 0;
constexpr int kRing = 1;
constexpr int kCone = 2;

IDirect3DDevice9* Device() {
    return D3DZCDIRECT3D::GetInstance().GetDevice();
}

// The view control's size in pixels, at least 1 x 1.
void ViewSize(int& width, int& height) {
    width = height = 1;
    if (MyForm* form = CAPP::GetInstance().GetMainForm()) {
        width = std::max(form->pictureBox1->width(), 1);
        height = std::max(form->pictureBox1->height(), 1);
    }
}

} // namespace

CWindowCheck& CWindowCheck::GetInstance() {
    static CWindowCheck instance;
    return instance;
}

CWindowCheck::CWindowCheck() {
    ViewSize(m_iViewWidth, m_iViewHeight);
}

CWindowCheck::~CWindowCheck() {
    Release();
}

void CWindowCheck::SetHandleMatrix(int handle, const D3DXMATRIX& world) {
    if (handle < 0 || handle >= kHandleCount)
        return;
    m_mHandle[handle] = world;
}

bool CWindowCheck::CreatePickSurface(IDirect3DDevice9* device, const D3DSURFACE_DESC& target) {
    int width = 1, height = 1;
    ViewSize(width, height);
    ReleaseAndClear(m_pPickSurface);
    ForgetPick();
    ++m_pickSurfaceVersion;
    return device->CreateRenderTarget(static_cast<UINT>(width), static_cast<UINT>(height), target.Format,
                                      target.MultiSampleType, 0, TRUE, &m_pPickSurface, nullptr) == S_OK;
}

// The surface is kept from frame to frame while it matches the view's size and the target's format.
bool CWindowCheck::PickSurfaceFits(const D3DSURFACE_DESC& target) const {
    if (m_pPickSurface == nullptr)
        return false;
    int width = 1, height = 1;
    ViewSize(width, height);
    D3DSURFACE_DESC desc;
    m_pPickSurface->GetDesc(&desc);
    return desc.Format == target.Format && desc.Width == static_cast<UINT>(width) &&
           desc.Height == static_cast<UINT>(height);
}

void CWindowCheck::ForgetPick() {
    m_pickedHandles.clear();
    m_pickedValid = false;
}

void CWindowCheck::Init() {
    IDirect3DDevice9* device = Device();
    if (device == nullptr)
        return;
    IDirect3DSurface9* target = nullptr;
    if (device->GetRenderTarget(0, &target) == S_OK && target != nullptr) {
        D3DSURFACE_DESC desc;
        target->GetDesc(&desc);
        target->Release();
        CreatePickSurface(device, desc);
    }
    // Assembled again after every new device; the previous device's shader goes with it.
    ReleaseShader();
    if (D3DXAssembleShader(kFlatColourShader, 25, nullptr, nullptr, 0, &m_pShaderCode, &m_pShaderError) ==
            S_OK &&
        m_pShaderCode != nullptr)
        device->CreatePixelShader(static_cast<const DWORD*>(m_pShaderCode->GetBufferPointer()),
                                  &m_pPixelShader);
    m_XFile[kBox].LoadXFile(DataFolder::Path("Data/XFILE/UI_BOX.x").c_str());
    m_XFile[kRing].LoadXFile(DataFolder::Path("Data/XFILE/UI_CIRCLE.x").c_str());
    m_XFile[kCone].LoadXFile(DataFolder::Path("Data/XFILE/UI_TRI.x").c_str());
}

void CWindowCheck::ReleaseShader() {
    ReleaseAndClear(m_pPixelShader);
    ReleaseAndClear(m_pShaderCode);
    ReleaseAndClear(m_pShaderError);
}

void CWindowCheck::Begin() {
    IDirect3DDevice9* device = Device();
    if (device == nullptr)
        return;
    ReleaseAndClear(m_pBackBuffer);
    if (device->GetRenderTarget(0, &m_pBackBuffer) != S_OK || m_pBackBuffer == nullptr)
        return;
    D3DSURFACE_DESC desc;
    m_pBackBuffer->GetDesc(&desc);
    // The pick surface is cleared and drawn in Run, and only when the handles on it change.
    if (!PickSurfaceFits(desc))
        CreatePickSurface(device, desc);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    device->BeginScene();
}

void CWindowCheck::Run() {
    IDirect3DDevice9* device = Device();
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (device == nullptr || form == nullptr)
        return;
    static constexpr int kMeshForEditType[3] = {kCone, kRing, kBox};
    const int editType = std::clamp(form->GetSelectEdit(), 0, 2);
    for (int i = 0; i < kHandleCount; ++i) {
        const float* colour = i == m_iNowColor ? kHighlight : m_vColor[i];
        std::copy(colour, colour + 4, m_vDrawColor);
        device->SetPixelShader(m_pPixelShader);
        device->SetPixelShaderConstantF(0, m_vDrawColor, 1);
        m_iMeshType = kMeshForEditType[editType];
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        Draw(i);
        device->SetRenderState(D3DRS_ZENABLE, TRUE);
    }
    const std::vector<std::uint8_t> handles = PickSurfaceContent();
    if (m_pPickSurface != nullptr && m_pBackBuffer != nullptr && handles != m_pickedHandles) {
        DrawPickSurface();
        m_pickedHandles = handles;
        m_pickedValid = false;
    }
    Check();
    device->SetPixelShader(nullptr);
}

// What the pick surface shows follows from these alone: where each handle was drawn and with which
// mesh, through which camera, whether any was drawn at all, and onto which surface.
std::vector<std::uint8_t> CWindowCheck::PickSurfaceContent() const {
    std::vector<std::uint8_t> content;
    const auto add = [&content](const auto& value) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
        content.insert(content.end(), bytes, bytes + sizeof value);
    };
    MyForm* form = CAPP::GetInstance().GetMainForm();
    const bool drawn = CAPP::GetInstance().GetXList().GetExist() && form != nullptr &&
                       form->checkedListBox1->SelectedIndex() >= 0;
    add(drawn);
    add(m_iMeshType);
    add(m_pPickSurface);
    add(m_pickSurfaceVersion);
    D3DXMATRIX view, projection;
    Device()->GetTransform(D3DTS_VIEW, &view);
    Device()->GetTransform(D3DTS_PROJECTION, &projection);
    add(view);
    add(projection);
    if (drawn)
        for (const D3DZCMATRIX& handle : m_mHandle)
            add(handle);
    return content;
}

// Every handle in its flat identification colour, later ones over earlier ones as on screen.
void CWindowCheck::DrawPickSurface() {
    IDirect3DDevice9* device = Device();
    device->SetRenderTarget(0, m_pPickSurface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetPixelShader(m_pPixelShader);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    for (int i = 0; i < kHandleCount; ++i) {
        device->SetPixelShaderConstantF(0, m_vColor[i], 1);
        Draw(i);
    }
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderTarget(0, m_pBackBuffer);
}

// Handles stand on the world axes at the selected object's origin, scaled with the camera distance so
// they keep their size on screen; the axis handles sit 3 units out at the start distance of 10.
D3DZCMATRIX CWindowCheck::HandleWorld(int num, const D3DXVECTOR3& position) const {
    D3DZCMATRIX offset;
    if (m_iMeshType != kRing) {
        if (num == kAxisX) {
            D3DXMatrixTranslation(&offset, 3, 0, 0);
            if (m_iMeshType == kCone)
                offset.RotateLocal(0, 0, -90);
        } else if (num == kAxisY) {
            D3DXMatrixTranslation(&offset, 0, 3, 0);
        } else if (num == kAxisZ) {
            D3DXMatrixTranslation(&offset, 0, 0, 3);
            if (m_iMeshType == kCone)
                offset.RotateLocal(90, 0, 0);
        }
    }
    D3DXMATRIX orientation;
    D3DXMatrixIdentity(&orientation);
    if (m_iMeshType == kRing && num == kAxisX)
        D3DXMatrixRotationYawPitchRoll(&orientation, 0, 0, D3DX_PI / 2);
    else if (m_iMeshType == kRing && num == kAxisZ)
        D3DXMatrixRotationYawPitchRoll(&orientation, 0, D3DX_PI / 2, 0);
    const float scale = CamData::GetInstance().GetZoom() / -10.0f;
    D3DXMATRIX translation, scaling, world;
    D3DXMatrixTranslation(&translation, position.x, position.y, position.z);
    D3DXMatrixScaling(&scaling, scale, scale, scale);
    D3DXMatrixMultiply(&world, &scaling, &orientation);
    D3DXMatrixMultiply(&world, &world, &translation);
    if (num != kCentre && m_iMeshType != kRing)
        D3DXMatrixMultiply(&world, &offset, &world);
    return D3DZCMATRIX(world);
}

void CWindowCheck::Draw(int num) {
    IDirect3DDevice9* device = Device();
    MyForm* form = CAPP::GetInstance().GetMainForm();
    CXLIST& list = CAPP::GetInstance().GetXList();
    if (device == nullptr || form == nullptr || num < 0 || num >= kHandleCount || !list.GetExist() ||
        form->checkedListBox1->SelectedIndex() < 0)
        return;
    m_mHandle[num] = HandleWorld(num, list.GetPos(list.GetNowSelectID()));
    device->SetTransform(D3DTS_WORLD, &m_mHandle[num]);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    // The centre box is not shown in rotate mode, so it can be neither seen nor picked there.
    D3DZCXFILE* mesh =
        num == kCentre ? (m_iMeshType == kRing ? nullptr : &m_XFile[kBox]) : &m_XFile[m_iMeshType];
    if (mesh != nullptr && mesh->GetMesh() != nullptr) {
        for (DWORD i = 0; i < mesh->GetMaterialCnt(); ++i) {
            D3DMATERIAL9& material = mesh->GetMaterials()[i];
            material.Diffuse = {m_vDrawColor[0], m_vDrawColor[1], m_vDrawColor[2], m_vDrawColor[3]};
            device->SetMaterial(&material);
            mesh->GetMesh()->DrawSubset(i);
        }
    }
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

void CWindowCheck::Check() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return;
    POINT cursor{};
    DZGetMouseClientPos(CAPP::GetInstance().GetViewWnd(), &cursor);
    cursor.x = std::clamp<LONG>(cursor.x, 0, std::max(form->pictureBox1->width() - 1, 0));
    cursor.y = std::clamp<LONG>(cursor.y, 0, std::max(form->pictureBox1->height() - 1, 0));
    // While the button is down the pick stays, so a drag keeps the handle it started on.
    if (CAPP::GetInstance().GetMouseButton().Left.iState != 0 || m_pPickSurface == nullptr)
        return;
    // The same pixel of the same surface would give the same handle.
    if (m_pickedValid && cursor.x == m_pickedAt.x && cursor.y == m_pickedAt.y)
        return;
    m_pickedAt = cursor;
    m_pickedValid = true;
    const RECT pixel{cursor.x, cursor.y, cursor.x + 1, cursor.y + 1};
    D3DLOCKED_RECT locked;
    if (m_pPickSurface->LockRect(&locked, &pixel, D3DLOCK_READONLY) != S_OK)
        return;
    const DWORD colour = *static_cast<const DWORD*>(locked.pBits) & 0xFFFFFF;
    m_pPickSurface->UnlockRect();
    switch (colour) {
    case 0xFFFF00:
        m_iNowColor = kCentre;
        break;
    case 0xFF0000:
        m_iNowColor = kAxisX;
        break;
    case 0x00FF00:
        m_iNowColor = kAxisY;
        break;
    case 0x0000FF:
        m_iNowColor = kAxisZ;
        break;
    case 0x000000:
        m_iNowColor = kNoHandle;
        break;
    default:
        break;
    }
}

bool CWindowCheck::ViewSizeChanged(IDirect3DDevice9* device) {
    int width = 1, height = 1;
    ViewSize(width, height);
    if (width == m_iViewWidth && height == m_iViewHeight)
        return false;
    D3DPRESENT_PARAMETERS* parameters = D3DZCDIRECT3D::GetInstance().GetD3DParameter();
    parameters->BackBufferWidth = static_cast<UINT>(width);
    parameters->BackBufferHeight = static_cast<UINT>(height);
    m_iViewWidth = width;
    m_iViewHeight = height;
    // The back buffer reference must go before the device's targets are rebuilt.
    ReleaseAndClear(m_pBackBuffer);
    ReleaseAndClear(m_pPickSurface);
    ForgetPick();
    device->Reset(parameters);
    return true;
}

void CWindowCheck::End() {
    IDirect3DDevice9* device = Device();
    if (device == nullptr)
        return;
    device->EndScene();
    const bool resized = ViewSizeChanged(device);
    const HRESULT presented = device->Present(nullptr, nullptr, nullptr, nullptr);
    if (presented == D3DERR_DEVICELOST || resized)
        RebuildScene();
    ReleaseAndClear(m_pBackBuffer);
}

// Every object comes back with its model and matrix in its place in the list, so the main window's
// names, check marks and selection still match.
void CWindowCheck::RebuildScene() {
    if (!m_rebuild)
        return;
    CXLIST& list = CAPP::GetInstance().GetXList();
    std::vector<Fieldsmith::_TAG_MAPDATA> snapshot;
    for (unsigned int i = 0; i < list.GetMaxSize(); ++i)
        snapshot.push_back(list.GetMapData(static_cast<int>(i)));
    ReleaseAndClear(m_pBackBuffer);
    m_rebuild();
    for (unsigned int i = 0; i < snapshot.size(); ++i) {
        list.DeviceLost_Init(&snapshot[i]);
        list.SetID(i, i);
        list.DeviceLost_Update(i);
    }
}

void CWindowCheck::Release() {
    for (D3DZCXFILE& mesh : m_XFile)
        mesh.Release();
    ReleaseAndClear(m_pPickSurface);
    ReleaseAndClear(m_pBackBuffer);
    ReleaseShader();
    ForgetPick();
}

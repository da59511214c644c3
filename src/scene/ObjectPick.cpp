#include "ObjectPick.h"

#include "CXData.h"
#include "ComPtr.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZCXFILE.h"
#include "d3dx9mesh.h"
#include "d3dx9shader.h"

namespace {

constexpr const char* kFlatColourShader = "ps_1_1 \nmov      r0,   c0";

// The resources of one pick, given up whatever way the pick ends.
struct PickResources {
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* surface = nullptr;
    ID3DXBuffer* code = nullptr;
    IDirect3DPixelShader9* shader = nullptr;
    ~PickResources() {
        ReleaseAndClear(shader);
        ReleaseAndClear(code);
        ReleaseAndClear(surface);
        ReleaseAndClear(backBuffer);
    }
};

} // namespace

void ObjectPick::IdColour(int index, float colour[4]) {
    const auto id = static_cast<unsigned int>(index + 1);
    colour[0] = static_cast<float>((id >> 16) & 0xFF) / 255.0f;
    colour[1] = static_cast<float>((id >> 8) & 0xFF) / 255.0f;
    colour[2] = static_cast<float>(id & 0xFF) / 255.0f;
    colour[3] = 1.0f;
}

int ObjectPick::IndexOf(DWORD rgb) {
    return static_cast<int>(rgb & 0xFFFFFF) - 1;
}

int ObjectPick::ObjectAt(const std::vector<CXData*>& objects, const std::vector<bool>& drawn, POINT point,
                         int viewWidth, int viewHeight) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr || point.x < 0 || point.y < 0 || point.x >= viewWidth || point.y >= viewHeight)
        return -1;
    PickResources pick;
    if (device->GetRenderTarget(0, &pick.backBuffer) != S_OK || pick.backBuffer == nullptr)
        return -1;
    D3DSURFACE_DESC desc;
    pick.backBuffer->GetDesc(&desc);
    if (device->CreateRenderTarget(static_cast<UINT>(viewWidth), static_cast<UINT>(viewHeight), desc.Format,
                                   desc.MultiSampleType, 0, TRUE, &pick.surface, nullptr) != S_OK ||
        D3DXAssembleShader(kFlatColourShader, 25, nullptr, nullptr, 0, &pick.code, nullptr) != S_OK ||
        pick.code == nullptr ||
        device->CreatePixelShader(static_cast<const DWORD*>(pick.code->GetBufferPointer()), &pick.shader) !=
            S_OK)
        return -1;

    device->SetRenderTarget(0, pick.surface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    device->SetPixelShader(pick.shader);
    DrawIds(device, objects, drawn);
    device->SetPixelShader(nullptr);
    device->EndScene();
    device->SetRenderTarget(0, pick.backBuffer);

    int index = -1;
    const RECT pixel{point.x, point.y, point.x + 1, point.y + 1};
    D3DLOCKED_RECT locked;
    if (pick.surface->LockRect(&locked, &pixel, D3DLOCK_READONLY) == S_OK) {
        index = IndexOf(*static_cast<const DWORD*>(locked.pBits));
        pick.surface->UnlockRect();
    }
    return index >= 0 && static_cast<std::size_t>(index) < objects.size() ? index : -1;
}

void ObjectPick::DrawIds(IDirect3DDevice9* device, const std::vector<CXData*>& objects,
                         const std::vector<bool>& drawn) {
    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    const D3DXMATRIX view = direct3d.GetView();
    const D3DXMATRIX projection = direct3d.GetProj();
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    // Blending would mix an id with the black behind it.
    DWORD blending = FALSE;
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    for (std::size_t i = 0; i < objects.size() && i < drawn.size(); ++i) {
        D3DZCXFILE* model = objects[i]->GetXData();
        if (!drawn[i] || model == nullptr || model->GetMesh() == nullptr)
            continue;
        float colour[4];
        IdColour(static_cast<int>(i), colour);
        device->SetPixelShaderConstantF(0, colour, 1);
        device->SetTransform(D3DTS_WORLD, objects[i]->GetWorld());
        for (DWORD subset = 0; subset < model->GetMaterialCnt(); ++subset)
            model->GetMesh()->DrawSubset(subset);
    }
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, blending);
}

#include "d3d9.h"

namespace {

D3DDISPLAYMODE& DesktopMode() {
    static D3DDISPLAYMODE mode{1920, 1080, 60, D3DFMT_X8R8G8B8};
    return mode;
}

IDirect3D9::DeviceTypeFilter& TypeFilter() {
    static IDirect3D9::DeviceTypeFilter filter;
    return filter;
}

} // namespace

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    return sdkVersion == D3D_SDK_VERSION ? new IDirect3D9() : nullptr;
}

void IDirect3D9::SetDesktopMode(const D3DDISPLAYMODE& mode) {
    DesktopMode() = mode;
}
void IDirect3D9::SetDeviceTypeFilter(DeviceTypeFilter filter) {
    TypeFilter() = std::move(filter);
}

HRESULT IDirect3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != D3DADAPTER_DEFAULT || mode == nullptr)
        return D3DERR_INVALIDCALL;
    *mode = DesktopMode();
    return S_OK;
}

HRESULT IDirect3D9::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
    if (device)
        *device = nullptr;
    if (adapter != D3DADAPTER_DEFAULT || parameters == nullptr || device == nullptr)
        return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL && type != D3DDEVTYPE_REF)
        return D3DERR_NOTAVAILABLE;
    if (TypeFilter() && !TypeFilter()(type, behaviorFlags))
        return D3DERR_NOTAVAILABLE;
    const HWND window = parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow;
    auto context = GLContextProvider::Create(window, type == D3DDEVTYPE_HAL);
    if (!context)
        return D3DERR_NOTAVAILABLE;
    *device = IDirect3DDevice9::Create(std::move(context), *parameters);
    if (*device == nullptr)
        return D3DERR_NOTAVAILABLE;
    parameters->BackBufferWidth = parameters->BackBufferWidth ? parameters->BackBufferWidth : 640;
    parameters->BackBufferHeight = parameters->BackBufferHeight ? parameters->BackBufferHeight : 480;
    return S_OK;
}

#include "DeviceCommands.h"

#include "BackBufferPng.h"
#include "D3DZCDIRECT3D.h"
#include "MessageBoxRecorder.h"

#include <ostream>
#include <vector>

namespace {

struct LineVertex {
    float x, y, z;
    DWORD color;
};

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

const char* FormatName(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_X8R8G8B8:
        return "D3DFMT_X8R8G8B8";
    case D3DFMT_A8R8G8B8:
        return "D3DFMT_A8R8G8B8";
    case D3DFMT_R32F:
        return "D3DFMT_R32F";
    case D3DFMT_A32B32G32R32F:
        return "D3DFMT_A32B32G32R32F";
    case D3DFMT_D16:
        return "D3DFMT_D16";
    case D3DFMT_D24S8:
        return "D3DFMT_D24S8";
    case D3DFMT_D24X8:
        return "D3DFMT_D24X8";
    case D3DFMT_D32:
        return "D3DFMT_D32";
    default:
        return "?";
    }
}

IDirect3DDevice9* CreateAnyDevice(IDirect3D9* d3d, std::string& kind) {
    for (const auto& [type, name] :
         {std::pair{D3DDEVTYPE_HAL, "HAL (GPU)"}, std::pair{D3DDEVTYPE_REF, "REF (software)"}}) {
        D3DPRESENT_PARAMETERS parameters;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D16;
        IDirect3DDevice9* device = nullptr;
        if (SUCCEEDED(d3d->CreateDevice(0, type, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                        &device))) {
            kind = name;
            return device;
        }
    }
    return nullptr;
}

bool CanCreate(IDirect3DDevice9* device, D3DFORMAT format, const char* what) {
    IDirect3DSurface9* surface = nullptr;
    IDirect3DTexture9* texture = nullptr;
    HRESULT result = E_FAIL;
    if (std::string(what) == "depth")
        result = device->CreateDepthStencilSurface(16, 16, format, D3DMULTISAMPLE_NONE, 0, FALSE, &surface,
                                                   nullptr);
    else if (std::string(what) == "target")
        result = device->CreateRenderTarget(16, 16, format, D3DMULTISAMPLE_NONE, 0, TRUE, &surface, nullptr);
    else
        result = device->CreateTexture(16, 16, 0, 0, format, D3DPOOL_MANAGED, &texture, nullptr);
    if (surface)
        surface->Release();
    if (texture)
        texture->Release();
    return SUCCEEDED(result);
}

void DrawGridAndAxes(IDirect3DDevice9* device) {
    std::vector<LineVertex> lines;
    for (int i = -10; i <= 10; ++i) {
        const DWORD grey = i == 0 ? 0xFFB0B0B0 : 0xFF606060;
        lines.push_back({static_cast<float>(i), 0, -10, grey});
        lines.push_back({static_cast<float>(i), 0, 10, grey});
        lines.push_back({-10, 0, static_cast<float>(i), grey});
        lines.push_back({10, 0, static_cast<float>(i), grey});
    }
    for (const auto& [axis, color] :
         {std::pair{D3DXVECTOR3(12, 0, 0), 0xFFFF0000u}, std::pair{D3DXVECTOR3(0, 12, 0), 0xFF00FF00u},
          std::pair{D3DXVECTOR3(0, 0, 12), 0xFF0000FFu}}) {
        lines.push_back({0, 0.01f, 0, color});
        lines.push_back({axis.x, axis.y + 0.01f, axis.z, color});
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->DrawPrimitiveUP(D3DPT_LINELIST, static_cast<UINT>(lines.size() / 2), lines.data(),
                            sizeof(LineVertex));
}

// A box with a normal per face, two triangles a face.
std::vector<LitVertex> BoxTriangles() {
    std::vector<LitVertex> vertices;
    const D3DXVECTOR3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const D3DXVECTOR3& n : normals) {
        D3DXVECTOR3 up = std::abs(n.y) > 0.5f ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0);
        D3DXVECTOR3 right;
        D3DXVec3Cross(&right, &up, &n);
        auto corner = [&](float a, float b) {
            const D3DXVECTOR3 p = n + right * a + up * b;
            return LitVertex{p.x, p.y, p.z, n.x, n.y, n.z, 0, 0};
        };
        const LitVertex c[4] = {corner(-1, 1), corner(1, 1), corner(1, -1), corner(-1, -1)};
        for (int index : {0, 1, 2, 0, 2, 3})
            vertices.push_back(c[index]);
    }
    return vertices;
}

void DrawLitBox(D3DZCDIRECT3D& d3d) {
    IDirect3DDevice9* device = d3d.GetDevice();
    D3DXMATRIX world, scale, rotation;
    D3DXMatrixScaling(&scale, 1.5f, 1.5f, 1.5f);
    D3DXMatrixRotationY(&rotation, 0.6f);
    world = scale * rotation;
    world._42 = 1.5f;
    d3d.SetWorldTrans(&world);
    D3DMATERIAL9 material;
    material.Diffuse = D3DXCOLOR(0.9f, 0.6f, 0.2f, 1.0f);
    material.Ambient = D3DXCOLOR(0.9f, 0.6f, 0.2f, 1.0f);
    device->SetMaterial(&material);
    const D3DXVECTOR3 direction(-0.5f, -1.0f, 0.7f);
    d3d.SetDirectionalLight(TRUE, 0, &direction, D3DXCOLOR(1, 1, 1, 1), D3DXCOLOR(0.25f, 0.25f, 0.25f, 1),
                            D3DXCOLOR(0, 0, 0, 0));
    device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    d3d.LightEnable(TRUE);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    // The depth buffer hides the far faces, whatever their winding.
    d3d.CullMode(D3DCULL_NONE);
    const auto box = BoxTriangles();
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(box.size() / 3), box.data(),
                            sizeof(LitVertex));
    d3d.LightEnable(FALSE);
    d3d.CullMode(D3DCULL_CCW);
}

} // namespace

int DeviceCommands::Describe(std::ostream& out, std::ostream& err) {
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    std::string kind;
    IDirect3DDevice9* device = d3d ? CreateAnyDevice(d3d, kind) : nullptr;
    if (device == nullptr) {
        err << "fsmith: no graphics device: neither a GPU nor Mesa's software renderer gave an OpenGL 3.3 "
               "core "
               "context through EGL\n";
        if (d3d)
            d3d->Release();
        return 1;
    }
    out << "device: " << kind << "\nrenderer: " << device->Context()->Renderer()
        << "\nGL version: " << device->Context()->Version() << "\n";
    for (const char* what : {"target", "texture", "depth"}) {
        out << what << " formats:";
        for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R32F, D3DFMT_A32B32G32R32F,
                                 D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D32})
            if (D3DFormatIsDepth(format) == (std::string(what) == "depth") && CanCreate(device, format, what))
                out << ' ' << FormatName(format);
        out << "\n";
    }
    device->Release();
    d3d->Release();
    return 0;
}

int DeviceCommands::DrawTest(const std::string& path, std::ostream& out, std::ostream& err) {
    MessageBoxRecorder messages;
    D3DZCDIRECT3D& d3d = D3DZCDIRECT3D::GetInstance();
    IDirect3DDevice9* device = d3d.Init(nullptr, 0, 640, 480);
    if (device == nullptr) {
        err << "fsmith: no graphics device";
        for (const auto& message : messages.Messages())
            err << ": " << message.text;
        err << "\n";
        return 1;
    }
    d3d.Begin();
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye(9, 7, -12), at(0, 1, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    d3d.SetView(&view);
    d3d.SetProj(&projection, 45.0f, 640.0f / 480.0f, 0.1f, 1000.0f);
    DrawGridAndAxes(device);
    DrawLitBox(d3d);
    d3d.DrawString("3DFieldsmith 描画テスト: グリッド、座標軸、照明付きの箱", 12, 12, D3DXCOLOR(1, 1, 1, 1));
    D3DZDrawPrintf(d3d.GetFont(), 12, 440, 0xFFFFFF00, "%s", device->Context()->Renderer().c_str());
    device->EndScene();
    const bool saved = BackBufferPng::Save(device, path);
    d3d.Release();
    if (!saved) {
        err << "fsmith: cannot write '" << path << "'\n";
        return 1;
    }
    out << "wrote " << path << " (640 x 480)\n";
    return 0;
}

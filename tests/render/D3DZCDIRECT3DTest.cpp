#include "D3DZCDIRECT3D.h"
#include "MessageBoxRecorder.h"
#include "TestMatrices.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class DeviceObject : public ::testing::Test {
protected:
    void TearDown() override {
        D3DZCDIRECT3D::GetInstance().Release();
        IDirect3D9::SetDeviceTypeFilter(nullptr);
        IDirect3D9::SetDesktopMode({1920, 1080, 60, D3DFMT_X8R8G8B8});
    }

    static std::vector<DWORD> BackBuffer() {
        IDirect3DSurface9* back = nullptr;
        D3DZCDIRECT3D::GetInstance().GetDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        D3DSURFACE_DESC desc;
        back->GetDesc(&desc);
        D3DLOCKED_RECT locked;
        std::vector<DWORD> pixels;
        if (back->LockRect(&locked, nullptr, D3DLOCK_READONLY) == S_OK) {
            for (UINT y = 0; y < desc.Height; ++y) {
                const auto* row =
                    reinterpret_cast<const DWORD*>(static_cast<char*>(locked.pBits) + y * locked.Pitch);
                pixels.insert(pixels.end(), row, row + desc.Width);
            }
            back->UnlockRect();
        }
        back->Release();
        return pixels;
    }

    MessageBoxRecorder m_messages;
};

} // namespace

TEST_F(DeviceObject, InitFallsBackToSixFortyByFourEightyPerDimension) {
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    ASSERT_NE(d3d.Init(nullptr, 0, 0, 200), nullptr);
    EXPECT_EQ(d3d.GetD3DParameter()->BackBufferWidth, 640u);
    EXPECT_EQ(d3d.GetD3DParameter()->BackBufferHeight, 200u);
    EXPECT_EQ(d3d.GetD3DParameter()->AutoDepthStencilFormat, D3DFMT_D16);
    EXPECT_EQ(d3d.GetD3DParameter()->Flags, D3DPRESENTFLAG_LOCKABLE_BACKBUFFER);
    d3d.Release();
    ASSERT_NE(d3d.Init(nullptr, 0, 300, -4), nullptr);
    EXPECT_EQ(d3d.GetD3DParameter()->BackBufferWidth, 300u);
    EXPECT_EQ(d3d.GetD3DParameter()->BackBufferHeight, 480u);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(DeviceObject, BackBufferFormatComesFromTheDesktopWhenWindowed) {
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    IDirect3D9::SetDesktopMode({1280, 720, 60, D3DFMT_A8R8G8B8});
    ASSERT_NE(d3d.Init(nullptr, 0, 64, 64), nullptr);
    EXPECT_EQ(d3d.GetD3DParameter()->BackBufferFormat, D3DFMT_A8R8G8B8);
    EXPECT_EQ(d3d.GetD3DParameter()->Windowed, TRUE);
    d3d.Release();
    ASSERT_NE(d3d.Init(nullptr, 1, 64, 64), nullptr);
    EXPECT_EQ(d3d.GetD3DParameter()->BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(d3d.GetD3DParameter()->Windowed, FALSE);
}

TEST_F(DeviceObject, CreationTriesHardwareThenSoftwareVertexProcessingThenTheReferenceDevice) {
    std::vector<std::pair<D3DDEVTYPE, DWORD>> attempts;
    auto allowOnly = [&](D3DDEVTYPE allowedType, DWORD allowedFlags) {
        attempts.clear();
        IDirect3D9::SetDeviceTypeFilter([&, allowedType, allowedFlags](D3DDEVTYPE type, DWORD flags) {
            attempts.emplace_back(type, flags);
            return type == allowedType && flags == allowedFlags;
        });
    };
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    allowOnly(D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    ASSERT_NE(d3d.Init(nullptr, 0, 32, 32), nullptr);
    const std::vector<std::pair<D3DDEVTYPE, DWORD>> all = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING}};
    EXPECT_EQ(attempts, all);
    d3d.Release();

    allowOnly(D3DDEVTYPE_HAL, 0);
    EXPECT_EQ(d3d.Init(nullptr, 0, 32, 32), nullptr);
    EXPECT_EQ(attempts, all);
    EXPECT_EQ(d3d.GetDevice(), nullptr);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].caption, "ERROR");
    EXPECT_EQ(m_messages.Messages()[0].text, "DirectX9が初期化できません。\n未対応のパソコンと思われます。");
    EXPECT_EQ(m_messages.Messages()[0].type, MB_ICONHAND);
}

TEST_F(DeviceObject, InitSetsTheLibraryDefaults) {
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    IDirect3DDevice9* device = d3d.Init(nullptr, 0, 32, 32);
    ASSERT_NE(device, nullptr);
    auto state = [&](D3DRENDERSTATETYPE type) {
        DWORD value = 0;
        device->GetRenderState(type, &value);
        return value;
    };
    EXPECT_EQ(state(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(state(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(state(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(state(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(state(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(state(D3DRS_LIGHTING), static_cast<DWORD>(FALSE));
    DWORD value = 0;
    device->GetFVF(&value);
    EXPECT_EQ(value, 322u);
    device->GetTextureStageState(0, D3DTSS_ALPHAARG2, &value);
    EXPECT_EQ(value, D3DTA_DIFFUSE);
    device->GetSamplerState(0, D3DSAMP_MIPFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR));
    EXPECT_NE(d3d.GetFont(), nullptr);
}

TEST_F(DeviceObject, BeginClearsToOpaqueBlackAndEndPresents) {
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    ASSERT_NE(d3d.Init(nullptr, 0, 16, 8), nullptr);
    d3d.Clear(true, false, false, 0xFF336699, 1.0f, 0);
    EXPECT_EQ(BackBuffer()[0], 0xFF336699u);
    ASSERT_NE(d3d.Begin(), nullptr);
    for (DWORD p : BackBuffer())
        ASSERT_EQ(p, 0xFF000000u);
    d3d.End();
    ASSERT_NE(d3d.Begin(), nullptr) << "a second frame begins after the first ended";
    d3d.End();
}

TEST_F(DeviceObject, StoredMatricesAreWhatWasSetThroughTheObject) {
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    IDirect3DDevice9* device = d3d.Init(nullptr, 0, 16, 16);
    ASSERT_NE(device, nullptr);
    const D3DXMATRIX view = Translation(1, 2, 3), direct = Translation(7, 8, 9);
    d3d.SetView(&view);
    device->SetTransform(D3DTS_VIEW, &direct);
    EXPECT_EQ(static_cast<D3DXMATRIX>(d3d.GetView()), view);
    D3DZCMATRIX held;
    d3d.GetView(&held);
    EXPECT_EQ(static_cast<D3DXMATRIX>(held), direct);

    D3DXMATRIX projection, expected;
    EXPECT_EQ(d3d.SetProj(&projection, 45.0f, 4.0f / 3.0f, 1.0f, 100.0f), &projection);
    D3DXMatrixPerspectiveFovLH(&expected, 45.0f * 0.017453292f, 4.0f / 3.0f, 1.0f, 100.0f);
    EXPECT_EQ(static_cast<D3DXMATRIX>(d3d.GetProj()), expected);

    d3d.Release();
    EXPECT_EQ(static_cast<D3DXMATRIX>(d3d.GetView()), view) << "the stored matrices survive a release";
}

TEST_F(DeviceObject, DirectionalLightIsStoredNormalised) {
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    ASSERT_NE(d3d.Init(nullptr, 0, 16, 16), nullptr);
    const D3DXVECTOR3 direction(0, -3, 4);
    d3d.SetDirectionalLight(TRUE, 0, &direction, D3DXCOLOR(1, 1, 1, 1), D3DXCOLOR(0.2f, 0.2f, 0.2f, 1),
                            D3DXCOLOR(0, 0, 0, 0));
    const D3DZCVECTOR3 stored = d3d.GetLightDir(0);
    EXPECT_FLOAT_EQ(stored.y, -0.6f);
    EXPECT_FLOAT_EQ(stored.z, 0.8f);
    EXPECT_EQ(d3d.GetLight(0).Type, D3DLIGHT_DIRECTIONAL);
    BOOL enabled = FALSE;
    d3d.GetDevice()->GetLightEnable(0, &enabled);
    EXPECT_TRUE(enabled);
}

TEST_F(DeviceObject, DrawStringPacksChannelsAndClipsAtSixFortyByThreeTwenty) {
    EXPECT_EQ(D3DZCDIRECT3D::ChannelByte(1.5f), 255u);
    EXPECT_EQ(D3DZCDIRECT3D::ChannelByte(1.0f), 255u);
    EXPECT_EQ(D3DZCDIRECT3D::ChannelByte(-0.2f), 0u);
    EXPECT_EQ(D3DZCDIRECT3D::ChannelByte(0.5f), 128u);
    EXPECT_EQ(D3DZCDIRECT3D::ChannelByte(0.2f), 51u);

    auto& d3d = D3DZCDIRECT3D::GetInstance();
    ASSERT_NE(d3d.Init(nullptr, 0, 720, 360), nullptr);
    d3d.Begin();
    d3d.DrawString("WWWWWWWWWW", 600, 300, D3DXCOLOR(1, 1, 1, 1));
    const auto pixels = BackBuffer();
    bool inside = false, outside = false;
    for (UINT y = 0; y < 360; ++y)
        for (UINT x = 0; x < 720; ++x) {
            if (pixels[y * 720 + x] == 0xFF000000u)
                continue;
            (x < 640 && y < 320 ? inside : outside) = true;
        }
    EXPECT_TRUE(inside) << "what fits in the rectangle is drawn";
    EXPECT_FALSE(outside) << "nothing beyond x 640 or y 320";
}

TEST_F(DeviceObject, ReleaseTwiceDoesNothingTheSecondTime) {
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    ASSERT_NE(d3d.Init(nullptr, 0, 16, 16), nullptr);
    d3d.Release();
    EXPECT_EQ(d3d.GetDevice(), nullptr);
    EXPECT_EQ(d3d.GetFont(), nullptr);
    d3d.Release();
    EXPECT_NE(d3d.Init(nullptr, 0, 16, 16), nullptr) << "the object can be initialised again";
}

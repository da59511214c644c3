#include "CShader.h"
#include "BackBufferPixel.h"
#include "D3DZCDIRECT3D.h"
#include "MessageBoxRecorder.h"
#include "SettingStatics.h"
#include "TempDir.h"
#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

class PlacedMesh : public ShadedObject {
public:
    explicit PlacedMesh(D3DZCXFILE* mesh) : m_mesh(mesh) { D3DXMatrixIdentity(&m_world); }
    D3DZCMATRIX* GetWorld() override { return &m_world; }
    D3DZCXFILE* GetXData() override { return m_mesh; }

private:
    D3DZCMATRIX m_world;
    D3DZCXFILE* m_mesh;
};

// The shader set reads its effects and default textures from Data/ under the working directory.
class ShaderSet : public ::testing::Test {
protected:
    static constexpr int kSize = 96;

    void SetUp() override {
        m_previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(FSMITH_SOURCE_DIR);
        ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, kSize, kSize), nullptr);
        SettingStatics::m_fLightDirX = 1.0f;
        SettingStatics::m_fLightDirY = -1.0f;
        SettingStatics::m_fLightDirZ = 0.0f;
        SettingStatics::m_bFileOk_1 = SettingStatics::m_bFileOk_2 = false;
        Shaders().SetCamera(nullptr);
        Shaders().Init();
        LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
        SetLight(D3DXVECTOR3(-1, 0, 0));
        Clear();
    }
    void TearDown() override {
        Shaders().Release();
        for (auto& mesh : m_meshes)
            mesh->Release();
        D3DZCDIRECT3D::GetInstance().Release();
        SettingStatics::ToonName = "Data/Shader/TEX/Toon.png";
        SettingStatics::SpeMapName = "Data/Shader/TEX/SpeMap.png";
        std::filesystem::current_path(m_previousDirectory);
    }

    static CShader& Shaders() { return CShader::GetInstance(); }
    static IDirect3DDevice9* Device() { return D3DZCDIRECT3D::GetInstance().GetDevice(); }
    void Clear() { Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0); }

    void LookFrom(const D3DXVECTOR3& eye, const D3DXVECTOR3& at) {
        const D3DXVECTOR3 up = std::abs(eye.x - at.x) + std::abs(eye.z - at.z) < 1e-4f ? D3DXVECTOR3(0, 0, 1)
                                                                                       : D3DXVECTOR3(0, 1, 0);
        D3DXMatrixLookAtLH(&m_view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&m_proj, D3DX_PI / 4, 1.0f, 0.5f, 100.0f);
        D3DZCDIRECT3D::GetInstance().SetView(&m_view);
        D3DZCDIRECT3D::GetInstance().SetProj(&m_proj);
    }
    static void SetLight(const D3DXVECTOR3& direction) {
        D3DZCDIRECT3D::GetInstance().SetDirectionalLight(TRUE, 0, &direction, D3DXCOLOR(1, 1, 1, 1),
                                                         D3DXCOLOR(0.3f, 0.3f, 0.3f, 0),
                                                         D3DXCOLOR(0.5f, 0.5f, 0.5f, 0));
    }

    D3DZCXFILE* Load(const std::string& name, const std::string& text) {
        m_meshes.push_back(std::make_unique<D3DZCXFILE>());
        EXPECT_TRUE(m_meshes.back()->LoadXFile(m_dir.Write(name, text).c_str()));
        return m_meshes.back().get();
    }

    DWORD Pixel(int x, int y) { return BackBufferPixel(Device(), x, y) & 0xFFFFFF; }
    // The pixel a world point lands on.
    DWORD PixelAt(const D3DXVECTOR3& point) {
        D3DXMATRIX viewProj;
        D3DXMatrixMultiply(&viewProj, &m_view, &m_proj);
        D3DXVECTOR3 clip;
        D3DXVec3TransformCoord(&clip, &point, &viewProj);
        const int x = static_cast<int>((clip.x + 1) / 2 * kSize),
                  y = static_cast<int>((1 - clip.y) / 2 * kSize);
        return Pixel(std::clamp(x, 0, kSize - 1), std::clamp(y, 0, kSize - 1));
    }
    static int Brightness(DWORD rgb) { return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF); }

    static constexpr DWORD kBackground = 0x00203040;
    TempDir m_dir;
    MessageBoxRecorder m_messages;
    std::vector<std::unique_ptr<D3DZCXFILE>> m_meshes;
    D3DXMATRIX m_view, m_proj;
    std::filesystem::path m_previousDirectory;
};

std::string WriteRamp(const TempDir& dir, const std::string& name, const std::vector<QColor>& bands) {
    QImage ramp(static_cast<int>(bands.size()), 1, QImage::Format_RGB32);
    for (int i = 0; i < ramp.width(); ++i)
        ramp.setPixelColor(i, 0, bands[static_cast<std::size_t>(i)]);
    const std::string path = dir.File(name);
    ramp.save(QString::fromStdString(path));
    return path;
}

DWORD FirstTexel(D3DZCTEXTURE* texture) {
    D3DLOCKED_RECT locked{};
    if (texture == nullptr || texture->GetTex() == nullptr ||
        texture->GetTex()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != S_OK)
        return 0;
    const DWORD texel = *static_cast<const DWORD*>(locked.pBits);
    texture->GetTex()->UnlockRect(0);
    return texel;
}

} // namespace

TEST_F(ShaderSet, LoadsEveryEffectAndBothDefaultTexturesFromTheDataFolder) {
    ASSERT_TRUE(m_messages.Messages().empty()) << m_messages.Messages()[0].text;
    EXPECT_NE(Shaders().GetBase().GetEffect(), nullptr);
    EXPECT_NE(Shaders().GetToon().GetEffect(), nullptr);
    EXPECT_NE(Shaders().GetSpeMap().GetEffect(), nullptr);
    EXPECT_NE(Shaders().GetShadowMap().GetEffect(), nullptr);
    EXPECT_NE(Shaders().GetShadowSample().GetEffect(), nullptr);
    ASSERT_NE(Shaders().GetToonTex(), nullptr);
    ASSERT_NE(Shaders().GetSpeMapTex(), nullptr);
    EXPECT_NE(Shaders().GetToonTex()->GetTex(), nullptr);
    EXPECT_NE(Shaders().GetSpeMapTex()->GetTex(), nullptr);

    // Again after a device re-creation, with nothing left over from the first time.
    Shaders().Release();
    EXPECT_EQ(Shaders().GetToonTex(), nullptr);
    EXPECT_EQ(Shaders().GetBase().GetEffect(), nullptr);
    Shaders().Init();
    Shaders().Init();
    EXPECT_NE(Shaders().GetToon().GetEffect(), nullptr);
}

TEST_F(ShaderSet, CameraPositionIsTheDistanceTurnedByPitchThenYawIgnoringPanAndRoll) {
    EXPECT_EQ(Shaders().CameraPosition(), D3DZCVECTOR3(0, 0, 0)) << "no camera yet";
    D3DZCAMERADATA camera{{0, 0, -10}, {0, 0, 0}};
    Shaders().SetCamera(&camera);
    EXPECT_EQ(Shaders().CameraPosition(), D3DZCVECTOR3(0, 0, -10));

    camera.vRot = D3DXVECTOR3(90, 0, 0);
    D3DZCVECTOR3 above = Shaders().CameraPosition();
    EXPECT_NEAR(above.y, 10.0f, 1e-4f) << "positive pitch looks down from above";
    EXPECT_NEAR(above.z, 0.0f, 1e-4f);

    camera = {{5, -3, -10}, {0, 90, 45}};
    D3DZCVECTOR3 side = Shaders().CameraPosition();
    EXPECT_NEAR(side.x, -10.0f, 1e-4f);
    EXPECT_NEAR(side.y, 0.0f, 1e-4f) << "pan and roll do not move it";
    EXPECT_NEAR(side.z, 0.0f, 1e-4f);
    Shaders().SetCamera(nullptr);
}

TEST_F(ShaderSet, BaseShadingIsBrighterOnTheLitSide) {
    PlacedMesh ball(Load("ball.x", TestMeshes::Sphere(1.5f, 32, 16, {0.8f, 0.5f, 0.3f})));
    Shaders().DrawBase(&ball);
    const DWORD lit = PixelAt(D3DXVECTOR3(1.0f, 0, -1.0f)), dark = PixelAt(D3DXVECTOR3(-1.0f, 0, -1.0f));
    EXPECT_NE(lit, kBackground);
    EXPECT_NE(dark, kBackground) << "the unlit side still shows its ambient colour";
    EXPECT_GT(Brightness(lit), Brightness(dark) + 100);
    EXPECT_GT((lit >> 16) & 0xFF, lit & 0xFF) << "the material's orange shows";
}

TEST_F(ShaderSet, ToonShadingShowsNoMoreShadesThanItsRampHasBands) {
    PlacedMesh ball(Load("ball.x", TestMeshes::Sphere(1.5f, 48, 24, {0.2f, 0.6f, 0.9f})));
    QImage ramp(QString::fromStdString("Data/Shader/TEX/Toon.png"));
    ASSERT_FALSE(ramp.isNull());
    std::set<QRgb> bands;
    for (int x = 0; x < ramp.width(); ++x)
        bands.insert(ramp.pixel(x, ramp.height() / 2));

    Shaders().DrawToon(&ball);
    std::set<DWORD> shades;
    int outline = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const DWORD pixel = Pixel(x, y);
            if (pixel == kBackground)
                continue;
            if (Brightness(pixel) < 90)
                ++outline;
            else
                shades.insert(pixel);
        }
    EXPECT_LE(shades.size(), bands.size());
    EXPECT_GE(shades.size(), 2u) << "lit and shadowed sides differ";
    EXPECT_GT(outline, 0) << "the silhouette is outlined";
}

TEST_F(ShaderSet, SphereMapVariesWithTheView) {
    PlacedMesh card(
        Load("card.x", TestMeshes::Box(-1.5f, -1.5f, -0.05f, 1.5f, 1.5f, 0.05f, {0.7f, 0.7f, 0.7f})));
    Shaders().DrawSpeMap(&card);
    const DWORD straight = PixelAt(D3DXVECTOR3(0, 0, -0.05f));
    Clear();
    LookFrom(D3DXVECTOR3(0, 3.5f, -3.5f), D3DXVECTOR3(0, 0, 0));
    Shaders().DrawSpeMap(&card);
    const DWORD fromAbove = PixelAt(D3DXVECTOR3(0, 0, -0.05f));
    EXPECT_NE(straight, kBackground);
    EXPECT_NE(fromAbove, kBackground);
    EXPECT_GT(std::abs(Brightness(straight) - Brightness(fromAbove)) +
                  std::abs(static_cast<int>(straight & 0xFF) - static_cast<int>(fromAbove & 0xFF)),
              30);
}

TEST_F(ShaderSet, ShadowDarkensTheFloorUnderABoxAndNowhereElse) {
    PlacedMesh floor(Load("floor.x", TestMeshes::Floor(6.0f, 0.0f, {0.8f, 0.8f, 0.8f})));
    PlacedMesh box(
        Load("box.x", TestMeshes::Box(-0.75f, 2.0f, -0.75f, 0.75f, 3.0f, 0.75f, {0.9f, 0.3f, 0.3f})));
    const D3DXVECTOR3 down(0, -1, 0);
    SetLight(down);
    SettingStatics::m_fLightDirX = 0.0f;
    SettingStatics::m_fLightDirY = -2.0f;
    LookFrom(D3DXVECTOR3(0, 9, -9), D3DXVECTOR3(0, 0, 0));

    D3DXVECTOR3 lightPosition = down * -30.0f;
    D3DXVECTOR4 box3d(20, 20, 0.1f, 2000);
    Shaders().GetShadowMap().Begin(&lightPosition, &box3d);
    Shaders().DrawCreateShadow(&floor);
    Shaders().DrawCreateShadow(&box);
    Shaders().GetShadowMap().End();
    Shaders().DrawShadow(&floor);
    Shaders().DrawShadow(&box);

    const DWORD shadowed = PixelAt(D3DXVECTOR3(0, 0, 0));
    const DWORD lit = PixelAt(D3DXVECTOR3(3, 0, 0));
    EXPECT_GT(Brightness(lit), Brightness(shadowed) + 150);
    for (const D3DXVECTOR3& point :
         {D3DXVECTOR3(-3, 0, 0), D3DXVECTOR3(0, 0, -3), D3DXVECTOR3(1.5f, 0, -1.5f),
          D3DXVECTOR3(-1.5f, 0, 1.0f), D3DXVECTOR3(1.2f, 0, 0), D3DXVECTOR3(-4, 0, -4)})
        EXPECT_LE(std::abs(Brightness(PixelAt(point)) - Brightness(lit)), 6)
            << "lit floor at (" << point.x << ", " << point.z << ")";
    for (const D3DXVECTOR3& point : {D3DXVECTOR3(0.4f, 0, 0.4f), D3DXVECTOR3(-0.4f, 0, -0.4f)})
        EXPECT_LE(std::abs(Brightness(PixelAt(point)) - Brightness(shadowed)), 6) << "inside the shadow";
}

TEST_F(ShaderSet, ChosenTexturesReloadOncePerAnnouncementAndUnreadableFilesGiveWhite) {
    const std::string ramp = WriteRamp(m_dir, "ramp.png", {QColor(255, 0, 0), QColor(255, 0, 0)});
    SettingStatics::ToonName = ramp;
    Shaders().ChangeTexture();
    EXPECT_NE(FirstTexel(Shaders().GetToonTex()) & 0xFFFFFF, 0xFF0000u)
        << "nothing announced, nothing loaded";

    SettingStatics::m_bFileOk_1 = true;
    Shaders().ChangeTexture();
    EXPECT_EQ(FirstTexel(Shaders().GetToonTex()) & 0xFFFFFF, 0xFF0000u);
    EXPECT_FALSE(SettingStatics::m_bFileOk_1) << "the announcement is taken once";

    // The same name again is read again: the file may have changed.
    WriteRamp(m_dir, "ramp.png", {QColor(0, 0, 255), QColor(0, 0, 255)});
    SettingStatics::m_bFileOk_1 = true;
    Shaders().ChangeTexture();
    EXPECT_EQ(FirstTexel(Shaders().GetToonTex()) & 0xFFFFFF, 0x0000FFu);

    SettingStatics::SpeMapName = m_dir.Write("notes.png", "this is not a picture");
    SettingStatics::m_bFileOk_2 = true;
    Shaders().ChangeTexture();
    EXPECT_EQ(FirstTexel(Shaders().GetSpeMapTex()), 0xFFFFFFFFu) << "white, not the previous sphere map";
    EXPECT_EQ(FirstTexel(Shaders().GetToonTex()) & 0xFFFFFF, 0x0000FFu) << "the toon ramp is untouched";
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(ShaderSet, ABlueRampTurnsTheToonLookBlueInTheNextFrame) {
    PlacedMesh ball(Load("ball.x", TestMeshes::Sphere(1.5f, 24, 12, {1.0f, 1.0f, 1.0f})));
    SettingStatics::ToonName = WriteRamp(m_dir, "blue.png", {QColor(0, 0, 128), QColor(0, 0, 255)});
    SettingStatics::m_bFileOk_1 = true;
    Shaders().ChangeTexture();
    Shaders().DrawToon(&ball);
    const DWORD centre = PixelAt(D3DXVECTOR3(0, 0, -1.5f));
    EXPECT_EQ(centre & 0xFFFF00, 0u) << std::hex << centre;
    EXPECT_GT(centre & 0xFF, 100u);
}

TEST_F(ShaderSet, ObjectsWithoutAMeshDrawNothing) {
    PlacedMesh nothing(nullptr);
    Shaders().DrawBase(&nothing);
    Shaders().DrawShadow(&nothing);
    Shaders().DrawCreateShadow(nullptr);
    EXPECT_EQ(Pixel(kSize / 2, kSize / 2), kBackground);
}

// The real main window, the camera at its start pose (distance -10, yaw -38), a headless device with a
// camera of our own looking at the origin, and nothing picked on the manipulator.
#pragma once

#include "CAPP.h"
#include "CWindowCheck.h"
#include "CXData.h"
#include "CamData.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZDMXFILE.h"
#include "KeyStateTracker.h"
#include "MessageBoxRecorder.h"
#include "MyForm.h"
#include "PopWindow.h"

#include <QCheckBox>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

class SceneFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 160, kHeight = 120;

    void SetUp() override {
        m_previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(FSMITH_SOURCE_DIR); // the effects are read from Data/
        Keys().FocusLost();
        CAPP::GetInstance().InitWindows();
        m_form = CAPP::GetInstance().GetMainForm();
        ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, kWidth, kHeight), nullptr);
        CamData::GetInstance().Reset();
        CamData::GetInstance().Init();
        LookFrom(D3DXVECTOR3(0, 0, -10));
        Pick(CWindowCheck::kNotPickedYet, D3DXVECTOR3(0, 0, 0));
        CursorAt(kWidth / 2, kHeight / 2);
        CAPP::GetInstance().SampleInput();
    }
    void TearDown() override {
        Keys().FocusLost();
        CAPP::GetInstance().SampleInput();
        D3DZDMXFILE::GetInstance().AllClear();
        D3DZCDIRECT3D::GetInstance().Release();
        CAPP::GetInstance().DestroyWindows();
        std::filesystem::current_path(m_previousDirectory);
    }

    static KeyStateTracker& Keys() { return KeyStateTracker::GetInstance(); }
    static D3DXMATRIX Moved(float x, float y, float z) {
        D3DXMATRIX m;
        return *D3DXMatrixTranslation(&m, x, y, z);
    }
    static std::unique_ptr<CXData> Placed(const D3DXMATRIX& world, const std::string& model = "none.x") {
        Fieldsmith::_TAG_MAPDATA record(model, world);
        return std::make_unique<CXData>(&record);
    }
    // The handle under the cursor, drawn at `at`.
    static void Pick(int handle, const D3DXVECTOR3& at) {
        CWindowCheck::GetInstance().SetNowColor(handle);
        CWindowCheck::GetInstance().SetHandleMatrix(handle, Moved(at.x, at.y, at.z));
    }
    static void Frame(CXData& object) {
        CAPP::GetInstance().SampleInput();
        object.Update();
    }
    // The cursor at a point of the view's client area.
    static void CursorAt(int x, int y) {
        Keys().SetCursorScreenPos(POINT{0, 0});
        POINT origin{};
        DZGetMouseClientPos(CAPP::GetInstance().GetViewWnd(), &origin);
        Keys().SetCursorScreenPos(POINT{x - origin.x, y - origin.y});
        m_cursor = POINT{x, y};
    }
    // Press (a frame that only anchors), one frame per step, release.
    static void Drag(CXData& object, std::initializer_list<POINT> steps) {
        Keys().KeyDown(VK_LBUTTON);
        Frame(object);
        for (const POINT& step : steps) {
            CursorAt(m_cursor.x + step.x, m_cursor.y + step.y);
            Frame(object);
        }
        Keys().KeyUp(VK_LBUTTON);
        Frame(object);
    }

    void LookFrom(const D3DXVECTOR3& eye) {
        const D3DXVECTOR3 at(0, 0, 0), up(0, 1, 0);
        D3DXMatrixLookAtLH(&m_view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&m_proj, D3DX_PI / 4, static_cast<float>(kWidth) / kHeight, 0.5f, 100.0f);
        D3DZCDIRECT3D::GetInstance().SetView(&m_view);
        D3DZCDIRECT3D::GetInstance().SetProj(&m_proj);
    }
    // x, y in pixels, z depth.
    D3DXVECTOR3 OnScreen(const D3DXVECTOR3& point) const {
        const D3DVIEWPORT9 viewport{0, 0, kWidth, kHeight, 0.0f, 1.0f};
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        D3DXVECTOR3 out;
        return *D3DXVec3Project(&out, &point, &viewport, &m_proj, &m_view, &identity);
    }

    MyForm* m_form = nullptr;
    D3DXMATRIX m_view, m_proj;
    MessageBoxRecorder m_messages;
    std::filesystem::path m_previousDirectory;
    static inline POINT m_cursor{};
};

inline void ExpectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i / 4][i % 4], expected.m[i / 4][i % 4], tolerance) << "element " << i;
}

inline float RowLength(const D3DXMATRIX& m, int row) {
    const D3DXVECTOR3 v(m.m[row][0], m.m[row][1], m.m[row][2]);
    return D3DXVec3Length(&v);
}

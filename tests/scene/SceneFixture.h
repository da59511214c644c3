// The real main window, the orbit camera at its start pose, a headless device of a known size with a
// camera looking along +Z, and the manipulator with nothing picked. A frame is: sample the input,
// then update the object under test.
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
#include "VirtualKeys.h"

#include <QCheckBox>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

class SceneFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;

    void SetUp() override {
        m_previousDirectory = std::filesystem::current_path();
        // The effects and their textures are read from Data/ under the working directory.
        std::filesystem::current_path(FSMITH_SOURCE_DIR);
        Keys().FocusLost();
        CAPP::GetInstance().InitWindows();
        m_form = CAPP::GetInstance().GetMainForm();
        ASSERT_NE(m_form, nullptr);
        ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, kWidth, kHeight), nullptr);
        CamData::GetInstance().Reset();
        CamData::GetInstance().Init();
        LookFrom(D3DXVECTOR3(0, 0, -10));
        Manipulator().SetNowColor(CWindowCheck::kNotPickedYet);
        for (int i = 0; i < CWindowCheck::kHandleCount; ++i)
            Manipulator().SetHandleMatrix(i, Identity());
        (void)m_form->isMatrixIdenty();
        m_form->SetSelectEdit(0);
        CursorAt(kWidth / 2, kHeight / 2);
        Frame();
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
    static CWindowCheck& Manipulator() { return CWindowCheck::GetInstance(); }
    static D3DXMATRIX Identity() {
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        return m;
    }
    static D3DXMATRIX Translation(float x, float y, float z) {
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, x, y, z);
        return m;
    }
    PopWindow& Pop() { return *m_form->m_PopForm; }

    static void Frame() { CAPP::GetInstance().SampleInput(); }
    static void Frame(CXData& object) {
        Frame();
        object.Update();
    }

    // Places the cursor at a point of the view's client area.
    static void CursorAt(int x, int y) {
        Keys().SetCursorScreenPos(POINT{0, 0});
        POINT origin{};
        DZGetMouseClientPos(CAPP::GetInstance().GetViewWnd(), &origin);
        Keys().SetCursorScreenPos(POINT{x - origin.x, y - origin.y});
        m_cursor = POINT{x, y};
    }
    static void CursorBy(int dx, int dy) { CursorAt(m_cursor.x + dx, m_cursor.y + dy); }

    // Left button down, its first frame (which only anchors the drag), each step one frame, then the
    // frame of the release.
    static void Drag(CXData& object, std::initializer_list<POINT> steps) {
        Keys().KeyDown(VK_LBUTTON);
        Frame(object);
        for (const POINT& step : steps) {
            CursorBy(step.x, step.y);
            Frame(object);
        }
        Keys().KeyUp(VK_LBUTTON);
        Frame(object);
    }

    void LookFrom(const D3DXVECTOR3& eye, const D3DXVECTOR3& at = D3DXVECTOR3(0, 0, 0)) {
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&m_view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&m_proj, D3DX_PI / 4, static_cast<float>(kWidth) / kHeight, 0.5f, 100.0f);
        D3DZCDIRECT3D::GetInstance().SetView(&m_view);
        D3DZCDIRECT3D::GetInstance().SetProj(&m_proj);
    }
    // A world point on the device's screen: x, y in pixels, z depth.
    D3DXVECTOR3 OnScreen(const D3DXVECTOR3& point) const {
        D3DVIEWPORT9 viewport{0, 0, kWidth, kHeight, 0.0f, 1.0f};
        D3DXMATRIX identity = Identity();
        D3DXVECTOR3 out;
        D3DXVec3Project(&out, &point, &viewport, &m_proj, &m_view, &identity);
        return out;
    }

    static std::unique_ptr<CXData> Placed(const D3DXMATRIX& world, const std::string& model = "none.x") {
        Fieldsmith::_TAG_MAPDATA record(model, world);
        return std::make_unique<CXData>(&record);
    }

    MyForm* m_form = nullptr;
    D3DXMATRIX m_view, m_proj;
    MessageBoxRecorder m_messages;
    std::filesystem::path m_previousDirectory;
    static inline POINT m_cursor{};
};

inline void ExpectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << "element " << r + 1 << c + 1;
}

inline float RowLength(const D3DXMATRIX& m, int row) {
    const D3DXVECTOR3 v(m.m[row][0], m.m[row][1], m.m[row][2]);
    return D3DXVec3Length(&v);
}

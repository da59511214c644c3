#include "CSystem.h"
#include "CAPP.h"
#include "D3DZCDIRECT3D.h"
#include "KeyStateTracker.h"
#include "MyForm.h"
#include "VirtualKeys.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Modes : public ::testing::Test {
protected:
    void SetUp() override {
        KeyStateTracker::GetInstance().FocusLost();
        CAPP::GetInstance().InitWindows();
        ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, 16, 16), nullptr);
    }
    void TearDown() override {
        KeyStateTracker::GetInstance().FocusLost();
        D3DZCDIRECT3D::GetInstance().Release();
        CAPP::GetInstance().DestroyWindows();
    }
    static DWORD CullMode() {
        DWORD mode = 0;
        D3DZCDIRECT3D::GetInstance().GetDevice()->GetRenderState(D3DRS_CULLMODE, &mode);
        return mode;
    }
    // Holds the keys for one frame.
    static void Frame(std::initializer_list<int> keys) {
        for (int key : keys)
            KeyStateTracker::GetInstance().KeyDown(key);
        CSystem::GetInstance().Run();
        for (int key : keys)
            KeyStateTracker::GetInstance().KeyUp(key);
    }
};

} // namespace

TEST_F(Modes, FunctionKeysChooseTheCullingAndTheLastTestedKeyWins) {
    Frame({});
    EXPECT_EQ(CullMode(), static_cast<DWORD>(D3DCULL_CCW)) << "counter-clockwise faces culled from the start";
    Frame({VK_F9});
    EXPECT_EQ(CullMode(), static_cast<DWORD>(D3DCULL_NONE));
    Frame({});
    EXPECT_EQ(CullMode(), static_cast<DWORD>(D3DCULL_NONE)) << "the mode stays after the key is let go";
    Frame({VK_F9, VK_F11});
    EXPECT_EQ(CSystem::GetInstance().GetCulState(), 1);
    EXPECT_EQ(CullMode(), static_cast<DWORD>(D3DCULL_CW));
    Frame({VK_F10});
    EXPECT_EQ(CullMode(), static_cast<DWORD>(D3DCULL_CCW));
}

TEST_F(Modes, LetterKeysChooseTheEditTypeButCtrlCStillCopies) {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    // The letters act only in the active main window.
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form, 3000))
        GTEST_SKIP() << "the window system did not activate the main window";
    form->button1->setFocus();
    Frame({'Q'});
    EXPECT_EQ(form->GetSelectEdit(), 2);
    Frame({VK_LCONTROL, 'C'});
    EXPECT_EQ(form->GetSelectEdit(), 2) << "Ctrl+C is copy";
    Frame({'C'});
    EXPECT_EQ(form->GetSelectEdit(), 1);
    Frame({VK_LCONTROL, 'V'});
    EXPECT_EQ(form->GetSelectEdit(), 0) << "paste selects move as well";
}

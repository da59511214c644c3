// The editor as the program starts it: the real main window, the device on the view's own native
// window, the camera at its start pose and the start-up light, on a clock that moves only when told
// to, so frames never wait. Message boxes are recorded and answered "yes".
#pragma once

#include "BackBufferPixel.h"
#include "CAPP.h"
#include "CXLIST.h"
#include "CamData.h"
#include "CheckedListBox.h"
#include "D3DZCDIRECT3D.h"
#include "DZMouse.h"
#include "EditorLoop.h"
#include "FakeClock.h"
#include "FileDialog.h"
#include "KeyStateTracker.h"
#include "MapDocument.h"
#include "MessageBoxRecorder.h"
#include "MyForm.h"
#include "Setting.h"
#include "TempDir.h"
#include "TestMeshes.h"
#include "d3d9.h"

#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// Starts the editor with its device, or ends the test as skipped.
#define START_WITH_DEVICE()                                                                                  \
    do {                                                                                                     \
        StartWithDevice();                                                                                   \
        if (IsSkipped())                                                                                     \
            return;                                                                                          \
    } while (false)

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(FSMITH_SOURCE_DIR); // Data/ is read from the working directory
        KeyStateTracker::GetInstance().FocusLost();
        CamData::GetInstance().Reset();
        // Settings the editor keeps between runs go to this test's own folder, never the user's.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(m_dir.File("config")));
        m_box = m_dir.Write("box.x", TestMeshes::Box(-1, -1, -1, 1, 1, 1, {1, 0, 0}));
        // Autosaves and recent maps of the editor a test runs go to the test's own folders, and the
        // object list's history starts empty and saved.
        setenv("XDG_STATE_HOME", m_dir.File("state").c_str(), 1);
        setenv("XDG_CONFIG_HOME", m_dir.File("config").c_str(), 1);
        CAPP::GetInstance().GetXList().GetHistory().Clear();
        CAPP::GetInstance().GetXList().GetHistory().MarkSaved();
    }
    void TearDown() override {
        MapDocument::GetInstance().Finish();
        CAPP::GetInstance().Release();
        CAPP::GetInstance().DestroyWindows();
        IDirect3D9::SetDeviceTypeFilter({});
        KeyStateTracker::GetInstance().FocusLost();
        std::filesystem::current_path(m_previousDirectory);
    }

    // Start-up as the program does it; marks the test skipped where the view's window cannot have a
    // GL 3.3 context (see START_WITH_DEVICE).
    void StartWithDevice() {
        const bool device = CAPP::GetInstance().Init();
        Setting::SetStartUpLight();
        m_form = CAPP::GetInstance().GetMainForm();
        if (!device)
            GTEST_SKIP() << "no GL 3.3 context on the view's native window: the editor's frames need an X "
                            "server (Xvfb with Mesa will do)";
        // The window system may still be laying the window out; a late change of the view's size
        // rebuilds the device, which the frames under test should not see.
        // A window that is never exposed leaves the frames to find out for themselves.
        (void)QTest::qWaitForWindowExposed(m_form);
        QTest::qWait(30);
        Pass();
    }
    // Start-up where every device is refused.
    void StartWithoutDevice() {
        IDirect3D9::SetDeviceTypeFilter([](D3DDEVTYPE, DWORD) { return false; });
        CAPP::GetInstance().Init();
        Setting::SetStartUpLight();
        m_form = CAPP::GetInstance().GetMainForm();
    }

    static void Pass() { RunEditorPass(); }
    // What choosing a model in the open dialog leaves for the next frame, and that frame.
    void Open(const std::string& path) {
        m_form->openFileDialog1->setFileName(QString::fromStdString(path));
        m_form->SetXFileOpenFlg(true);
        Pass();
    }
    void SaveMap(const std::string& path) {
        m_form->saveFileDialog6->setFileName(QString::fromStdString(path));
        m_form->SetMapSaveFlg(true);
        Pass();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& message : m_messages.Messages())
            texts.push_back(message.text);
        return texts;
    }

    static IDirect3DDevice9* Device() { return D3DZCDIRECT3D::GetInstance().GetDevice(); }
    // Where a world point lands in the view with the camera the last frame drew with.
    static POINT OnScreen(const D3DXVECTOR3& point) {
        D3DVIEWPORT9 viewport;
        D3DZCDIRECT3D::GetInstance().GetViewPort(&viewport);
        const D3DXMATRIX view = D3DZCDIRECT3D::GetInstance().GetView();
        const D3DXMATRIX proj = D3DZCDIRECT3D::GetInstance().GetProj();
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        D3DXVECTOR3 out;
        D3DXVec3Project(&out, &point, &viewport, &proj, &view, &identity);
        return POINT{static_cast<LONG>(out.x), static_cast<LONG>(out.y)};
    }
    // The cursor over a pixel of the view, wherever the window system put the view on the screen.
    static void CursorAt(POINT p) {
        KeyStateTracker& keys = KeyStateTracker::GetInstance();
        keys.SetCursorScreenPos(POINT{0, 0});
        POINT origin{};
        DZGetMouseClientPos(CAPP::GetInstance().GetViewWnd(), &origin);
        keys.SetCursorScreenPos(POINT{p.x - origin.x, p.y - origin.y});
    }
    static DWORD PixelAt(POINT p) { return BackBufferPixel(Device(), p.x, p.y) & 0xFFFFFF; }

    FakeClock m_clock{1000};
    MessageBoxRecorder m_messages{IDYES};
    TempDir m_dir;
    std::string m_box;
    MyForm* m_form = nullptr;
    std::filesystem::path m_previousDirectory;
};

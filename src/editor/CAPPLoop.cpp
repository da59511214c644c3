// The device-dependent half of the application singleton: start-up, the frame and the release. It
// sits above the scene because the frame drives the object list and the manipulator.
#include "CAPP.h"

#include "CShader.h"
#include "CSystem.h"
#include "CWindowCheck.h"
#include "CXLIST.h"
#include "CamData.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZDMXFILE.h"
#include "EditorLoop.h"
#include "FrameChangeTracker.h"
#include "MyForm.h"
#include "QtWindowContext.h"
#include "SettingStatics.h"
#include "ViewBox.h"
#include "Win32Time.h"

bool CAPP::Init() {
    InitWindows();
    QtWindowContext::InstallFactory();
    // A resized view or a lost device gets a whole new set of device resources.
    CWindowCheck::GetInstance().SetDeviceRebuild([this] {
        Release();
        DataInit();
        FrameChangeTracker::GetInstance().RequestRedraw();
    });
    const bool device = DataInit();
    CamData::GetInstance().Init();
    CamData::GetInstance().SetFollowTarget(&GetXList());
    D3DZCDIRECT3D::GetInstance().CullMode(D3DCULL_CCW);
    return device;
}

bool CAPP::DataInit() {
    if (m_MainForm == nullptr)
        return false;
    const int width = m_MainForm->pictureBox1->width();
    const int height = m_MainForm->pictureBox1->height();
    // The device has already told the user why it failed; the shaders and the manipulator would only
    // add messages of their own about the missing device.
    if (D3DZCDIRECT3D::GetInstance().Init(m_hViewWnd, 0, width, height) == nullptr)
        return false;
    m_UI.Init();
    CWindowCheck::GetInstance().Init();
    CShader::GetInstance().Init();
    return true;
}

void CAPP::Loop() {
    const DWORD start = timeGetTime();
    SampleInput();
    CSystem::GetInstance().Run();
    CamData::GetInstance().Run();
    // Without a device (one that could not be rebuilt) the commands still run, so the scene can be
    // saved, but nothing is drawn, and a newly chosen texture waits for a device to load into.
    const bool device = D3DZCDIRECT3D::GetInstance().GetDevice() != nullptr;
    FrameChangeTracker& changes = FrameChangeTracker::GetInstance();
    if (device) {
        if (SettingStatics::m_bFileOk_1 || SettingStatics::m_bFileOk_2)
            changes.RequestRedraw();
        CShader::GetInstance().ChangeTexture();
    }
    m_UI.Update();
    GetXList().Update();
    if (device) {
        ApplySettingsLight();
        CWindowCheck& manipulator = CWindowCheck::GetInstance();
        if (changes.NeedsDrawing()) {
            manipulator.Begin();
            m_UI.Draw();
            GetXList().Draw();
            manipulator.Run();
            manipulator.End();
        } else {
            // Nothing new to show, but the cursor may have come onto a handle: the pick surface of
            // the last drawn frame still holds the handles where they are.
            manipulator.Check();
        }
    }
    const DWORD sleep = FrameSleepTime(start, timeGetTime());
    if (sleep > 0)
        Sleep(sleep);
}

// The objects go before the mesh cache that owns their meshes, and every resource before the device.
void CAPP::Release() {
    GetXList().Release();
    m_UI.Release();
    CShader::GetInstance().Release();
    D3DZDMXFILE::GetInstance().AllClear();
    CWindowCheck::GetInstance().Release();
    D3DZCDIRECT3D::GetInstance().Release();
}

// The application singleton: the way to the main window, the handles of the main window and of the
// 3-D view, and the mouse buttons and editing keys sampled once per frame.
// Three libraries define its members, so that each stays below what it reaches: the app library
// (CAPP.cpp: windows and input), the editor (src/editor/CAPPLoop.cpp: Init, DataInit, Loop, Release,
// which reach the scene and the camera) and the scene (src/scene/CXLIST.cpp: GetXList).
#pragma once

#include "CUI.h"
#include "DZMouse.h"
#include "Win32Types.h"

#include <QPointer>

#include <memory>

class CXLIST;
class MyForm;
class QtInputFeed;

class CAPP {
public:
    static CAPP& GetInstance();
    CAPP(const CAPP&) = delete;
    CAPP& operator=(const CAPP&) = delete;

    // The main window; null before InitWindows and after DestroyWindows.
    MyForm* GetMainForm() const { return m_MainForm.get(); }
    MyForm* operator->() const { return m_MainForm.get(); }
    CXLIST& GetXList();

    // The windows part of start-up: the main window shown, the pop-up and settings objects made and put
    // away, both handles recorded, and the Qt events fed to the key and cursor record. Needs a
    // QApplication. The device, which is created for the view, comes after this.
    void InitWindows();
    // Gives up the main window and the other windows while the application object still exists.
    void DestroyWindows();

    // The program's start-up: the windows, the device for the view, then the camera. False when no
    // device could be made; the user has been told why.
    bool Init();
    // Everything that depends on the graphics device, at start-up and again after every device
    // rebuild. False, with nothing but the device attempted, when no device could be made.
    bool DataInit();
    // One frame: input, modes, camera, commands, light, drawing, present, then the pacing to 16 ms.
    void Loop();
    // Gives up every device resource, the device last; safe to call twice.
    void Release();
    CUI& GetUI() { return m_UI; }

    HWND GetViewWnd() const { return m_hViewWnd; }
    HWND GetMainWnd() const { return m_hMainWnd; }

    // The first steps of every frame: the three mouse buttons, then Ctrl, C, V, Delete, Shift and Alt.
    void SampleInput();

    const D3DXZORVMOUSEBUTTON& GetMouseButton() const { return m_MouseButton; }
    int GetCtrlKey() const { return m_iCtrlKey; }
    int GetCKey() const { return m_iCKey; }
    int GetVKey() const { return m_iVKey; }
    int GetDeleteKey() const { return m_iDeleteKey; }
    int GetShiftKey() const { return m_iShiftKey; }
    int GetAltKey() const { return m_iAltKey; }

    // Cursor movement in view pixels since the previous call while the left button is held, 0 on the
    // frame of the press (which only anchors) and whenever the button is not held. Each call consumes
    // what it reports, so read each once per frame.
    float GetMouseXMovePos();
    float GetMouseYMovePos();

private:
    CAPP();
    ~CAPP();

    std::unique_ptr<MyForm> m_MainForm;
    HWND m_hViewWnd = nullptr;
    HWND m_hMainWnd = nullptr;
    CUI m_UI;
    D3DXZORVMOUSEBUTTON m_MouseButton{};
    int m_iCtrlKey = 0;
    int m_iCKey = 0;
    int m_iVKey = 0;
    int m_iDeleteKey = 0;
    int m_iShiftKey = 0;
    int m_iAltKey = 0;
    float m_fMouseXOld = 0.0f;
    float m_fMouseYOld = 0.0f;
    // Whether the anchors belong to the drag in progress. A press can follow a release so closely
    // that the button reads held without ever reading pressed; such a drag anchors on its first read
    // instead of leaping from where the last drag ended.
    bool m_bMouseXAnchored = false;
    bool m_bMouseYAnchored = false;
    QPointer<QtInputFeed> m_InputFeed;
};

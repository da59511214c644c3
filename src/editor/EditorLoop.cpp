#include "EditorLoop.h"

#include "CAPP.h"
#include "CXLIST.h"
#include "D3DZCDIRECT3D.h"
#include "MainWindowWatch.h"
#include "MapDocument.h"
#include "MyForm.h"
#include "PopWindow.h"
#include "Setting.h"
#include "SettingsStore.h"
#include "StartupFiles.h"
#include "ViewBox.h"
#include "ViewWindow.h"

#include <QApplication>
#include <QPlatformSurfaceEvent>

namespace {

// The direction last lit from. The settings can pass through (0, 0, 0) while the user moves their
// sliders; that vector points nowhere, so the light keeps the last direction that did.
D3DXVECTOR3& LastLightDirection() {
    static D3DXVECTOR3 direction(0.70710677f, -0.70710677f, 0.0f);
    return direction;
}

// A confirmed close destroys the view's native window inside the window events, and a GL context
// cannot be made current on a window that is gone: the device and everything made on it are given
// up while the window still exists.
class ReleaseBeforeTheViewGoes : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
            const MyForm* form = CAPP::GetInstance().GetMainForm();
            if (form != nullptr && form->IsClosed())
                CAPP::GetInstance().Release();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int RunEditor(const std::vector<std::string>& files) {
    CAPP& app = CAPP::GetInstance();
    if (!app.Init()) {
        app.Release();
        app.DestroyWindows();
        return 1;
    }
    Setting::SetStartUpLight();
    MyForm* form = app.GetMainForm();
    SettingsStore::Restore(*form, app.GetUI());
    ReleaseBeforeTheViewGoes releaser;
    form->pictureBox1->NativeWindow()->installEventFilter(&releaser);
    MapDocument::GetInstance().Start(MapDocument::Places::FromEnvironment());
    StartupFiles startup(files);
    // A main window the window system destroyed ends the run as a confirmed close does, except that
    // no question was asked: what is unsaved stays in the autosave for the next start.
    const MainWindowWatch watch(*form);
    while (!form->IsClosed() && !watch.Destroyed()) {
        startup.FeedNext(*app.GetMainForm());
        RunEditorPass();
    }
    SettingsStore::Keep(*form, app.GetUI());
    if (watch.Destroyed())
        MapDocument::GetInstance().Abandon();
    else
        MapDocument::GetInstance().Finish();
    app.Release();
    app.DestroyWindows();
    return 0;
}

void RunEditorPass() {
    CAPP& app = CAPP::GetInstance();
    QApplication::processEvents();
    MyForm* form = app.GetMainForm();
    // A close confirmed during these events took the view's window with it: a frame now would find
    // the device lost and try to rebuild it on a window that no longer shows.
    if (form == nullptr || form->IsClosed())
        return;
    OpenRequestedControlBox(*form);
    MirrorMinimised(*form);
    app.GetXList().ListChange();
    app.Loop();
    MapDocument::GetInstance().Run();
}

void OpenRequestedControlBox(MyForm& form) {
    if (!form.GetControlBoxFlg())
        return;
    if (form.m_PopForm) {
        form.m_PopForm->close();
        form.m_PopForm->deleteLater();
    }
    form.m_PopForm = new PopWindow(&form);
    form.m_PopForm->show();
    form.SetControlBoxFlg(false);
}

void MirrorMinimised(MyForm& form) {
    const bool minimised = (form.windowState() & Qt::WindowMinimized) != 0;
    for (QWidget* window :
         {static_cast<QWidget*>(form.m_PopForm), static_cast<QWidget*>(form.m_SettingForm)}) {
        if (window == nullptr)
            continue;
        const Qt::WindowStates state = minimised ? Qt::WindowMinimized : Qt::WindowNoState;
        if (window->windowState() != state)
            window->setWindowState(state);
    }
}

void ApplySettingsLight() {
    const D3DXVECTOR3 direction(Setting::m_fLightDirX, Setting::m_fLightDirY, Setting::m_fLightDirZ);
    if (direction.x != 0.0f || direction.y != 0.0f || direction.z != 0.0f)
        D3DXVec3Normalize(&LastLightDirection(), &direction);
    const D3DXCOLOR diffuse(Setting::m_fLightDifR, Setting::m_fLightDifG, Setting::m_fLightDifB,
                            Setting::m_fLightDifA);
    const D3DXCOLOR ambient(Setting::m_fLightAmbR, Setting::m_fLightAmbG, Setting::m_fLightAmbB,
                            Setting::m_fLightAmbA);
    const D3DXCOLOR specular(Setting::m_fLightSpeR, Setting::m_fLightSpeG, Setting::m_fLightSpeB,
                             Setting::m_fLightSpeA);
    const MyForm* form = CAPP::GetInstance().GetMainForm();
    const BOOL on = form != nullptr && form->GetLightEnable() ? TRUE : FALSE;
    D3DZCDIRECT3D& d3d = D3DZCDIRECT3D::GetInstance();
    d3d.SetDirectionalLight(on, 0, &LastLightDirection(), diffuse, ambient, specular);
    d3d.LightEnable(on);
}

DWORD FrameSleepTime(DWORD start, DWORD now) {
    const DWORD elapsed = now - start;
    return elapsed < kFrameMilliseconds ? kFrameMilliseconds - elapsed : 0;
}

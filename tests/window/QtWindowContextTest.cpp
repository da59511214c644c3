#include "QtWindowContext.h"
#include "d3d9.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWindow>

namespace {

bool HaveDisplay() {
    return QGuiApplication::instance() != nullptr;
}

// The X server maps and draws windows in its own time: this waits for a condition, up to five seconds,
// handling window events meanwhile.
template <typename Condition> bool EventuallyTrue(Condition condition) {
    for (int attempt = 0; attempt < 250; ++attempt) {
        QGuiApplication::processEvents();
        if (condition())
            return true;
        QThread::msleep(20);
    }
    return false;
}

} // namespace

TEST(QtWindowContext, ADeviceOnAWindowPresentsItsBackBufferTheRightWayUp) {
    if (!HaveDisplay())
        GTEST_SKIP() << "no display";
    QWindow window;
    window.resize(64, 48);
    window.show();
    ASSERT_TRUE(EventuallyTrue([&] { return window.isExposed(); })) << "the window was never shown";
    QtWindowContext::InstallFactory();

    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = 64;
    parameters.BackBufferHeight = 48;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, QtWindowContext::HandleOf(&window),
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device),
              S_OK);
    EXPECT_EQ(device->Context()->WindowWidth(), static_cast<int>(64 * window.devicePixelRatio()));

    // Red on the top half, blue on the bottom half.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    D3DRECT top{0, 0, 64, 24};
    device->Clear(1, &top, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);

    // What the X server shows in the window, once the presented frame has reached it.
    QImage shown;
    const bool arrived = EventuallyTrue([&] {
        if (device->Present(nullptr, nullptr, nullptr, nullptr) != S_OK)
            return false;
        shown = window.screen()->grabWindow(window.winId()).toImage();
        return !shown.isNull() && shown.pixelColor(shown.width() / 2, 2) != QColor(0, 0, 0);
    });
    ASSERT_TRUE(arrived) << "no presented frame reached the window";
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, 2), QColor(255, 0, 0)) << "the top row shows at the top";
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() - 3), QColor(0, 0, 255));
    device->Release();
    d3d->Release();
    GLContextProvider::SetWindowFactory(nullptr);
}

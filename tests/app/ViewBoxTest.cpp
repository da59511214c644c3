#include "ViewBox.h"
#include "MyForm.h"
#include "QtWindowContext.h"
#include "ViewWindow.h"
#include "d3d9.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>

namespace {

bool OnXServer() {
    return QGuiApplication::platformName() == QStringLiteral("xcb");
}

// The X server maps, resizes and draws windows in its own time.
template <typename Condition> bool EventuallyTrue(Condition condition) {
    for (int attempt = 0; attempt < 250; ++attempt) {
        QApplication::processEvents();
        if (condition())
            return true;
        QThread::msleep(20);
    }
    return false;
}

// The device draws into the view's native window through its handle, and what it presents shows in
// the main window where the view is.
TEST(ViewBox, ADeviceOnTheViewHandleShowsInTheMainWindow) {
    if (!OnXServer())
        GTEST_SKIP() << "needs an X server";
    MyForm form;
    form.show();
    ViewWindow* native = form.pictureBox1->NativeWindow();
    ASSERT_TRUE(EventuallyTrue([&] { return native->isExposed(); })) << "the view was never shown";
    QtWindowContext::InstallFactory();

    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = static_cast<UINT>(form.pictureBox1->width());
    parameters.BackBufferHeight = static_cast<UINT>(form.pictureBox1->height());
    parameters.Windowed = TRUE;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_REF, form.pictureBox1->Handle(),
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device),
              S_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);

    const QPoint middle = form.pictureBox1->mapTo(&form, form.pictureBox1->rect().center());
    const bool arrived = EventuallyTrue([&] {
        if (device->Present(nullptr, nullptr, nullptr, nullptr) != S_OK)
            return false;
        const QImage shown = form.screen()->grabWindow(form.winId()).toImage();
        return !shown.isNull() && shown.pixelColor(middle) == QColor(0, 255, 0);
    });
    EXPECT_TRUE(arrived) << "the presented frame never showed in the view";
    device->Release();
    d3d->Release();
    GLContextProvider::SetWindowFactory(nullptr);
}

TEST(ViewBox, TheViewFollowsTheMainWindowsSize) {
    MyForm form;
    form.show();
    ASSERT_TRUE(EventuallyTrue([&] { return form.pictureBox1->width() > 0; }));
    const QSize before = form.pictureBox1->size();
    form.resize(form.width() + 100, form.height() + 60);
    ASSERT_TRUE(EventuallyTrue([&] { return form.pictureBox1->size() != before; }));
    EXPECT_EQ(form.pictureBox1->size(), before + QSize(100, 60));
    EXPECT_EQ(form.pictureBox1->NativeWindow()->size(), form.pictureBox1->size());
}

} // namespace

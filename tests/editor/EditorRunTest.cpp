// The program's run around the frames: start-up without a device, the end on a confirmed close, the
// frame pacing, and what the loop does with the windows between frames.
#include "EditorFixture.h"

#include "NumericUpDown.h"
#include "PopWindow.h"
#include "Setting.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>

#include <xcb/xcb.h>

namespace {

const char* const kNoDeviceText = "DirectX9が初期化できません。\n未対応のパソコンと思われます。";

using EditorRun = EditorTest;

TEST_F(EditorRun, WithoutADeviceTheUserIsToldOnceAndTheEditorEnds) {
    IDirect3D9::SetDeviceTypeFilter([](D3DDEVTYPE, DWORD) { return false; });
    EXPECT_EQ(RunEditor(), 1);
    // The device's own message and nothing from the shaders or the manipulator, which never started.
    EXPECT_EQ(Texts(), std::vector<std::string>{kNoDeviceText});
    EXPECT_EQ(Device(), nullptr);
    EXPECT_EQ(CAPP::GetInstance().GetMainForm(), nullptr) << "the windows go with the program";
    EXPECT_TRUE(m_clock.Sleeps().empty()) << "not a single frame ran";
}

TEST_F(EditorRun, AConfirmedCloseEndsTheLoopAndGivesUpTheDeviceAndTheWindows) {
    int passes = 0;
    // The close arrives as a window event between frames, after a few frames have run.
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (MyForm* form = CAPP::GetInstance().GetMainForm(); form != nullptr && ++passes == 5)
            form->close();
    });
    ticker.start(0);
    const int result = RunEditor();
    if (Device() == nullptr && CAPP::GetInstance().GetMainForm() == nullptr && result == 1)
        GTEST_SKIP() << "no GL 3.3 context on the view's native window";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{"終了しますか？"});
    EXPECT_GE(m_clock.Sleeps().size(), 4u) << "frames ran until the close";
    EXPECT_EQ(Device(), nullptr);
    EXPECT_EQ(CAPP::GetInstance().GetMainForm(), nullptr);
}

// The window system destroys the main window's X window without asking it to close.
TEST_F(EditorRun, AMainWindowDestroyedByTheWindowSystemEndsTheRunAsAConfirmedCloseDoes) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        GTEST_SKIP() << "not on an X server";
    int passes = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (MyForm* form = CAPP::GetInstance().GetMainForm(); form != nullptr && ++passes == 5) {
            xcb_destroy_window(x11->connection(), static_cast<xcb_window_t>(form->winId()));
            xcb_flush(x11->connection());
        }
        if (passes > 500)
            ticker.stop(); // the run did not end: fail below rather than hang
    });
    ticker.start(0);
    const int result = RunEditor();
    ticker.stop();
    if (Device() == nullptr && CAPP::GetInstance().GetMainForm() == nullptr && result == 1)
        GTEST_SKIP() << "no GL 3.3 context on the view's native window";
    EXPECT_EQ(result, 0);
    EXPECT_LT(passes, 500);
    EXPECT_TRUE(Texts().empty()) << "nobody is asked: there is no window left to ask in";
    EXPECT_EQ(Device(), nullptr);
    EXPECT_EQ(CAPP::GetInstance().GetMainForm(), nullptr);
}

// A run's settings are the next run's start; the very first run starts with the defaults.
TEST_F(EditorRun, SettingsChangedInOneRunAreThereInTheNext) {
    struct Seen {
        int renderMode;
        double cameraFactor, drawStart, drawEnd;
        float lightDirX, gridInterval;
        bool gridXY;
        QSize size;
    };
    const auto run = [this](const std::function<void(MyForm&)>& change) {
        Seen seen{};
        int passes = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            MyForm* form = CAPP::GetInstance().GetMainForm();
            if (form == nullptr || ++passes != 3)
                return;
            seen = {form->listBox1->currentRow(),
                    form->numericUpDown1->value(),
                    form->numericUpDown2->value(),
                    form->numericUpDown3->value(),
                    Setting::m_fLightDirX,
                    CAPP::GetInstance().GetUI().GetGridInterval(),
                    CAPP::GetInstance().GetUI().GetGridXY(),
                    form->size()};
            change(*form);
            form->close();
        });
        ticker.start(0);
        RunEditor();
        return seen;
    };
    const Seen first = run([](MyForm& form) {
        form.listBox1->setCurrentRow(2);
        form.numericUpDown1->setValue(2.5);
        form.numericUpDown3->setValue(500);
        form.numericUpDown2->setValue(0.5);
        Setting::m_fLightDirX = -0.3f;
        CAPP::GetInstance().GetUI().RestoreGrid(2.0f, false, true, true);
        form.resize(900, 640);
    });
    if (CAPP::GetInstance().GetMainForm() == nullptr && first.size.isEmpty())
        GTEST_SKIP() << "no GL 3.3 context on the view's native window";
    EXPECT_EQ(first.renderMode, 0);
    EXPECT_EQ(first.cameraFactor, 1.0);
    EXPECT_EQ(first.drawStart, 0.1);
    EXPECT_EQ(first.drawEnd, 2000.0);
    EXPECT_EQ(first.lightDirX, 1.0f);
    EXPECT_EQ(first.gridInterval, 0.5f);
    EXPECT_FALSE(first.gridXY);

    Setting::SetStartUpLight();
    const Seen second = run([](MyForm&) {});
    EXPECT_EQ(second.renderMode, 2);
    EXPECT_EQ(second.cameraFactor, 2.5);
    EXPECT_EQ(second.drawStart, 0.5);
    EXPECT_EQ(second.drawEnd, 500.0);
    EXPECT_FLOAT_EQ(second.lightDirX, -0.3f);
    EXPECT_EQ(second.gridInterval, 2.0f);
    EXPECT_TRUE(second.gridXY);
    EXPECT_EQ(second.size, QSize(900, 640));
    CAPP::GetInstance().GetUI().RestoreGrid(0.5f, false, true, false);
    Setting::m_fGridValue = 0.5f;
    Setting::m_bGridCheckBox3 = false;
}

TEST_F(EditorRun, FramesLastAtLeastSixteenMillisecondsAcrossTheClockWrapping) {
    EXPECT_EQ(FrameSleepTime(0, 0), 16u);
    EXPECT_EQ(FrameSleepTime(100, 105), 11u);
    EXPECT_EQ(FrameSleepTime(100, 116), 0u);
    EXPECT_EQ(FrameSleepTime(100, 5000), 0u);
    EXPECT_EQ(FrameSleepTime(0xFFFFFFFAu, 4), 6u) << "10 ms across the wrap";
    EXPECT_EQ(FrameSleepTime(0xFFFFFFF0u, 0x20), 0u) << "48 ms across the wrap";

    // Whole frames, timed by a message box that stays up for a while within them: the frame's own
    // time is measured from its start, wherever the clock stands.
    StartWithoutDevice();
    DWORD shown = 0;
    const MessageBoxPresenter previous =
        SetMessageBoxPresenter([&](HWND, const std::string&, const std::string&, unsigned) {
            m_clock.Advance(shown);
            return IDOK;
        });
    const auto frameShowing = [&](DWORD milliseconds) {
        shown = milliseconds;
        m_form->openFileDialog3->setFileName(QString::fromStdString(m_dir.File("missing.map")));
        m_form->SetMapOpenFlg(true);
        const std::size_t before = m_clock.Sleeps().size();
        Pass();
        return std::vector<DWORD>(m_clock.Sleeps().begin() + static_cast<long>(before),
                                  m_clock.Sleeps().end());
    };
    EXPECT_EQ(frameShowing(5), std::vector<DWORD>{11});
    EXPECT_EQ(frameShowing(16), std::vector<DWORD>{});
    EXPECT_EQ(frameShowing(3000), std::vector<DWORD>{});
    m_clock.Set(0xFFFFFFFDu);
    EXPECT_EQ(frameShowing(5), std::vector<DWORD>{11}) << "the clock wrapped within the frame";
    const std::size_t before = m_clock.Sleeps().size();
    Pass();
    EXPECT_EQ(m_clock.Sleeps().back(), 16u) << "a frame with nothing to do";
    EXPECT_EQ(m_clock.Sleeps().size(), before + 1);
    SetMessageBoxPresenter(previous);
}

TEST_F(EditorRun, ADeviceThatCannotBeRebuiltStopsTheDrawingButNotTheSavingOfTheScene) {
    START_WITH_DEVICE();
    Open(m_box);
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, 4, 5, 6);
    CAPP::GetInstance().GetXList().GetObject(0)->SetWorld(&moved);
    CAPP::GetInstance().GetXList().GetObject(0)->SetPos(D3DXVECTOR3(4, 5, 6));

    IDirect3D9::SetDeviceTypeFilter([](D3DDEVTYPE, DWORD) { return false; });
    m_form->resize(m_form->width() - 100, m_form->height() - 60);
    QTest::qWait(50);
    Pass();
    ASSERT_EQ(Device(), nullptr);
    EXPECT_EQ(Texts(), std::vector<std::string>{kNoDeviceText});

    Pass();
    const std::string map = m_dir.File("rescued.map");
    SaveMap(map);
    const std::string text = TempDir::Read(map);
    EXPECT_NE(text.find(m_box), std::string::npos) << text;
    EXPECT_NE(text.find("4,5,6,1);"), std::string::npos) << text;
}

// What the loop does with the windows between the events and the frame.
TEST_F(EditorRun, ControlBoxOpensAFreshPopUpAndSecondaryWindowsFollowTheMainWindowsMinimising) {
    StartWithoutDevice();
    m_form->SetControlBoxFlg(true);
    Pass();
    const QPointer<PopWindow> first = m_form->m_PopForm;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(m_form->GetControlBoxFlg());
    first->SetxValue(3.0f);
    m_form->SetControlBoxFlg(true);
    Pass();
    PopWindow* second = m_form->m_PopForm;
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->GetxValue(), 0.0f);
    EXPECT_TRUE(first.isNull() || !first->isVisible()) << "the old pop-up is closed";
    Pass();
    EXPECT_EQ(m_form->m_PopForm, second) << "no command, no new pop-up";

    m_form->ShowSettings();
    m_form->setWindowState(Qt::WindowMinimized);
    Pass();
    if (!(m_form->windowState() & Qt::WindowMinimized))
        GTEST_SKIP() << "the window system does not minimise windows";
    EXPECT_TRUE(second->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(m_form->m_SettingForm->windowState() & Qt::WindowMinimized);
    m_form->setWindowState(Qt::WindowMaximized);
    Pass();
    EXPECT_EQ(second->windowState(), Qt::WindowNoState);
    EXPECT_EQ(m_form->m_SettingForm->windowState(), Qt::WindowNoState);
}

} // namespace

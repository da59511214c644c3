// Frames with nothing new to show are not drawn; every kind of change draws the next one. A frame
// that draws overwrites a marker colour cleared into the back buffer between passes.
#include "EditorFixture.h"

#include "CWindowCheck.h"
#include "FrameChangeTracker.h"
#include "SettingStatics.h"
#include "ViewBox.h"
#include "ViewWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QListWidget>

#include <functional>

namespace {

constexpr D3DCOLOR kMarker = 0xFF123456;

class FrameSkip : public EditorTest {
protected:
    void Mark() { Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kMarker, 1.0f, 0); }
    bool Drawn() const {
        const POINT corner{m_form->pictureBox1->width() - 1, m_form->pictureBox1->height() - 1};
        return PixelAt(corner) != (kMarker & 0xFFFFFF);
    }
    // Passes until nothing changes any more (a pick or a grid take-over shows one frame late).
    void Settle() {
        for (int i = 0; i < 4; ++i)
            Pass();
    }
};

struct Change {
    const char* what;
    std::function<void(MyForm&)> make;
    int passes; // frames until the change shows: a new pick is drawn the frame after it is read
};

TEST_F(FrameSkip, EachKindOfChangeDrawsTheNextFrameAndNoChangeDrawsNothing) {
    START_WITH_DEVICE();
    Open("Data/Sample/crate.x");
    Open(m_box);
    ASSERT_EQ(CAPP::GetInstance().GetXList().GetMaxSize(), 2u);
    const std::vector<Change> changes{
        {"camera zoom", [](MyForm& form) { form.SetMouseWheel(form.GetMouseWheel() - 2); }, 1},
        {"light slider", [](MyForm&) { SettingStatics::m_fLightDirX += 0.5f; }, 1},
        {"light toggle", [](MyForm& form) { form.checkBox3->click(); }, 1},
        {"orthographic view", [](MyForm& form) { form.checkBox1->click(); }, 1},
        {"render mode", [](MyForm& form) { form.listBox1->setCurrentRow(2); }, 1},
        {"local axes", [](MyForm& form) { form.checkBox2->setChecked(!form.checkBox2->isChecked()); }, 1},
        {"check mark", [](MyForm& form) { form.checkedListBox1->SetItemChecked(0, false); }, 1},
        {"selection", [](MyForm& form) { form.checkedListBox1->SetSelectedIndex(0); }, 1},
        {"object moved",
         [](MyForm&) {
             CAPP::GetInstance().GetXList().GetObject(0)->SetPos({0, 2, 0});
         },
         1},
        {"hover onto a handle", [](MyForm&) { CursorAt(OnScreen(D3DXVECTOR3(0, 2, 0))); }, 2},
        {"hover off again",
         [](MyForm&) {
             CursorAt(POINT{1, 1});
         },
         2},
        {"edit type", [](MyForm& form) { form.SetSelectEdit(1); }, 1},
        {"repaint request",
         [](MyForm& form) {
             QCoreApplication::postEvent(form.pictureBox1->NativeWindow(), new QEvent(QEvent::UpdateRequest));
         },
         1},
        {"texture chosen", [](MyForm&) { SettingStatics::m_bFileOk_1 = true; }, 1},
        {"view resized", [](MyForm& form) { form.resize(form.width() - 40, form.height() - 30); }, 1},
    };
    Settle();
    Mark();
    Pass();
    EXPECT_FALSE(Drawn()) << "a frame with no change";
    for (const Change& change : changes) {
        Settle();
        Mark();
        Pass();
        ASSERT_FALSE(Drawn()) << "settled before: " << change.what;
        change.make(*m_form);
        for (int i = 0; i < change.passes; ++i)
            Pass();
        EXPECT_TRUE(Drawn()) << change.what;
        Mark();
        for (int i = 0; i < 4 && Drawn() == false; ++i)
            Pass();
    }
}

TEST_F(FrameSkip, TheBaselineDrawsEveryFrame) {
    START_WITH_DEVICE();
    Settle();
    FrameChangeTracker::GetInstance().SetAlwaysDraw(true);
    Mark();
    Pass();
    FrameChangeTracker::GetInstance().SetAlwaysDraw(false);
    EXPECT_TRUE(Drawn());
}

} // namespace

// A designer's session with the editor, whole frames at a time: a sample model opened, dragged by its
// handles, looked at from the preset views, the window resized and the map saved.
#include "EditorFixture.h"

#include "CWindowCheck.h"
#include "ViewBox.h"
#include "VirtualKeys.h"
#include "XdoTool.h"

#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr const char* kCrate = "Data/Sample/crate.x";
constexpr const char* kSampleMap = "Data/Sample/Sample.map";

class EditorSession : public EditorTest {
protected:
    static CXLIST& List() { return CAPP::GetInstance().GetXList(); }
    static CWindowCheck& Manipulator() { return CWindowCheck::GetInstance(); }
    static KeyStateTracker& Keys() { return KeyStateTracker::GetInstance(); }

    // Frames with the cursor over a point of the world until the manipulator has read its pick there.
    int HoverOver(const D3DXVECTOR3& point) {
        CursorAt(OnScreen(point));
        Pass();
        Pass();
        return Manipulator().GetNowColor();
    }
    // The first point of the Y ring, seen from the camera, where no other handle covers it.
    bool HoverOverTheYRing(float radius) {
        for (int step = 0; step < 16; ++step) {
            const float angle = static_cast<float>(step) * D3DX_PI / 8;
            if (HoverOver(D3DXVECTOR3(radius * std::cos(angle), 0, radius * std::sin(angle))) ==
                CWindowCheck::kAxisY)
                return true;
        }
        return false;
    }
    // Press (a frame that only anchors), a frame per step of the cursor, release.
    void DragBy(int dx, int dy, int steps) {
        POINT cursor = CurrentCursorInView();
        Keys().KeyDown(VK_LBUTTON);
        Pass();
        for (int i = 0; i < steps; ++i) {
            cursor.x += dx;
            cursor.y += dy;
            CursorAt(cursor);
            Pass();
        }
        Keys().KeyUp(VK_LBUTTON);
        Pass();
    }
    static POINT CurrentCursorInView() {
        POINT cursor{};
        DZGetMouseClientPos(CAPP::GetInstance().GetViewWnd(), &cursor);
        return cursor;
    }
    void Press(int key) {
        Keys().KeyDown(key);
        Pass();
        Keys().KeyUp(key);
        Pass();
    }
    // A chord pressed on the X server and held for one frame once the key record has it, then released
    // for the next. False when the keys never reached the editor.
    bool PressOnTheDisplay(const std::string& chord, int key) {
        const auto reached = [&](bool down) {
            return QTest::qWaitFor([&] { return Keys().IsDown(key) == down; }, 5000);
        };
        if (!XdoTool("keydown " + chord) || !reached(true)) {
            XdoTool("keyup " + chord);
            return false;
        }
        Pass();
        // A key pressed since the last frame reads as down for the whole next frame, so the release
        // shows only once a frame has begun after it.
        const auto releasedAfterAFrame = [&] {
            Pass();
            return !Keys().IsDown(key);
        };
        const bool released = XdoTool("keyup " + chord) && QTest::qWaitFor(releasedAfterAFrame, 5000);
        return released;
    }
    bool ActivateMainWindow() {
        m_form->activateWindow();
        for (int i = 0; i < 100 && QApplication::activeWindow() != m_form; ++i)
            QTest::qWait(20);
        return QApplication::activeWindow() == m_form;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < m_form->checkedListBox1->Count(); ++i)
            names.push_back(m_form->checkedListBox1->Item(i).toStdString());
        return names;
    }
    std::vector<bool> Checks() const {
        std::vector<bool> checks;
        for (int i = 0; i < m_form->checkedListBox1->Count(); ++i)
            checks.push_back(m_form->checkedListBox1->GetItemChecked(i));
        return checks;
    }
    static std::vector<D3DXMATRIX> Worlds() {
        std::vector<D3DXMATRIX> worlds;
        for (unsigned int i = 0; i < List().GetMaxSize(); ++i)
            worlds.push_back(*List().GetWorld(i));
        return worlds;
    }
    static D3DXMATRIX ViewFrom(const D3DXVECTOR3& angles) {
        D3DZCAMERADATA camera = *CamData::GetInstance().GetCamData();
        camera.vRot = angles;
        D3DXMATRIX view;
        D3DZMakeCameraMatrix(&view, &camera);
        return view;
    }
    static void ExpectNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, const char* what) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(actual.m[r][c], expected.m[r][c], 1e-5f) << what << " " << r << "," << c;
    }
};

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

} // namespace

TEST_F(EditorSession, AnOpenedModelIsSelectedCheckedAndHeldByTheManipulator) {
    START_WITH_DEVICE();
    CursorAt(POINT{-1000, -1000});
    Open(kCrate);
    Pass();
    ASSERT_EQ(List().GetMaxSize(), 1u);
    // The running number lives as long as the program, so earlier tests in this process count too.
    ASSERT_EQ(Names().size(), 1u);
    EXPECT_EQ(Names()[0].rfind("OBJ", 0), 0u);
    EXPECT_EQ(m_form->checkedListBox1->SelectedIndex(), 0);
    EXPECT_TRUE(m_form->checkedListBox1->GetItemChecked(0));
    EXPECT_TRUE(m_messages.Messages().empty());
    // Move mode: the centre box and a cone out along each world axis, each in its own colour.
    EXPECT_EQ(PixelAt(OnScreen(D3DXVECTOR3(0, 0, 0))), 0xFFFF00u);
    EXPECT_EQ(PixelAt(OnScreen(D3DXVECTOR3(3.2f, 0, 0))), 0xFF0000u);
    EXPECT_EQ(PixelAt(OnScreen(D3DXVECTOR3(0, 3.2f, 0))), 0x00FF00u);
    EXPECT_EQ(PixelAt(OnScreen(D3DXVECTOR3(0, 0, 3.2f))), 0x0000FFu);
    // Hovering a handle lights it in the highlight colour.
    ASSERT_EQ(HoverOver(D3DXVECTOR3(3.2f, 0, 0)), CWindowCheck::kAxisX);
    EXPECT_NE(PixelAt(OnScreen(D3DXVECTOR3(3.2f, 0, 0))), 0xFF0000u);
}

TEST_F(EditorSession, DraggingTheXConeMovesTheObjectAlongXOnly) {
    START_WITH_DEVICE();
    Open(kCrate);
    const D3DXMATRIX& cone = Manipulator().GetMarixList()[CWindowCheck::kAxisX];
    const D3DXVECTOR3 conePoint(cone._41 + 0.2f, cone._42, cone._43);
    ASSERT_EQ(HoverOver(conePoint), CWindowCheck::kAxisX) << "the X cone is where its matrix puts it";
    const POINT before = OnScreen(conePoint);
    DragBy(6, 0, 5);
    const D3DXMATRIX world = *List().GetWorld(0);
    EXPECT_GT(world._41, 0.5f) << "the X axis points to the right of the start view";
    EXPECT_EQ(world._42, 0.0f);
    EXPECT_EQ(world._43, 0.0f);
    EXPECT_EQ(world._11, 1.0f);
    EXPECT_EQ(world._22, 1.0f);
    EXPECT_EQ(world._33, 1.0f);
    // The cone followed the cursor to the right.
    EXPECT_GT(OnScreen(D3DXVECTOR3(world._41 + 3.2f, 0, 0)).x, before.x + 15);
    EXPECT_EQ(Manipulator().GetNowColor(), CWindowCheck::kAxisX) << "the pick holds through the drag";
}

TEST_F(EditorSession, DraggingTheYRingTurnsTheObjectAboutWorldY) {
    START_WITH_DEVICE();
    Open(kCrate);
    m_form->button2->click();
    Pass();
    ASSERT_TRUE(HoverOverTheYRing(2.4f)) << "no part of the Y ring is uncovered";
    DragBy(5, 0, 8); // 40 pixels: two degrees
    const D3DXMATRIX world = *List().GetWorld(0);
    EXPECT_GT(std::fabs(world._13), 0.02f) << "turned";
    EXPECT_NEAR(world._21, 0.0f, 1e-5f);
    EXPECT_NEAR(world._22, 1.0f, 1e-5f);
    EXPECT_NEAR(world._23, 0.0f, 1e-5f);
    EXPECT_NEAR(world._12, 0.0f, 1e-5f);
    EXPECT_NEAR(world._32, 0.0f, 1e-5f);
    EXPECT_NEAR(world._11 * world._11 + world._13 * world._13, 1.0f, 1e-4f);
    EXPECT_EQ(world._41, 0.0f);
    EXPECT_EQ(world._42, 0.0f);
    EXPECT_EQ(world._43, 0.0f);
}

// Shift turns by 45-degree notches only, one on each sixth frame that moved both across and up or
// down; a drag straight across never counts, however long.
TEST_F(EditorSession, ShiftRotatesTheYRingInNotchesOfFortyFiveDegrees) {
    START_WITH_DEVICE();
    Open(kCrate);
    m_form->button2->click();
    Pass();
    ASSERT_TRUE(HoverOverTheYRing(2.4f)) << "no part of the Y ring is uncovered";
    const POINT ring = CurrentCursorInView();
    const struct {
        int dx, dy, frames;
        float cosine;
        const char* what;
    } drags[] = {{8, 0, 30, 1.0f, "240 pixels straight across"},
                 {6, 2, 5, 1.0f, "five diagonal frames"},
                 {6, 2, 6, 0.70710677f, "six diagonal frames: one notch"}};
    for (const auto& drag : drags) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        List().GetObject(0)->SetWorld(&identity);
        CursorAt(ring);
        Pass();
        Keys().KeyDown(VK_LSHIFT);
        DragBy(drag.dx, drag.dy, drag.frames);
        Keys().KeyUp(VK_LSHIFT);
        const D3DXMATRIX world = *List().GetWorld(0);
        EXPECT_NEAR(world._11, drag.cosine, 1e-5f) << drag.what;
        EXPECT_NEAR(world._22, 1.0f, 1e-5f) << drag.what << ": about world Y only";
    }
}

TEST_F(EditorSession, FunctionKeysSwitchTheViewOfTheNextFrame) {
    START_WITH_DEVICE();
    if (!ActivateMainWindow())
        GTEST_SKIP() << "the window system did not activate the main window";
    const struct {
        int key;
        D3DXVECTOR3 angles;
        const char* name;
    } presets[] = {{VK_F1, {0, 0, 0}, "F1 front"},
                   {VK_F2, {90, 0, 0}, "F2 top"},
                   {VK_F3, {0, 90, 0}, "F3 side"},
                   {VK_F4, {32, -38, 0}, "F4 start"}};
    for (const auto& preset : presets) {
        Keys().KeyDown(preset.key);
        Pass();
        Keys().KeyUp(preset.key);
        EXPECT_EQ(CamData::GetInstance().GetCamData()->vRot, preset.angles) << preset.name;
        ExpectNear(D3DZCDIRECT3D::GetInstance().GetView(), ViewFrom(preset.angles), preset.name);
        Pass();
    }
}

TEST_F(EditorSession, ResizingKeepsEveryObjectNameCheckMarkAndMatrix) {
    START_WITH_DEVICE();
    Open(kCrate);
    Open(m_box);
    Open(kCrate);
    ASSERT_EQ(List().GetMaxSize(), 3u);
    m_form->checkedListBox1->SetItemChecked(1, false);
    m_form->checkedListBox1->SetSelectedIndex(0);
    Pass();
    const D3DXMATRIX& cone = Manipulator().GetMarixList()[CWindowCheck::kAxisX];
    ASSERT_EQ(HoverOver(D3DXVECTOR3(cone._41 + 0.2f, cone._42, cone._43)), CWindowCheck::kAxisX);
    DragBy(5, 0, 3);
    const auto names = Names();
    const auto checks = Checks();
    const auto worlds = Worlds();
    ASSERT_NE(worlds[0], worlds[2]) << "the first object was moved";

    m_form->resize(m_form->width() + 100, m_form->height() + 60);
    QTest::qWait(50);
    Pass();
    Pass();
    const D3DPRESENT_PARAMETERS& parameters = *D3DZCDIRECT3D::GetInstance().GetD3DParameter();
    EXPECT_EQ(static_cast<int>(parameters.BackBufferWidth), m_form->pictureBox1->width());
    EXPECT_EQ(static_cast<int>(parameters.BackBufferHeight), m_form->pictureBox1->height());
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(Checks(), checks);
    EXPECT_EQ(Worlds(), worlds);
    EXPECT_EQ(List().GetFileName(1), m_box);
    EXPECT_EQ(m_form->checkedListBox1->SelectedIndex(), 0);
    EXPECT_EQ(PixelAt(OnScreen(D3DXVECTOR3(worlds[0]._41, 0, 0))), 0xFFFF00u)
        << "the manipulator is back on the selected object";
}

TEST_F(EditorSession, SavingTheMapWritesEveryObjectAsOneCrLfRecord) {
    START_WITH_DEVICE();
    Open(kCrate);
    Open(kCrate);
    m_form->checkedListBox1->SetItemChecked(0, false); // hidden objects are saved too
    const D3DXMATRIX& cone = Manipulator().GetMarixList()[CWindowCheck::kAxisX];
    ASSERT_EQ(HoverOver(D3DXVECTOR3(cone._41 + 0.2f, cone._42, cone._43)), CWindowCheck::kAxisX);
    DragBy(5, 0, 2);
    const float x = List().GetWorld(1)->_41;
    ASSERT_NE(x, 0.0f);
    const std::string path = m_dir.File("scene.map");
    SaveMap(path);
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_EQ(TempDir::Read(path), std::string("XFileName{") + kCrate +
                                       "},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1);\r\n"
                                       "XFileName{" +
                                       kCrate + "},Matrix(1,0,0,0,0,1,0,0,0,0,1,0," + Number(x) +
                                       ",0,0,1);\r\n");
}

TEST_F(EditorSession, CtrlZAndCtrlYTypedOnTheDisplayTakeADragOfTheSampleMapBackAndBringItAgain) {
    START_WITH_DEVICE();
    if (!HaveXdoTool())
        GTEST_SKIP() << "no xdotool to type on the test's display";
    if (!ActivateMainWindow())
        GTEST_SKIP() << "the window system did not activate the main window";
    m_form->openFileDialog3->setFileName(kSampleMap);
    m_form->SetMapOpenFlg(true);
    Pass();
    std::ifstream sample(kSampleMap, std::ios::binary);
    const auto records = std::count(std::istreambuf_iterator<char>(sample), {}, '\n');
    ASSERT_EQ(List().GetMaxSize(), static_cast<unsigned>(records));
    const std::string unmoved = m_dir.File("unmoved.map"), moved = m_dir.File("moved.map");
    SaveMap(unmoved);
    m_form->checkedListBox1->SetSelectedIndex(1);
    Pass();
    const D3DXMATRIX start = *List().GetWorld(1);
    const D3DXMATRIX& cone = Manipulator().GetMarixList()[CWindowCheck::kAxisX];
    ASSERT_EQ(HoverOver(D3DXVECTOR3(cone._41 + 0.2f, cone._42, cone._43)), CWindowCheck::kAxisX);
    DragBy(6, 0, 5);
    const D3DXMATRIX dragged = *List().GetWorld(1);
    ASSERT_NE(dragged, start) << "the drag moved the crate";
    SaveMap(moved);
    m_form->checkedListBox1->setFocus(); // Ctrl+Z in a number field would undo the typing instead

    ASSERT_TRUE(PressOnTheDisplay("ctrl+z", 'Z')) << "the keys never reached the editor";
    EXPECT_EQ(std::memcmp(List().GetWorld(1), &start, sizeof start), 0);
    const std::string undone = m_dir.File("undone.map");
    SaveMap(undone);
    EXPECT_EQ(TempDir::Read(undone), TempDir::Read(unmoved));

    ASSERT_TRUE(PressOnTheDisplay("ctrl+y", 'Y')) << "the keys never reached the editor";
    EXPECT_EQ(std::memcmp(List().GetWorld(1), &dragged, sizeof dragged), 0);
    const std::string redone = m_dir.File("redone.map");
    SaveMap(redone);
    EXPECT_EQ(TempDir::Read(redone), TempDir::Read(moved));
    EXPECT_TRUE(m_messages.Messages().empty());
}

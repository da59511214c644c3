// The document around the scene: the title and the modified mark, the close questions, "上書き保存",
// the autosave with its recovery, and the recent maps.
#include "EditorFixture.h"

#include "AutosaveFile.h"
#include "ChildProcess.h"
#include "DocumentMenus.h"
#include "RecentMaps.h"
#include "ScopedFileChooser.h"
#include "XdoTool.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <deque>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const char* const kSaveQuestion = "変更が保存されていません。保存しますか？";
const char* const kRecoverQuestion = "前回の編集内容が自動保存されています。復元しますか？";

class Document : public EditorTest {
protected:
    // Message boxes answered in turn, and their texts kept.
    void Answer(std::deque<int> answers) {
        m_answers = std::move(answers);
        SetMessageBoxPresenter([this](HWND, const std::string& text, const std::string&, unsigned) {
            m_asked.push_back(text);
            const int answer = m_answers.empty() ? IDOK : m_answers.front();
            if (!m_answers.empty())
                m_answers.pop_front();
            return answer;
        });
    }
    void TearDown() override {
        SetMessageBoxPresenter({});
        EditorTest::TearDown();
    }
    MapDocument::Places Places(unsigned seconds = 120) const {
        return MapDocument::Places{m_dir.Path() / "state", QString::fromStdString(m_dir.File("recent.conf")),
                                   seconds};
    }
    static CXLIST& List() { return CAPP::GetInstance().GetXList(); }
    std::string Title() const { return m_form->windowTitle().toStdString(); }
    void Undo() {
        m_form->undoItem->trigger();
        Pass();
    }
    void Redo() {
        m_form->redoItem->trigger();
        Pass();
    }
    std::vector<std::string> FilesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The autosave of the editor with this process id, empty until it has written one.
    fs::path AutosaveOf(const fs::path& folder, pid_t pid) const {
        const std::string prefix = "autosave-" + std::to_string(pid) + "-";
        for (const std::string& name : FilesIn(folder))
            if (name.rfind(prefix, 0) == 0 && name.ends_with(".map"))
                return folder / name;
        return {};
    }

    std::deque<int> m_answers;
    std::vector<std::string> m_asked;
};

} // namespace

TEST_F(Document, TheTitleNamesTheMapAndMarksChangesAcrossSaveUndoAndRedo) {
    START_WITH_DEVICE();
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4");
    Open(m_box);
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 *");
    SaveMap(m_dir.File("a.map"));
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 - a.map");
    Open(m_box);
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 - a.map *");
    Undo();
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 - a.map") << "back at the save";
    Undo();
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 - a.map *") << "past it";
    Redo();
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 - a.map");

    // A map opened into an empty scene is the scene as saved.
    Undo();
    m_form->openFileDialog3->setFileName(QString::fromStdString(m_dir.File("a.map")));
    m_form->SetMapOpenFlg(true);
    Pass();
    EXPECT_EQ(List().GetMaxSize(), 1u);
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 - a.map *") << "not empty: the open is a change";
}

TEST_F(Document, CloseQuestionsAndEachAnswer) {
    const std::string saved = m_dir.File("saved.map");
    struct Case {
        const char* name;
        bool modified;
        bool currentFile;
        std::deque<int> answers;
        std::optional<std::string> dialogChoice; // the map save dialog's answer
        bool closes;
        std::vector<std::string> asked;
    };
    const std::string failing = m_dir.File("no-such-folder/x.map");
    const std::vector<Case> cases = {
        {"unmodified, No", false, false, {IDNO}, {}, false, {"終了しますか？"}},
        {"modified, Cancel", true, true, {IDCANCEL}, {}, false, {kSaveQuestion}},
        {"modified, Yes, save fails",
         true,
         false,
         {IDYES, IDOK},
         failing,
         false,
         {kSaveQuestion, CXLIST::kSaveErrorText}},
        {"modified, Yes, dialog cancelled", true, false, {IDYES}, std::nullopt, false, {kSaveQuestion}},
        {"modified, Yes, current file", true, true, {IDYES}, {}, true, {kSaveQuestion}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        START_WITH_DEVICE(); // a fresh main window for each close
        ScopedFileChooser chooser;
        if (c.dialogChoice)
            chooser.Choose(QString::fromStdString(*c.dialogChoice));
        else
            chooser.Cancel();
        if (c.currentFile) {
            Open(m_box);
            SaveMap(saved);
        }
        if (c.modified)
            Open(m_box);
        const std::size_t objects = List().GetMaxSize();
        const std::string before = TempDir::Read(saved);
        m_asked.clear();
        Answer(c.answers);
        m_form->close();
        Pass();
        Pass();
        EXPECT_EQ(m_form->IsClosed(), c.closes);
        EXPECT_EQ(m_asked, c.asked);
        if (!c.closes) {
            EXPECT_EQ(List().GetMaxSize(), objects) << "nothing changed";
            EXPECT_EQ(Title().back() == '*', c.modified);
        } else if (c.currentFile) {
            EXPECT_NE(TempDir::Read(saved), before) << "saved before closing";
            EXPECT_FALSE(List().GetHistory().IsModified());
        }
        SetMessageBoxPresenter({});
        MapDocument::GetInstance().Finish();
        CAPP::GetInstance().Release();
        CAPP::GetInstance().DestroyWindows();
        List().GetHistory().Clear();
        List().GetHistory().MarkSaved();
    }
}

TEST_F(Document, OverwriteSaveWritesTheCurrentMapOrAsksForOne) {
    START_WITH_DEVICE();
    ScopedFileChooser chooser;
    const std::string path = m_dir.File("first.map");
    chooser.Choose(QString::fromStdString(path));
    Open(m_box);
    m_form->overwriteSaveItem->trigger(); // no map file yet: the save dialog asks
    Pass();
    EXPECT_EQ(chooser.Shown(), 1);
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 - first.map");
    const std::string one = TempDir::Read(path);
    Open(m_box);
    m_form->overwriteSaveItem->trigger();
    Pass();
    EXPECT_EQ(chooser.Shown(), 1) << "no dialog once there is a map file";
    EXPECT_GT(TempDir::Read(path).size(), one.size());
    EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 - first.map");
}

TEST_F(Document, AutosaveIsWrittenAtTheIntervalAtomicallyAndRemovedByASaveOrACleanExit) {
    START_WITH_DEVICE();
    MapDocument::GetInstance().Start(Places(120));
    const fs::path own = MapDocument::GetInstance().Autosave()->MapPath();
    Open(m_box);
    // Each frame sleeps 16 ms on this clock: the next frame ends 1 ms short of two minutes.
    m_clock.Advance(120000 - 1 - 2 * 16);
    Pass();
    EXPECT_FALSE(fs::exists(own));
    Pass();
    ASSERT_TRUE(fs::exists(own));
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    ASSERT_TRUE(Fieldsmith::LoadMapFile(own.string(), records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, m_box);
    EXPECT_EQ(FilesIn(own.parent_path()).size(), 2u) << "the autosave and its lock, no temporary file";

    SaveMap(m_dir.File("saved.map"));
    EXPECT_FALSE(fs::exists(own)) << "saved: the autosave has nothing more to keep";
    Open(m_box);
    m_clock.Advance(120000);
    Pass();
    EXPECT_TRUE(fs::exists(own));
    MapDocument::GetInstance().Finish();
    EXPECT_TRUE(FilesIn(own.parent_path()).empty()) << "a clean exit leaves nothing behind";

    // An end without the close question (the window system took the window) keeps the unsaved scene,
    // written at once, for the next start.
    MapDocument::GetInstance().Start(Places(120));
    const fs::path next = MapDocument::GetInstance().Autosave()->MapPath();
    Open(m_box);
    MapDocument::GetInstance().Abandon();
    std::vector<Fieldsmith::_TAG_MAPDATA> kept;
    ASSERT_TRUE(Fieldsmith::LoadMapFile(next.string(), kept));
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.back().name, m_box);
}

TEST_F(Document, AutosavesOfEditorsThatAreGoneAreOfferedAndKeptWhenDeclined) {
    const fs::path folder = m_dir.Path() / "state";
    fs::create_directories(folder);
    const std::string record = "XFileName{" + m_box + "},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,3,0,0,1);\r\n";
    // Another editor still running holds its lock: its autosave is never touched.
    AutosaveFile running(folder);
    ASSERT_TRUE(running.Claim());
    ASSERT_TRUE(running.Write({Fieldsmith::_TAG_MAPDATA(m_box, D3DXMATRIX())}));
    const std::string runningBytes = TempDir::Read(running.MapPath().string());

    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        std::ofstream(folder / "autosave-1-1.map", std::ios::binary) << record;
        START_WITH_DEVICE();
        m_asked.clear();
        Answer({answer});
        MapDocument::GetInstance().Start(Places());
        Pass();
        EXPECT_EQ(m_asked, std::vector<std::string>{kRecoverQuestion});
        EXPECT_FALSE(fs::exists(folder / "autosave-1-1.map"));
        EXPECT_EQ(TempDir::Read(running.MapPath().string()), runningBytes);
        if (answer == IDYES) {
            ASSERT_EQ(List().GetMaxSize(), 1u);
            EXPECT_EQ(List().GetPos(0).x, 3.0f);
            EXPECT_EQ(Title(), "3DFieldsmith Ver1.4 *") << "recovered, not saved";
            EXPECT_EQ(TempDir::Read(MapDocument::GetInstance().Autosave()->MapPath().string()), record);
            EXPECT_TRUE(List().Undo()) << "one step";
            EXPECT_EQ(List().GetMaxSize(), 0u);
        } else {
            EXPECT_EQ(List().GetMaxSize(), 0u);
            std::vector<std::string> kept;
            for (const std::string& name : FilesIn(folder))
                if (name.rfind("recovered-", 0) == 0)
                    kept.push_back(name);
            ASSERT_EQ(kept.size(), 1u);
            EXPECT_EQ(TempDir::Read((folder / kept[0]).string()), record);
        }
        SetMessageBoxPresenter({});
        MapDocument::GetInstance().Finish();
        CAPP::GetInstance().Release();
        CAPP::GetInstance().DestroyWindows();
    }
}

TEST_F(Document, RecentMapsNewestFirstEightAtMostKeptAcrossRunsAndMissingOnesDropped) {
    std::vector<std::string> maps;
    for (int i = 0; i < 10; ++i) {
        maps.push_back(m_dir.File("m" + std::to_string(i) + ".map"));
        std::ofstream(maps.back()).flush();
    }
    START_WITH_DEVICE();
    MapDocument::GetInstance().Start(Places());
    EXPECT_FALSE(m_form->recentMapsMenu->isEnabled());
    for (const std::string& map : maps)
        SaveMap(map);
    SaveMap(maps[3]);
    const auto shown = [&] {
        std::vector<std::string> texts;
        for (QAction* item : m_form->recentMapsMenu->actions())
            texts.push_back(item->text().toStdString());
        return texts;
    };
    const std::vector<std::string> expected = {maps[3], maps[9], maps[8], maps[7],
                                               maps[6], maps[5], maps[4], maps[2]};
    EXPECT_EQ(shown(), expected);
    EXPECT_EQ(RecentMaps(Places().settingsFile).Paths().size(), 8u) << "kept in the settings file";

    fs::remove(maps[9]);
    Answer({IDOK});
    m_form->recentMapsMenu->actions()[1]->trigger();
    Pass();
    EXPECT_EQ(m_asked, std::vector<std::string>{CXLIST::kLoadErrorText});
    std::vector<std::string> left = expected;
    left.erase(left.begin() + 1);
    EXPECT_EQ(shown(), left);
    SetMessageBoxPresenter({});
    MapDocument::GetInstance().Finish();
    m_form->recentMapsMenu->clear();
    MapDocument::GetInstance().Start(Places());
    EXPECT_EQ(shown(), left) << "the next run";
}

TEST_F(Document, TheAutosaveOfAKilledEditorIsOfferedAtTheNextStart) {
    if (!HaveXdoTool())
        GTEST_SKIP() << "no xdotool to answer the started editor's question";
    // The editor to be killed starts with a scene to recover, the only change it can be given without
    // a file dialog: answered Yes, the scene is modified and goes to its own autosave at once.
    const fs::path folder = m_dir.Path() / "child-state" / "fieldsmith";
    fs::create_directories(folder);
    const std::string record = "XFileName{" + m_box + "},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,3,0,0,1);\r\n";
    std::ofstream(folder / "autosave-1-1.map", std::ios::binary) << record;
    ChildProcess editor(FSMITH_EDITOR,
                        {"XDG_STATE_HOME=" + (m_dir.Path() / "child-state").string(),
                         "XDG_CONFIG_HOME=" + m_dir.File("child-config"), "FIELDSMITH_AUTOSAVE_SECONDS=1"});
    fs::path autosave;
    // Its start under the sanitizers and a software GL can take long: the bound is generous, the
    // question is answered again every two seconds until the autosave is there.
    for (int tick = 0; tick < 600 && autosave.empty(); ++tick) {
        ASSERT_TRUE(editor.Running()) << "the editor ended by itself";
        if (tick % 20 == 0)
            XdoTool("search --onlyvisible --name '^Information$' windowfocus --sync %1 key Return", 5);
        QTest::qWait(100);
        autosave = AutosaveOf(folder, editor.Pid());
    }
    ASSERT_FALSE(autosave.empty()) << "no autosave within a minute";
    EXPECT_EQ(TempDir::Read(autosave.string()), record);
    editor.Kill();
    const fs::path lock = fs::path(autosave).replace_extension(".lock");
    ASSERT_TRUE(fs::exists(lock)) << "killed: nothing was cleaned up";

    START_WITH_DEVICE();
    Answer({IDYES});
    MapDocument::GetInstance().Start(
        MapDocument::Places{folder, QString::fromStdString(m_dir.File("r.conf")), 120});
    Pass();
    EXPECT_EQ(m_asked, std::vector<std::string>{kRecoverQuestion});
    ASSERT_EQ(List().GetMaxSize(), 1u);
    EXPECT_EQ(List().GetPos(0).x, 3.0f);
    EXPECT_FALSE(fs::exists(autosave)) << "recovered into this editor's own autosave";
    EXPECT_FALSE(fs::exists(lock));
}

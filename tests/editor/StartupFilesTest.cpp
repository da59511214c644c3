// Files named on the editor's command line: opened at start, in order, as the open commands open them.
#include "StartupFiles.h"
#include "EditorFixture.h"

namespace {

class StartupFilesTest : public EditorTest {
protected:
    // Frames until every file has been handed over and served; a few spare so that nothing is left.
    void Start(const std::vector<std::string>& files) {
        StartupFiles startup(files);
        for (int frame = 0; frame < 3 * static_cast<int>(files.size()) + 3; ++frame) {
            startup.FeedNext(*m_form);
            Pass();
        }
        EXPECT_TRUE(startup.Done());
    }
    std::vector<std::string> Models() const {
        std::vector<std::string> models;
        const CXLIST& list = CAPP::GetInstance().GetXList();
        for (unsigned int i = 0; i < list.GetMaxSize(); ++i)
            models.push_back(list.GetFileName(i));
        return models;
    }
    std::string MapOf(const std::vector<std::string>& models) const {
        std::string text;
        for (const std::string& model : models)
            text += "XFileName{" + model + "},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1);\r\n";
        return text;
    }
};

TEST_F(StartupFilesTest, OpensMapsAndModelsInTheOrderGiven) {
    START_WITH_DEVICE();
    const std::string other = m_dir.Write("other.x", TestMeshes::Box(0, 0, 0, 1, 1, 1, {0, 1, 0}));
    const std::string map = m_dir.Write("scene.map", MapOf({m_box, other}));
    // A map under another name is still opened by the model command, as a dropped file would be.
    const std::string renamed = m_dir.Write("scene.txt", MapOf({other}));
    Start({map, m_box, renamed});
    EXPECT_EQ(Models(), (std::vector<std::string>{m_box, other, m_box, other}));
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(StartupFilesTest, MissingFileIsReportedOnceAndTheRestStillOpen) {
    START_WITH_DEVICE();
    const std::string missing = m_dir.File("gone.map");
    Start({missing, m_box});
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_NE(m_messages.Messages()[0].text.find(missing), std::string::npos);
    EXPECT_EQ(Models(), std::vector<std::string>{m_box});
}

TEST_F(StartupFilesTest, NoFilesRaiseNoCommand) {
    START_WITH_DEVICE();
    const QString untouched = m_form->openFileDialog1->fileName();
    StartupFiles startup({});
    EXPECT_FALSE(startup.FeedNext(*m_form));
    EXPECT_FALSE(m_form->GetXFileOpenFlg() || m_form->GetMapOpenFlg());
    EXPECT_EQ(m_form->openFileDialog1->fileName(), untouched);
}

} // namespace

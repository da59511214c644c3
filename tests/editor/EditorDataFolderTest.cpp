// The editor's start-up choice of its data folder: the working directory's with the paths the settings
// window shows unchanged, or, with none anywhere, one message naming both places and no start.
#include "EditorDataFolder.h"
#include "DataFolder.h"
#include "EditorFixture.h"

namespace {

using EditorDataFolderTest = EditorTest;

TEST_F(EditorDataFolderTest, WorkingDirectoryDataKeepsTheTexturePathsAsTheyWere) {
    ASSERT_TRUE(UseEditorDataFolder());
    EXPECT_EQ(Setting::ToonName, "Data/Shader/TEX/Toon.png");
    EXPECT_EQ(Setting::SpeMapName, "Data/Shader/TEX/SpeMap.png");
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(EditorDataFolderTest, NoDataAnywhereIsToldOnceNamingBothPlaces) {
    // The test program is not installed: there is no share/fieldsmith beside it either.
    std::filesystem::current_path(m_dir.Path());
    EXPECT_FALSE(UseEditorDataFolder());
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    const std::string& text = m_messages.Messages()[0].text;
    EXPECT_NE(text.find((m_dir.Path() / "Data").string()), std::string::npos) << text;
    EXPECT_NE(text.find(DataFolder::InstalledFolder(DataFolder::RunningExecutable()).string()),
              std::string::npos)
        << text;
}

} // namespace

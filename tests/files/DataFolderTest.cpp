// The data folder's search order (working directory, then the installation beside the executable), and
// the paths the programs open with installed data. The editor's tests check the working directory's
// paths and the message.
#include "DataFolder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class DataFolderTest : public ::testing::Test {
protected:
    void TearDown() override { DataFolder::Use(m_working, m_working); } // back to the working directory

    // A folder holding a complete Data/ (or, with marker false, a Data/ of other files only).
    static void GiveData(const fs::path& folder, bool marker = true) {
        fs::create_directories(folder / "Data/Shader/FX");
        if (marker)
            std::ofstream(folder / DataFolder::kMarker) << "effect";
    }

    TempDir m_dir;
    fs::path m_working = m_dir.Path() / "work";
    fs::path m_prefix = m_dir.Path() / "opt/fs";
    fs::path m_executable = m_prefix / "bin/fieldsmith";
    fs::path m_installed = m_prefix / "share/fieldsmith";
};

TEST_F(DataFolderTest, WorkingDirectoryFirstThenInstallationThenNothing) {
    struct Case {
        const char* name;
        bool working, workingMarker, installed;
        int expected; // 0 working, 1 installed, -1 none
    };
    const Case cases[] = {
        {"both", true, true, true, 0},
        {"installation only", false, false, true, 1},
        {"a Data/ without the editor's files", true, false, true, 1},
        {"working directory only", true, true, false, 0},
        {"neither", false, false, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_dir.Path() / "work");
        fs::remove_all(m_dir.Path() / "opt");
        fs::create_directories(m_working);
        if (c.working)
            GiveData(m_working, c.workingMarker);
        if (c.installed)
            GiveData(m_installed);
        const auto found = DataFolder::Find(m_working, m_executable);
        if (c.expected < 0)
            EXPECT_FALSE(found.has_value());
        else
            EXPECT_EQ(found, c.expected == 0 ? m_working : m_installed);
        EXPECT_EQ(DataFolder::UseFound(m_working, m_executable), c.expected >= 0);
    }
}

TEST_F(DataFolderTest, InstalledDataIsOpenedUnderTheInstallation) {
    GiveData(m_installed);
    fs::create_directories(m_working);
    ASSERT_TRUE(DataFolder::UseFound(m_working, m_executable));
    EXPECT_EQ(DataFolder::Path("Data/Shader/TEX/Toon.png"),
              (m_installed / "Data/Shader/TEX/Toon.png").string());
    // A model a map names: the working directory's own file first, "Data/..." ones found in the
    // installation, anything else left to fail where it is.
    const fs::path previous = fs::current_path();
    fs::current_path(m_working);
    fs::create_directories("Data");
    std::ofstream("Data/mine.x") << "xof ";
    EXPECT_EQ(DataFolder::Locate("Data/mine.x"), "Data/mine.x");
    EXPECT_EQ(DataFolder::Locate("Data/Sample/crate.x"), (m_installed / "Data/Sample/crate.x").string());
    EXPECT_EQ(DataFolder::Locate("models/crate.x"), "models/crate.x");
    fs::current_path(previous);
}

} // namespace

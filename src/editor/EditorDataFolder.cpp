#include "EditorDataFolder.h"

#include "DataFolder.h"
#include "MessageBox.h"
#include "SettingStatics.h"

#include <cstdio>
#include <filesystem>

bool UseEditorDataFolder() {
    std::error_code ignored;
    const std::filesystem::path working = std::filesystem::current_path(ignored);
    const std::filesystem::path executable = DataFolder::RunningExecutable();
    if (!DataFolder::UseFound(working, executable)) {
        const std::string text = DataFolder::MissingMessage(working, executable);
        // Also on the terminal: started from a menu the box is all the user sees, from a shell the
        // text stays after the box has gone.
        std::fprintf(stderr, "fieldsmith: %s\n", text.c_str());
        MessageBoxA(nullptr, text.c_str(), "3DFieldsmith", MB_OK | MB_ICONERROR);
        return false;
    }
    SettingStatics::SetStartUpTexturePaths();
    return true;
}

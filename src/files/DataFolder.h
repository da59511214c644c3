// Where the programs find their run-time data (effects, default textures, handle meshes, the read-me
// and the sample maps): the working directory's Data/ first, so that a folder holding Data/ behaves as
// it always did, then the Data/ of the installation the program runs from, found relative to the
// executable as <prefix>/share/fieldsmith/Data beside <prefix>/bin, so an installation can be moved.
// The folder is chosen once per process; until then every path stays relative to the working directory.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

class DataFolder {
public:
    // A file every complete data folder has; a Data/ without it (a user's own models) does not count.
    static constexpr const char* kMarker = "Data/Shader/FX/Base.fx";

    // The folder that holds Data/: `working` itself, else the installation's folder of `executable`.
    static std::optional<std::filesystem::path> Find(const std::filesystem::path& working,
                                                     const std::filesystem::path& executable);
    // <prefix>/share/fieldsmith for <prefix>/bin/program.
    static std::filesystem::path InstalledFolder(const std::filesystem::path& executable);
    // This process's executable file, through /proc; empty where it cannot be read.
    static std::filesystem::path RunningExecutable();
    // Finds the folder for this process and uses it; false, with nothing changed, where there is none.
    static bool UseFound(const std::filesystem::path& working, const std::filesystem::path& executable);
    // Uses the folder that holds Data/; the working directory's own is kept as relative paths.
    static void Use(const std::filesystem::path& folder, const std::filesystem::path& working);

    // A "Data/..." path as the program opens it: exactly as written while the working directory's data
    // is used, else under the installation's folder.
    static std::string Path(const std::string& relative);
    // A model path read from a map or given by the user: as written where that opens, else, for a
    // "Data/..." path, the same file in the data folder in use (the sample map names its models so).
    static std::string Locate(const std::string& path);
    // The message for a data folder found in neither place; it names both.
    static std::string MissingMessage(const std::filesystem::path& working,
                                      const std::filesystem::path& executable);
};

#include "DataFolder.h"

#include <string_view>

namespace {

// Empty while the working directory's data is used; else the folder that holds Data/, with a slash.
std::string& Prefix() {
    static std::string prefix;
    return prefix;
}

bool HasData(const std::filesystem::path& folder) {
    std::error_code ignored;
    return !folder.empty() && std::filesystem::is_regular_file(folder / DataFolder::kMarker, ignored);
}

bool NamesData(const std::string& path) {
    return std::string_view(path).starts_with("Data/");
}

} // namespace

std::filesystem::path DataFolder::InstalledFolder(const std::filesystem::path& executable) {
    return executable.parent_path().parent_path() / "share" / "fieldsmith";
}

std::optional<std::filesystem::path> DataFolder::Find(const std::filesystem::path& working,
                                                      const std::filesystem::path& executable) {
    if (HasData(working))
        return working;
    if (!executable.empty() && HasData(InstalledFolder(executable)))
        return InstalledFolder(executable);
    return std::nullopt;
}

std::filesystem::path DataFolder::RunningExecutable() {
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored);
}

bool DataFolder::UseFound(const std::filesystem::path& working, const std::filesystem::path& executable) {
    const auto folder = Find(working, executable);
    if (folder)
        Use(*folder, working);
    return folder.has_value();
}

void DataFolder::Use(const std::filesystem::path& folder, const std::filesystem::path& working) {
    Prefix() = folder == working ? std::string() : (folder / "").string();
}

std::string DataFolder::Path(const std::string& relative) {
    return Prefix() + relative;
}

std::string DataFolder::Locate(const std::string& path) {
    std::error_code ignored;
    if (Prefix().empty() || !NamesData(path) || std::filesystem::exists(path, ignored))
        return path;
    return Prefix() + path;
}

std::string DataFolder::MissingMessage(const std::filesystem::path& working,
                                       const std::filesystem::path& executable) {
    std::string text = "[Error] DataError\n[Error Case]Dataフォルダが見つかりませんでした。\n";
    text += "  " + (working / "Data").string() + "\n";
    if (!executable.empty())
        text += "  " + (InstalledFolder(executable) / "Data").string() + "\n";
    text += "[Approach]どちらかに " + std::string(kMarker) + " があることを確認してください。";
    return text;
}

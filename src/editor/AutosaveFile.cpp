#include "AutosaveFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "autosave-";
constexpr std::string_view kMapExtension = ".map";
constexpr unsigned kMaxSeconds = 7 * 24 * 3600;

// Open and locked, or -1 when another process holds the lock or the file cannot be made.
int TakeLock(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool IsAutosaveName(const std::string& name) {
    return name.size() > kPrefix.size() + kMapExtension.size() && name.starts_with(kPrefix) &&
           name.ends_with(kMapExtension);
}

std::string DateOf(const fs::path& path) {
    struct stat status {};
    const std::time_t seconds = ::stat(path.c_str(), &status) == 0 ? status.st_mtime : std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

} // namespace

fs::path AutosaveFile::DefaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/')
        return fs::path(state) / "fieldsmith";
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : "/tmp") / ".local" / "state" / "fieldsmith";
}

unsigned AutosaveFile::IntervalSeconds() {
    const char* text = std::getenv("FIELDSMITH_AUTOSAVE_SECONDS");
    if (text == nullptr || text[0] == '\0')
        return kDefaultSeconds;
    unsigned long long value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return kDefaultSeconds;
        value = value * 10 + static_cast<unsigned>(*c - '0');
        if (value > kMaxSeconds)
            return kMaxSeconds;
    }
    return static_cast<unsigned>(value);
}

AutosaveFile::AutosaveFile(fs::path folder) : m_folder(std::move(folder)) {
    const auto started = std::chrono::system_clock::now().time_since_epoch();
    const std::string name =
        std::string(kPrefix) + std::to_string(::getpid()) + "-" +
        std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(started).count());
    m_map = m_folder / (name + std::string(kMapExtension));
    m_lock = m_folder / (name + ".lock");
}

AutosaveFile::~AutosaveFile() {
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

bool AutosaveFile::Claim() {
    if (m_lockFd >= 0)
        return true;
    std::error_code error;
    fs::create_directories(m_folder, error);
    m_lockFd = TakeLock(m_lock);
    return m_lockFd >= 0;
}

bool AutosaveFile::Write(const std::vector<Fieldsmith::_TAG_MAPDATA>& records) const {
    return m_lockFd >= 0 && Fieldsmith::SaveMapFile(m_map.string(), records);
}

void AutosaveFile::RemoveMap() const {
    std::error_code error;
    fs::remove(m_map, error);
}

void AutosaveFile::Remove() {
    RemoveMap();
    if (m_lockFd < 0)
        return;
    std::error_code error;
    fs::remove(m_lock, error);
    ::close(m_lockFd);
    m_lockFd = -1;
}

std::vector<AutosaveFile::Orphan> AutosaveFile::FindOrphans() const {
    std::vector<Orphan> orphans;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!IsAutosaveName(name) || entry.path() == m_map || !entry.is_regular_file(error))
            continue;
        fs::path lock = entry.path();
        lock.replace_extension(".lock");
        const int fd = TakeLock(lock);
        if (fd >= 0)
            orphans.push_back(Orphan{entry.path(), lock, fd});
    }
    return orphans;
}

fs::path AutosaveFile::KeepWithDate(const Orphan& orphan) {
    const fs::path folder = orphan.map.parent_path();
    const std::string base = "recovered-" + DateOf(orphan.map);
    std::error_code error;
    for (int n = 0; n < 1000; ++n) {
        fs::path target =
            folder / (base + (n == 0 ? "" : "-" + std::to_string(n)) + std::string(kMapExtension));
        if (fs::exists(target, error))
            continue;
        fs::rename(orphan.map, target, error);
        return error ? orphan.map : target;
    }
    return orphan.map;
}

void AutosaveFile::Drop(Orphan& orphan) {
    if (orphan.lockFd < 0)
        return;
    std::error_code error;
    fs::remove(orphan.lock, error);
    ::close(orphan.lockFd);
    orphan.lockFd = -1;
}

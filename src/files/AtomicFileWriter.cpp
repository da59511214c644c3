#include "AtomicFileWriter.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A symbolic link stays a link: the file it points to is the one replaced.
std::string ResolveTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        return path;
    return resolved;
}

std::string DirectoryPrefix(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new file with a name no other writer uses; the mode 0666 lets the umask decide, as it
// would for a plain fopen.
int CreateTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    const std::string stem = DirectoryPrefix(target) + "." + BaseName(target) + ".tmp";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = stem + std::to_string(getpid()) + "_" + std::to_string(counter++);
        const int fd = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view contents) {
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// An existing file keeps its permissions.
void KeepPermissionsOf(const std::string& target, int fd) {
    struct stat info {};
    if (stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        fchmod(fd, info.st_mode & 07777);
}

} // namespace

bool AtomicFileWriter::Write(const std::string& path, std::string_view contents) {
    if (path.empty())
        return false;
    const std::string target = ResolveTarget(path);
    struct stat info {};
    if (stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return false;
    std::string temporaryPath;
    const int fd = CreateTemporaryBeside(target, temporaryPath);
    if (fd < 0)
        return false;
    KeepPermissionsOf(target, fd);
    bool ok = WriteAll(fd, contents) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temporaryPath.c_str(), target.c_str()) == 0;
    if (!ok)
        unlink(temporaryPath.c_str());
    return ok;
}

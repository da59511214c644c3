// The fuzz input as a file for readers that take a path: an anonymous in-memory file, named through
// /proc so that nothing touches the disk and parallel runs never share a name.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

class FuzzFile {
public:
    FuzzFile(const std::uint8_t* data, std::size_t size) : m_fd(memfd_create("fuzz", MFD_CLOEXEC)) {
        for (std::size_t done = 0; m_fd >= 0 && done < size;) {
            const ssize_t wrote = write(m_fd, data + done, size - done);
            if (wrote <= 0)
                break;
            done += static_cast<std::size_t>(wrote);
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    ~FuzzFile() {
        if (m_fd >= 0)
            close(m_fd);
    }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    bool Ok() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    const char* CPath() const { return m_path.c_str(); }

private:
    int m_fd;
    std::string m_path;
};

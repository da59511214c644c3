#include "XFileModel.h"

#include "XFileError.h"
#include "XFileModelBuilder.h"
#include "XFileParser.h"

#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file's bytes, mapped rather than copied: copying a large model into fresh memory costs more
// than parsing it.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~MappedFile() {
        if (m_data && m_data != MAP_FAILED)
            munmap(m_data, m_size);
        if (m_fd >= 0)
            close(m_fd);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the whole file; an empty file maps to no bytes.
    bool Map(std::string& error) {
        struct stat info {};
        if (m_fd < 0 || fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            error = "cannot open the file";
            return false;
        }
        m_size = static_cast<std::size_t>(info.st_size);
        if (m_size == 0)
            return true;
        m_data = mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, m_fd, 0);
        if (m_data == MAP_FAILED) {
            error = "cannot read the file";
            return false;
        }
        return true;
    }

    std::span<const std::uint8_t> Bytes() const {
        if (!m_data || m_data == MAP_FAILED)
            return {};
        return {static_cast<const std::uint8_t*>(m_data), m_size};
    }

private:
    int m_fd;
    void* m_data = nullptr;
    std::size_t m_size = 0;
};

} // namespace

bool XFileModel::LoadFromMemory(std::span<const std::uint8_t> bytes, XFileModel& out, std::string& error) {
    out = XFileModel{};
    try {
        const std::vector<XFileDataObject> objects = XFileParser(XFileModelBuilder::KeptTypes()).Parse(bytes);
        out = XFileModelBuilder::Build(objects);
        return true;
    } catch (const XFileError& failure) {
        error = failure.what();
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read the file";
    }
    out = XFileModel{};
    return false;
}

bool XFileModel::Load(const std::string& path, XFileModel& out, std::string& error) {
    out = XFileModel{};
    MappedFile file(path);
    if (file.Map(error) && LoadFromMemory(file.Bytes(), out, error))
        return true;
    error = path + ": " + error;
    return false;
}

#include "XFileModel.h"

#include "XFileError.h"
#include "XFileModelBuilder.h"
#include "XFileParser.h"

#include <fstream>
#include <new>

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
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size < 0) {
        error = path + ": cannot open the file";
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) {
        error = path + ": cannot read the file";
        return false;
    }
    if (!LoadFromMemory(bytes, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

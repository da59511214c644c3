// The editor's own files and the library's record files, every reader over the same bytes: map,
// matrix, matrix-list and view files in text and binary form, and the fixed-size records. What a
// reader accepts must survive being written and read again: a saved map or matrix list re-reads to
// the same text, a binary matrix list to the same bits.
#include "D3DZBinaryRecords.h"
#include "D3DZMapFileLoad.h"
#include "D3DZVectorRecordFiles.h"
#include "Fieldsmith.h"
#include "FuzzCheck.h"
#include "FuzzFile.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

FuzzFile FileOf(const std::string& bytes) {
    return FuzzFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void CheckMapRoundTrip(std::string_view text) {
    std::vector<Fieldsmith::_TAG_MAPDATA> read;
    Fieldsmith::ParseMapText(text, read);
    const std::string saved = Fieldsmith::MapFileText(read);
    std::vector<Fieldsmith::_TAG_MAPDATA> reread;
    Fieldsmith::ParseMapText(saved, reread);
    FuzzCheck(reread.size() == read.size(), "a saved map re-reads to as many records");
    FuzzCheck(Fieldsmith::MapFileText(reread) == saved, "a saved map re-reads to the same text");
}

void CheckMatrixListRoundTrip(const std::vector<D3DXMATRIX>& list) {
    const std::string text = Fieldsmith::MatrixListText(list);
    const FuzzFile textFile = FileOf(text);
    std::vector<D3DXMATRIX> fromText;
    FuzzCheck(Fieldsmith::LoadMatrixListFile(textFile.Path(), fromText), "a saved matrix list re-reads");
    FuzzCheck(Fieldsmith::MatrixListText(fromText) == text, "a saved matrix list re-reads to the same text");

    const std::string binary = Fieldsmith::MatrixBinary(list);
    const FuzzFile binaryFile = FileOf(binary);
    if (list.empty() || !Fieldsmith::isBinaryFile(binaryFile.Path()))
        return; // floats whose bytes all look like text are read as text, as the editor always has
    std::vector<D3DXMATRIX> fromBinary;
    FuzzCheck(Fieldsmith::LoadMatrixListFile(binaryFile.Path(), fromBinary), "a binary matrix list re-reads");
    FuzzCheck(fromBinary.size() == list.size() &&
                  std::memcmp(fromBinary.data(), list.data(), list.size() * sizeof(D3DXMATRIX)) == 0,
              "a binary matrix list re-reads to the same bits");
}

void ReadRecords(const char* path) {
    D3DXVECTOR3 position, rotation, scale;
    D3DZMatrixFileLoad(path, &position, &rotation, &scale);
    D3DZORVFILE transform{};
    D3DZBinaryMatrixFileLoad(path, &transform);
    D3DZorvFileLoad(path, &transform);
    std::vector<D3DZORVFILE> transforms;
    D3DZMatrixListLoad(path, transforms);
    D3DZBinaryMatrixListLoad(path, transforms);
    D3DZCAMERADATA camera{};
    D3DZViewFileLoad(path, &camera);
    D3DZBinaryViewFileLoad(path, &camera);
    D3DZORVCAMERAFILE cameraRecord{};
    D3DCameraLoadFile(path, &cameraRecord);
    D3DZORVCAMANIME cameraMove{};
    D3DCameraAnimLoad(path, &cameraMove);
    D3DZXFILEANIMATION animation{};
    D3DZorvLoadXAnimation(path, &animation);
    std::vector<D3DZMAPDATA> placed;
    D3DZMapFileLoad(path, placed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzFile file(data, size);
    if (!file.Ok())
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<Fieldsmith::_TAG_MAPDATA> map;
    if (Fieldsmith::LoadMapFile(file.Path(), map)) {
        std::vector<Fieldsmith::_TAG_MAPDATA> parsed;
        Fieldsmith::ParseMapText(text, parsed);
        FuzzCheck(parsed.size() == map.size(), "a map file and its text read alike");
    }
    CheckMapRoundTrip(text);

    D3DXMATRIX matrix;
    D3DXMatrixIdentity(&matrix);
    Fieldsmith::LoadMatrixFile(file.Path(), &matrix);
    std::vector<D3DXMATRIX> list;
    if (Fieldsmith::LoadMatrixListFile(file.Path(), list))
        CheckMatrixListRoundTrip(list);

    ReadRecords(file.CPath());
    return 0;
}

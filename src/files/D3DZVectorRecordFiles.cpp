#include "D3DZVectorRecordFiles.h"

#include "D3DZCMATRIX.h"
#include "RecordText.h"

#include <algorithm>
#include <cstring>

namespace {

// Fills the vectors from segments 1, 3, 5, ... of the token; a null vector is skipped.
void ParseVectorRecord(std::string_view token, std::initializer_list<D3DXVECTOR3*> vectors) {
    const auto segments = RecordText::SplitSegments(token);
    std::size_t segment = 1;
    for (D3DXVECTOR3* vector : vectors) {
        if (vector != nullptr && segment < segments.size())
            RecordText::ParseVector(segments[segment], *vector);
        segment += 2;
    }
}

bool ReadText(const char* filename, std::string& contents) {
    return filename != nullptr && RecordText::ReadFile(filename, "r+b", contents);
}

bool ReadBinary(const char* filename, std::string& contents) {
    return filename != nullptr && RecordText::ReadFile(filename, "rb", contents);
}

std::string_view FirstToken(const std::string& contents) {
    std::size_t pos = 0;
    return RecordText::NextToken(contents, pos);
}

void CopyLeadingBytes(void* record, std::size_t recordSize, const std::string& contents) {
    std::memcpy(record, contents.data(), std::min(recordSize, contents.size()));
}

} // namespace

bool D3DZMatrixFileLoad(const char* _filename, D3DXVECTOR3* _vPos, D3DXVECTOR3* _vRot, D3DXVECTOR3* _vScale) {
    std::string contents;
    if (!ReadText(_filename, contents))
        return false;
    ParseVectorRecord(FirstToken(contents), {_vPos, _vRot, _vScale});
    return true;
}

bool D3DZBinaryMatrixFileLoad(const char* _filename, D3DZORVFILE* _Contents) {
    std::string contents;
    if (_Contents == nullptr || !ReadBinary(_filename, contents))
        return false;
    CopyLeadingBytes(_Contents, sizeof *_Contents, contents);
    return true;
}

bool D3DZMatrixListLoad(const char* _filename, std::vector<D3DZORVFILE>& _MapList) {
    std::string contents;
    if (!ReadText(_filename, contents))
        return false;
    std::size_t pos = 0;
    for (std::string_view token = RecordText::NextToken(contents, pos); !token.empty();
         token = RecordText::NextToken(contents, pos)) {
        D3DZORVFILE& record = _MapList.emplace_back();
        record.vScale = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
        ParseVectorRecord(token, {&record.vPos, &record.vRot, &record.vScale});
    }
    return true;
}

bool D3DZBinaryMatrixListLoad(const char* _filename, std::vector<D3DZORVFILE>& _MapList) {
    std::string contents;
    if (!ReadBinary(_filename, contents))
        return false;
    constexpr std::size_t size = sizeof(D3DZORVFILE);
    for (std::size_t offset = 0; offset + size <= contents.size(); offset += size)
        std::memcpy(&_MapList.emplace_back(), contents.data() + offset, size);
    return true;
}

bool D3DZViewFileLoad(const char* _filename, D3DZCAMERADATA* _data) {
    std::string contents;
    if (_data == nullptr || !ReadText(_filename, contents))
        return false;
    ParseVectorRecord(FirstToken(contents), {&_data->vPos, &_data->vRot});
    return true;
}

bool D3DZBinaryViewFileLoad(const char* _filename, D3DZCAMERADATA* _data) {
    std::string contents;
    if (_data == nullptr || !ReadBinary(_filename, contents))
        return false;
    CopyLeadingBytes(_data, sizeof *_data, contents);
    return true;
}

void D3DZMakeCameraMatrix(D3DXMATRIX* _Out, const D3DZCAMERADATA* _Cam) {
    D3DXMATRIX place, turnX, turnY, turnZ;
    D3DXMatrixTranslation(&place, _Cam->vPos.x, _Cam->vPos.y, _Cam->vPos.z);
    D3DXMatrixRotationX(&turnX, _Cam->vRot.x * D3DZ_DEGREE_TO_RADIAN);
    D3DXMatrixRotationY(&turnY, _Cam->vRot.y * D3DZ_DEGREE_TO_RADIAN);
    D3DXMatrixRotationZ(&turnZ, _Cam->vRot.z * D3DZ_DEGREE_TO_RADIAN);
    const D3DXMATRIX camera = place * turnX * turnY * turnZ;
    D3DXMatrixInverse(_Out, nullptr, &camera);
}

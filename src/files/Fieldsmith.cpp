#include "Fieldsmith.h"

#include "AtomicFileWriter.h"
#include "RecordText.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>

static_assert(std::endian::native == std::endian::little, "binary records are little-endian float images");

namespace {

constexpr std::size_t kMatrixBytes = sizeof(D3DXMATRIX);
constexpr const char* kLineEnd = "\r\n";

D3DXMATRIX Identity() {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return identity;
}

void ParseMatrixToken(std::string_view token, D3DXMATRIX& matrix) {
    RecordText::ParseMatrixFields(RecordText::AfterFirstParenthesis(token), matrix);
}

bool HasBinaryByte(const unsigned char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i] <= 8)
            return true;
    return false;
}

bool HasBinaryByte(std::string_view contents) {
    return HasBinaryByte(reinterpret_cast<const unsigned char*>(contents.data()), contents.size());
}

std::string_view AfterFirst(std::string_view s, char c) {
    const std::size_t p = s.find(c);
    return p == std::string_view::npos ? s : s.substr(p + 1);
}

void ParseMapToken(std::string_view token, Fieldsmith::_TAG_MAPDATA& record) {
    std::string_view s = AfterFirst(token, '{');
    const std::size_t close = s.find('}');
    record.name.assign(s.substr(0, close));
    s = close == std::string_view::npos ? std::string_view() : s.substr(close + 1);
    ParseMatrixToken(s, record.world);
}

} // namespace

Fieldsmith::_TAG_MAPDATA::_TAG_MAPDATA() : world(Identity()) {}

std::string Fieldsmith::MapFileText(const std::vector<_TAG_MAPDATA>& _MapList) {
    std::string text;
    text.reserve(_MapList.size() * 128);
    for (const auto& record : _MapList) {
        text += "XFileName{";
        text += record.name;
        text += "},";
        RecordText::AppendMatrixRecord(text, record.world);
        text += kLineEnd;
    }
    return text;
}

bool Fieldsmith::SaveMapFile(const std::string& _filename, const std::vector<_TAG_MAPDATA>& _MapList) {
    return AtomicFileWriter::Write(_filename, MapFileText(_MapList));
}

void Fieldsmith::ParseMapText(std::string_view text, std::vector<_TAG_MAPDATA>& _MapList) {
    _MapList.reserve(_MapList.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
                     1);
    std::size_t pos = 0;
    for (std::string_view token = RecordText::NextMapToken(text, pos); !token.empty();
         token = RecordText::NextMapToken(text, pos)) {
        ParseMapToken(token, _MapList.emplace_back());
    }
}

bool Fieldsmith::LoadMapFile(const std::string& _filename, std::vector<_TAG_MAPDATA>& _MapList) {
    std::string contents;
    if (!RecordText::ReadFile(_filename, "rb", contents))
        return false;
    ParseMapText(contents, _MapList);
    return true;
}

std::string Fieldsmith::MatrixListText(const std::vector<D3DXMATRIX>& _MatList) {
    std::string text;
    text.reserve(_MatList.size() * 120);
    for (const auto& matrix : _MatList) {
        RecordText::AppendMatrixRecord(text, matrix);
        text += kLineEnd;
    }
    return text;
}

std::string Fieldsmith::MatrixBinary(const std::vector<D3DXMATRIX>& _MatList) {
    std::string bytes(_MatList.size() * kMatrixBytes, '\0');
    if (!_MatList.empty())
        std::memcpy(bytes.data(), _MatList.data(), bytes.size());
    return bytes;
}

bool Fieldsmith::SaveMatrixFile(const std::string& _filename, const D3DXMATRIX* _world, bool isBinary) {
    if (_world == nullptr)
        return false;
    if (isBinary)
        return AtomicFileWriter::Write(_filename, MatrixBinary({*_world}));
    std::string text;
    RecordText::AppendMatrixRecord(text, *_world);
    return AtomicFileWriter::Write(_filename, text);
}

bool Fieldsmith::SaveMatrixListFile(const std::string& _filename, const std::vector<D3DXMATRIX>& _MatList,
                                    bool isBinary) {
    return AtomicFileWriter::Write(_filename, isBinary ? MatrixBinary(_MatList) : MatrixListText(_MatList));
}

bool Fieldsmith::isBinaryFile(const std::string& _filename) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(_filename.c_str(), "rb"), std::fclose);
    if (!file)
        return false;
    unsigned char buffer[1 << 14];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        if (HasBinaryByte(buffer, got))
            return true;
    return false;
}

bool Fieldsmith::LoadMatrixFile(const std::string& _filename, D3DXMATRIX* _world) {
    if (_world == nullptr)
        return false;
    std::string contents;
    if (!RecordText::ReadFile(_filename, "rb", contents))
        return false;
    if (HasBinaryByte(contents)) {
        std::memcpy(_world, contents.data(), std::min(contents.size(), kMatrixBytes));
        return true;
    }
    std::size_t pos = 0;
    ParseMatrixToken(RecordText::NextToken(contents, pos), *_world);
    return true;
}

bool Fieldsmith::LoadMatrixListFile(const std::string& _filename, std::vector<D3DXMATRIX>& _MatList) {
    std::string contents;
    if (!RecordText::ReadFile(_filename, "rb", contents))
        return false;
    if (HasBinaryByte(contents)) {
        _MatList.reserve(_MatList.size() + contents.size() / kMatrixBytes);
        for (std::size_t offset = 0; offset + kMatrixBytes <= contents.size(); offset += kMatrixBytes)
            std::memcpy(&_MatList.emplace_back(), contents.data() + offset, kMatrixBytes);
        return true;
    }
    _MatList.reserve(_MatList.size() +
                     static_cast<std::size_t>(std::count(contents.begin(), contents.end(), '\n')) + 1);
    std::size_t pos = 0;
    for (std::string_view token = RecordText::NextToken(contents, pos); !token.empty();
         token = RecordText::NextToken(contents, pos)) {
        ParseMatrixToken(token, _MatList.emplace_back(Identity()));
    }
    return true;
}

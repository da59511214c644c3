#include "D3DZMapFileLoad.h"

#include "RecordText.h"

bool D3DZMapFileLoad(const char* _filename, std::vector<D3DZMAPDATA>& _MapList) {
    std::string contents;
    if (_filename == nullptr || !RecordText::ReadFile(_filename, "r+b", contents))
        return false;
    std::size_t pos = 0;
    for (std::string_view token = RecordText::NextToken(contents, pos); !token.empty();
         token = RecordText::NextToken(contents, pos)) {
        const auto segments = RecordText::SplitSegments(token);
        D3DZMAPDATA& record = _MapList.emplace_back();
        D3DXVECTOR3* vectors[] = {&record.vPos, &record.vRot, &record.vScale};
        if (segments.size() > 1)
            record.name.assign(segments[1]);
        for (std::size_t i = 0; i < 3 && 3 + 2 * i < segments.size(); ++i)
            RecordText::ParseVector(segments[3 + 2 * i], *vectors[i]);
    }
    return true;
}

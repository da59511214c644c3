#include "D3DZStringGetSplit.h"

#include <string_view>

std::vector<std::string> D3DZStringGetSplit(std::string _str, std::string _split) {
    std::vector<std::string> fields;
    const std::string_view s = _str;
    std::size_t offset = 0;
    if (!_split.empty()) {
        for (std::size_t p = s.find(_split); p != std::string_view::npos; p = s.find(_split, offset)) {
            if (p > offset)
                fields.emplace_back(s.substr(offset, p - offset));
            offset = p + _split.size();
        }
    }
    if (offset < s.size())
        fields.emplace_back(s.substr(offset));
    return fields;
}

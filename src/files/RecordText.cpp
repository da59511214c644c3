#include "RecordText.h"

#include "NumberText.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>

bool RecordText::IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view RecordText::NextToken(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && !IsSpace(text[pos]))
        ++pos;
    return text.substr(start, pos - start);
}

std::string_view RecordText::NextMapToken(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
    const std::size_t start = pos;
    bool braceSeen = false;
    while (pos < text.size() && !IsSpace(text[pos])) {
        if (text[pos] == '{' && !braceSeen) {
            braceSeen = true;
            const std::size_t close = text.find_first_of("}\r\n", pos + 1);
            if (close != std::string_view::npos && text[close] == '}') {
                pos = close + 1;
                continue;
            }
        }
        ++pos;
    }
    return text.substr(start, pos - start);
}

void RecordText::ParseMatrixFields(std::string_view s, D3DXMATRIX& matrix) {
    const std::size_t lastParenthesis = s.find_last_of("()");
    if (lastParenthesis == std::string_view::npos)
        return;
    float* elements = &matrix._11;
    int slot = 0;
    std::size_t offset = 0;
    // Dropping text from the front keeps a parenthesis in s exactly while offset has not passed the
    // last one. A "(" with no delimiter after it ends the list: an unterminated field is not read.
    while (offset <= lastParenthesis) {
        const std::size_t delimiter = s.find_first_of(",)", offset);
        if (delimiter == std::string_view::npos)
            break;
        if (delimiter > offset) {
            const auto value = NumberText::ParseFloat(s.substr(offset, delimiter - offset));
            if (slot < 16 && value)
                elements[slot] = *value;
            ++slot;
        }
        offset = delimiter + 1;
    }
}

std::string_view RecordText::AfterFirstParenthesis(std::string_view s) {
    const std::size_t p = s.find_first_of("()");
    return p == std::string_view::npos ? s : s.substr(p + 1);
}

std::vector<std::string_view> RecordText::SplitSegments(std::string_view s) {
    std::vector<std::string_view> segments;
    std::size_t offset = 0;
    while (offset < s.size()) {
        std::size_t delimiter = s.find_first_of("()", offset);
        if (delimiter == std::string_view::npos)
            delimiter = s.size();
        if (delimiter > offset)
            segments.push_back(s.substr(offset, delimiter - offset));
        offset = delimiter + 1;
    }
    return segments;
}

void RecordText::ParseVector(std::string_view s, D3DXVECTOR3& vector) {
    float* components[3] = {&vector.x, &vector.y, &vector.z};
    int field = 0;
    std::size_t offset = 0;
    while (offset < s.size() && field < 3) {
        std::size_t comma = s.find(',', offset);
        if (comma == std::string_view::npos)
            comma = s.size();
        if (comma > offset) {
            if (const auto value = NumberText::ParseFloat(s.substr(offset, comma - offset)))
                *components[field] = *value;
            ++field;
        }
        offset = comma + 1;
    }
}

void RecordText::AppendMatrixRecord(std::string& out, const D3DXMATRIX& matrix) {
    out += "Matrix(";
    const float* elements = &matrix._11;
    for (int i = 0; i < 16; ++i) {
        if (i > 0)
            out += ',';
        NumberText::AppendG(out, elements[i]);
    }
    out += ");";
}

bool RecordText::ReadFile(const std::string& path, const char* mode, std::string& contents) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), mode), std::fclose);
    if (!file)
        return false;
    contents.clear();
    // Regular files are read in one piece into a buffer of their size; pipes and the like grow it.
    struct stat info {};
    if (fstat(fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode))
        contents.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = std::fread(contents.data(), 1, contents.size(), file.get());
    contents.resize(filled);
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        contents.append(buffer, got);
    return !std::ferror(file.get());
}

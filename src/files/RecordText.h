// The pieces shared by the readers and writers of the text records: white-space tokens, the matrix
// field list "(a,b,...)", the parenthesised segments of the vector records, and whole-file input.
#pragma once

#include "d3dx9math.h"

#include <string>
#include <string_view>
#include <vector>

class RecordText {
public:
    // Space, tab, line feed, vertical tab, form feed and carriage return, as the C locale has them.
    static bool IsSpace(char c);

    // The next white-space separated token at or after pos, or an empty view at the end; pos moves
    // past the token.
    static std::string_view NextToken(std::string_view text, std::size_t& pos);

    // As NextToken, but white space between the first "{" of the token and the next "}" on the same
    // line belongs to the token, so that a model path with spaces stays one record.
    static std::string_view NextMapToken(std::string_view text, std::size_t& pos);

    // Fills the 16 elements, _11 to _44, from the fields of s: while a "(" or ")" remains, the text
    // before the next "," or ")" is one field. An empty field takes no slot; a field that is not a
    // number takes its slot and leaves the element as it was; fields beyond the 16th are ignored.
    static void ParseMatrixFields(std::string_view s, D3DXMATRIX& matrix);

    // The text after the first "(" or ")" of s, or all of s when it has neither.
    static std::string_view AfterFirstParenthesis(std::string_view s);

    // The non-empty pieces of s between "(" and ")" delimiters, in order.
    static std::vector<std::string_view> SplitSegments(std::string_view s);

    // x, y and z from the first three non-empty ","-separated fields of s; a missing or non-numeric
    // field leaves its component as it was.
    static void ParseVector(std::string_view s, D3DXVECTOR3& vector);

    // "Matrix(" the 16 elements in "%g" form separated by "," ");".
    static void AppendMatrixRecord(std::string& out, const D3DXMATRIX& matrix);

    // The whole file, opened with the given fopen mode. False when it cannot be opened or read.
    static bool ReadFile(const std::string& path, const char* mode, std::string& contents);
};

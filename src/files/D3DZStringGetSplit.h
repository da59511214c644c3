// Splits text at every occurrence of a separator string, dropping empty fields: ",1,,2," split at ","
// gives "1" and "2".
#pragma once

#include <string>
#include <vector>

// An empty separator splits nothing: the text comes back whole (or nothing, if it is empty).
std::vector<std::string> D3DZStringGetSplit(std::string _str, std::string _split);

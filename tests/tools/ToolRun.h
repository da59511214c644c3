// Runs the file tool in this process and keeps what it printed.
#pragma once

#include "FsmithTool.h"

#include <sstream>
#include <string>
#include <vector>

struct Result {
    int status;
    std::string out;
    std::string err;
};

inline Result RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    FsmithTool tool(out, err);
    const int status = tool.Run(args);
    return {status, out.str(), err.str()};
}

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

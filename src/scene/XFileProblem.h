// What the user is told about a file the model command could not load. A file that begins with the X
// signature is a model whatever else it holds, so it is never read as a map; its load error is the X
// reader's own message, which names the file, the line and what was wrong there.
#pragma once

#include <string>

class XFileProblem {
public:
    static bool HasXSignature(const std::string& path);
    // The LoadError box with the reader's message beneath it.
    static void Report(const std::string& path);
    static std::string ReaderMessage(const std::string& path);
};

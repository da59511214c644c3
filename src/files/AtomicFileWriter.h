// Replaces a file only once its new contents are completely on disk: the data goes to a temporary file
// beside the target, which is renamed over the target at the end. A failed save leaves the old file as
// it was and no temporary file behind.
#pragma once

#include <string>
#include <string_view>

class AtomicFileWriter {
public:
    // Returns false, with the target untouched, when anything fails.
    static bool Write(const std::string& path, std::string_view contents);
};

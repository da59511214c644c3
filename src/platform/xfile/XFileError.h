// The one error the X-file reader raises: a malformed or unsupported file. The message already names the
// place (line or byte offset) and what was expected there; the loader turns it into its error string.
#pragma once

#include <stdexcept>
#include <string>

class XFileError : public std::runtime_error {
public:
    explicit XFileError(const std::string& message) : std::runtime_error(message) {}
};

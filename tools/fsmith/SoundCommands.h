// The file tool's sound command: play a wave file on the default output, to check it by ear.
#pragma once

#include <iosfwd>
#include <string>

class SoundCommands {
public:
    // Plays the file to its end. 0 when it played; 1 when there is no sound device or the file is
    // not a playable PCM wave file.
    static int Play(const std::string& path, std::ostream& out, std::ostream& err);
};

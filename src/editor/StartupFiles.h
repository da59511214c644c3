// The files named on the editor's command line (`fieldsmith scene.map model.x`), so that the desktop
// can open a map with the editor. Each is handed to the main window as its open command would hand
// it: a ".map" file through the map-open dialog and flag, anything else through the model-open dialog
// and flag, whose command opens a map instead when the file holds no model. One file per frame, after
// the frame has served the one before, so the objects come in the order given. A file that does not
// exist is reported once and skipped. With no files the editor starts as it always did.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class MyForm;

class StartupFiles {
public:
    explicit StartupFiles(std::vector<std::string> paths) : m_paths(std::move(paths)) {}

    // Hands the next file to the window once no open command is pending; false when none is left.
    bool FeedNext(MyForm& form);
    bool Done() const { return m_next >= m_paths.size(); }

private:
    std::vector<std::string> m_paths;
    std::size_t m_next = 0;
};

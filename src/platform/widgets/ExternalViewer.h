// Opens a file in the program the desktop uses for its type, as the editor's help menu does with
// its read-me file.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// False after telling the user in a message box, when the file does not exist or no viewer starts.
bool OpenInExternalViewer(const QString& path);

// True when a viewer was started for the file, which exists; tells the user nothing, so that the
// caller may show the file some other way.
bool TryExternalViewer(const QString& path);

// Stands in for the desktop in tests: called with the file's URL instead of starting a viewer, and
// answers whether one started. Returns the previous starter; an empty one asks the desktop again.
using ExternalViewerStarter = std::function<bool(const QUrl&)>;
ExternalViewerStarter SetExternalViewerStarter(ExternalViewerStarter starter);

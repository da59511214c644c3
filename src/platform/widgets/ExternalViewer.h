// Opens a file in the program the desktop uses for its type, as the editor's help menu does with
// its read-me file.
#pragma once

#include <QString>

// False after telling the user in a message box, when the file does not exist or no viewer starts.
bool OpenInExternalViewer(const QString& path);

// Converts a window string (a file name from a dialog, an entry of the object list) to a file-system
// byte string in the locale's multibyte encoding (UTF-8 on Linux).
#pragma once

#include <QString>
#include <string>

std::string CLIStringToChar(const QString& str);

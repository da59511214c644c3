// Message boxes of the library and the editor as Qt dialogs.
#pragma once

#include "MessageBox.h"

// Makes MessageBoxA show a modal QMessageBox with the caption, the text, and the buttons and icon the
// MB_ style names, and answer IDOK, IDCANCEL, IDYES or IDNO. Without a QApplication the message goes
// to standard error instead.
void InstallQtMessageBoxPresenter();

// Message boxes of the library and the editor as Qt dialogs.
#pragma once

#include "MessageBox.h"

#include <QMessageBox>

// Makes MessageBoxA show a modal QMessageBox with the caption, the text, and the buttons and icon the
// MB_ style names, and answer IDOK, IDCANCEL, IDYES or IDNO. Without a QApplication the message goes
// to standard error instead.
void InstallQtMessageBoxPresenter();

// The QMessageBox buttons and icon for an MB_ style, and the answer for a pressed button; apart so
// that they can be checked without showing a dialog.
QMessageBox::StandardButtons MessageBoxButtons(unsigned type);
QMessageBox::Icon MessageBoxIcon(unsigned type);
int MessageBoxAnswer(QMessageBox::StandardButton pressed, unsigned type);

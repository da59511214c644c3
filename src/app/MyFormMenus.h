// Builds the main window's menu bar, the object list's context menu and the file dialogs, and wires
// each command to the flag or window it stands for.
#pragma once

class MyForm;

class MyFormMenus {
public:
    static void BuildMenuBar(MyForm& form);
    static void BuildContextMenu(MyForm& form);
    static void BuildFileDialogs(MyForm& form);
};

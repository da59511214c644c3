// The main window's menus for the document as a whole: "編集" with undo and redo, "上書き保存", and
// "最近使ったマップ". Like every other menu they only raise flags or fill in a dialog's file name; the
// frame performs the command and tells the menus what to show.
#pragma once

#include <QString>
#include <QStringList>

class MyForm;

class DocumentMenus {
public:
    // Adds the menus to a main window whose menu bar is built.
    static void Build(MyForm& form);
    // The step the edit items would undo and redo, empty when there is none (the item is disabled).
    static void ShowHistory(MyForm& form, const QString& undoLabel, const QString& redoLabel);
    // The recent maps, newest first; none disables the submenu.
    static void ShowRecentMaps(MyForm& form, const QStringList& paths);
    // What "上書き保存" and Ctrl+S do: the current map file is saved by the frame, or the map save
    // dialog asks for a file when there is none.
    static void RequestOverwriteSave(MyForm& form);
};

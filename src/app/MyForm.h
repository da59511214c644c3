// The editor's main window. It edits nothing itself: every command that touches the scene, the camera
// or a file raises a one-shot flag or stores a value here, and the next frame's code performs it and
// lowers the flag. File dialogs belong to the window, so the consumer reads the chosen name and filter
// from the same dialog object, and each dialog remembers them between uses.
#pragma once

#include "PlatformWindow.h"
#include "Win32Types.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class CheckedListBox;
class FileDialog;
class PopWindow;
class QAction;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QWidgetAction;
class NumericUpDown;
class Setting;
class TextForm;
class ViewBox;

class MyForm : public QMainWindow, public PlatformWindow {
    Q_OBJECT
public:
    explicit MyForm(QWidget* parent = nullptr);
    ~MyForm() override;

    // The handle of the main window for the Win32 queries: its QWindow.
    HWND Handle() const { return m_hWnd; }
    POINT ClientOriginOnScreen() const override;
    bool IsActive() const override;
    // True once a close was confirmed: the frame loop runs until then.
    bool IsClosed() const { return m_bClosed; }

    // Command flags, raised by the window and lowered by whoever performs the command.
    bool GetXFileOpenFlg() const { return m_bXfileOpenFlg; }
    void SetXFileOpenFlg(bool flag) { m_bXfileOpenFlg = flag; }
    bool GetMatrixOpenFlg() const { return m_bMatrixOpenFlg; }
    void SetMatrixOpenFlg(bool flag) { m_bMatrixOpenFlg = flag; }
    bool GetMapOpenFlg() const { return m_bMapOpenFlg; }
    void SetMapOpenFlg(bool flag) { m_bMapOpenFlg = flag; }
    bool GetZorvFileSaveFlg() const { return m_bZorvFileSaveFlg; }
    void SetZorvFileSaveFlg(bool flag) { m_bZorvFileSaveFlg = flag; }
    bool GetCameraSaveFlg() const { return m_bCameraSaveFlg; }
    void SetCameraSaveFlg(bool flag) { m_bCameraSaveFlg = flag; }
    bool GetMatrixFileListFlg() const { return m_bMatrixFileListFlg; }
    void SetMatrixFileListFlg(bool flag) { m_bMatrixFileListFlg = flag; }
    bool GetMapSaveFlg() const { return m_bMapSaveFlg; }
    void SetMapSaveFlg(bool flag) { m_bMapSaveFlg = flag; }
    bool GetControlBoxFlg() const { return m_bControlBoxFlg; }
    void SetControlBoxFlg(bool flag) { m_bControlBoxFlg = flag; }
    bool GetAllFlg() const { return m_bAllCopyFlg; }
    void SetAllFlg(bool flag) { m_bAllCopyFlg = flag; }
    bool GetTransFlg() const { return m_bTransCopyFlg; }
    void SetTransFlg(bool flag) { m_bTransCopyFlg = flag; }
    bool GetRotFlg() const { return m_bRotCopyFlg; }
    void SetRotFlg(bool flag) { m_bRotCopyFlg = flag; }
    bool GetScaleFlg() const { return m_bScaleCopyFlg; }
    void SetScaleFlg(bool flag) { m_bScaleCopyFlg = flag; }
    bool GetPasteFlg() const { return m_bPasteFlg; }
    void SetPasteFlg(bool flag) { m_bPasteFlg = flag; }
    bool GetObjCopy() const { return m_bObjCopyFlg; }
    void SetObjCopy(bool flag) { m_bObjCopyFlg = flag; }
    bool GetObjPaste() const { return m_bObjPasteFlg; }
    void SetObjPaste(bool flag) { m_bObjPasteFlg = flag; }
    bool GetObjDelete() const { return m_bObjDeleteFlg; }
    void SetObjDelete(bool flag) { m_bObjDeleteFlg = flag; }
    // True once per request to reset the selected object's transform.
    bool isMatrixIdenty();
    void RequestMatrixIdentity() { m_bMatrixIdenty = true; }
    // Whether a reset is pending, without taking it.
    bool IsMatrixIdentyRequested() const { return m_bMatrixIdenty; }

    // Document commands: undo and redo from the edit menu, "上書き保存", and a save that closes the
    // window once it succeeded (the answer Yes to the close question).
    bool GetUndoFlg() const { return m_bUndoFlg; }
    void SetUndoFlg(bool flag) { m_bUndoFlg = flag; }
    bool GetRedoFlg() const { return m_bRedoFlg; }
    void SetRedoFlg(bool flag) { m_bRedoFlg = flag; }
    bool GetOverwriteSaveFlg() const { return m_bOverwriteSaveFlg; }
    void SetOverwriteSaveFlg(bool flag) { m_bOverwriteSaveFlg = flag; }
    bool GetSaveAndCloseFlg() const { return m_bSaveAndCloseFlg; }
    void SetSaveAndCloseFlg(bool flag) { m_bSaveAndCloseFlg = flag; }
    // What the frame tells the window about the document: the current map file (empty when none)
    // and whether the scene differs from it. The title and the close question follow them.
    void SetDocumentState(const QString& mapFile, bool modified);
    const QString& GetMapFile() const { return m_strMapFile; }
    bool GetModified() const { return m_bModified; }
    // Closes without any question, for a close the user has already answered.
    void CloseConfirmed();

    // 0 move, 1 rotate, 2 scale.
    int GetSelectEdit() const { return m_iNowSelectEdit; }
    // Also checks the button of the type, however it was chosen.
    void SetSelectEdit(int editType);
    // The row chosen in the render-mode list (0 fixed, 1 base, 2 toon, 3 sphere map, 4 shadow map), or -1
    // while none is selected.
    int RenderMode() const;
    bool GetLightEnable() const { return m_bLightEnable; }
    float GetnumerDis() const { return m_fnumerDis; }
    float GetDrawStartRange() const { return m_fDrawStartRange; }
    float GetDrawEndRange() const { return m_fDrawEndRange; }
    // Wheel steps summed since the camera last took them back; see AddMouseWheel.
    int GetMouseWheel() const { return m_MouseWheel; }
    void SetMouseWheel(int wheel);
    float GetMousePower() const { return m_fMousePower; }
    bool GetManualMouseFlg() const { return m_bManualMouseFlg; }

    // One wheel report in 1/120 notches: adds delta times the system's scroll lines over 120.
    void AddMouseWheel(int angleDelta);
    // What dropping a file on the view does: the file becomes the model dialog's choice.
    void AcceptDroppedFile(const QString& path);

    // True while the context menu is open with the item highlighted, which is how the camera items
    // are chosen: the camera looks for it when the left button goes down.
    bool IsItemSelected(const QAction* item) const;

    // The commands behind the menus, for the menus and for tests.
    void ShowRename();
    void ShowSettings();
    void ShowReadMe();
    void ShowVersion();

    // The secondary windows, re-created each time they are opened. A closed window stays referenced
    // until it is replaced, so that what was entered in it can still be read.
    QPointer<PopWindow> m_PopForm;
    QPointer<Setting> m_SettingForm;
    QPointer<TextForm> m_TextForm;

    // Menu bar.
    QMenuBar* menuStrip1 = nullptr;
    QMenu* fILEToolStripMenuItem = nullptr;
    QMenu* toolStripMenuItem1 = nullptr;    // 開く
    QAction* toolStripMenuItem2 = nullptr;  // XFILEを開く
    QAction* toolStripMenuItem3 = nullptr;  // MatrixFileを開いて...
    QAction* toolStripMenuItem4 = nullptr;  // MapFileを開く
    QMenu* toolStripMenuItem5 = nullptr;    // 保存
    QAction* toolStripMenuItem6 = nullptr;  // 行列を保存する
    QAction* toolStripMenuItem7 = nullptr;  // カメラの行列を保存する
    QAction* toolStripMenuItem8 = nullptr;  // マップの行列リストを保存する
    QAction* toolStripMenuItem9 = nullptr;  // マップの情報を保存する
    QMenu* toolStripMenuItem25 = nullptr;   // 表示
    QAction* toolStripMenuItem26 = nullptr; // ControlBoxを表示する
    QAction* toolStripMenuItem27 = nullptr; // 設定
    QMenu* toolStripMenuItem28 = nullptr;   // ヘルプ
    QAction* toolStripMenuItem29 = nullptr; // ReadMe.txt
    QAction* toolStripMenuItem30 = nullptr; // バージョン情報
    QMenu* editMenu = nullptr;              // 編集
    QAction* undoItem = nullptr;            // 元に戻す
    QAction* redoItem = nullptr;            // やり直し
    QAction* overwriteSaveItem = nullptr;   // 上書き保存
    QMenu* recentMapsMenu = nullptr;        // 最近使ったマップ

    // Context menu of the object list.
    QMenu* contextMenuStrip1 = nullptr;
    QWidgetAction* toolStripTextBox1 = nullptr; // heading: matrices
    QAction* toolStripMenuItem10 = nullptr;     // copy all of the selected object's matrix
    QAction* toolStripMenuItem11 = nullptr;     // reset the selected object's matrix
    QAction* toolStripMenuItem12 = nullptr;     // apply the copied translation
    QAction* toolStripMenuItem13 = nullptr;     // apply the copied rotation
    QAction* toolStripMenuItem14 = nullptr;     // apply the copied scale
    QAction* toolStripMenuItem15 = nullptr;     // apply all three
    QWidgetAction* toolStripTextBox2 = nullptr; // heading: objects
    QAction* toolStripMenuItem16 = nullptr;     // copy object
    QAction* toolStripMenuItem17 = nullptr;     // paste object
    QAction* toolStripMenuItem18 = nullptr;     // delete object
    QAction* toolStripMenuItem19 = nullptr;     // rename
    QWidgetAction* toolStripTextBox3 = nullptr; // heading: camera
    // Camera items: no action of their own; the camera polls which one is highlighted.
    QAction* toolStripMenuItem20 = nullptr; // front
    QAction* toolStripMenuItem21 = nullptr; // top
    QAction* toolStripMenuItem22 = nullptr; // side
    QAction* toolStripMenuItem23 = nullptr; // initial position
    QAction* toolStripMenuItem24 = nullptr; // centre on the selected object (check item)

    // Controls.
    ViewBox* pictureBox1 = nullptr;
    CheckedListBox* checkedListBox1 = nullptr;
    QListWidget* listBox1 = nullptr;
    QCheckBox* checkBox1 = nullptr; // 正射影
    QCheckBox* checkBox2 = nullptr; // ローカル軸
    QCheckBox* checkBox3 = nullptr; // ライトON/OFF
    QPushButton* button1 = nullptr; // move
    QPushButton* button2 = nullptr; // rotate
    QPushButton* button3 = nullptr; // scale
    NumericUpDown* numericUpDown1 = nullptr;
    NumericUpDown* numericUpDown2 = nullptr;
    NumericUpDown* numericUpDown3 = nullptr;
    QLineEdit* textBox1 = nullptr; // labels of the numeric fields
    QLineEdit* textBox2 = nullptr;
    QLineEdit* textBox3 = nullptr;

    // File dialogs, created once.
    FileDialog* openFileDialog1 = nullptr; // model
    FileDialog* openFileDialog2 = nullptr; // matrix
    FileDialog* openFileDialog3 = nullptr; // map
    FileDialog* saveFileDialog2 = nullptr; // matrix
    FileDialog* saveFileDialog3 = nullptr; // camera view
    FileDialog* saveFileDialog6 = nullptr; // map
    FileDialog* saveFileDialog8 = nullptr; // matrix list

protected:
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void BuildControls();
    void ConnectControls();
    void ShowContextMenu(const QPoint& position);
    void NumericChanged(NumericUpDown* field, float* value, int focusMoves);
    void KeepDrawRangeOrdered();
    void CloseSecondaryWindows();
    // The close question while the scene is modified; true when the window may close now.
    bool AskToSaveBeforeClosing();

    HWND m_hWnd = nullptr;
    bool m_bClosed = false;

    bool m_bXfileOpenFlg = false;
    bool m_bMatrixOpenFlg = false;
    bool m_bMapOpenFlg = false;
    bool m_bZorvFileSaveFlg = false;
    bool m_bCameraSaveFlg = false;
    bool m_bMatrixFileListFlg = false;
    bool m_bMapSaveFlg = false;
    bool m_bControlBoxFlg = false;
    bool m_bAllCopyFlg = false;
    bool m_bTransCopyFlg = false;
    bool m_bRotCopyFlg = false;
    bool m_bScaleCopyFlg = false;
    bool m_bPasteFlg = false;
    bool m_bObjCopyFlg = false;
    bool m_bObjPasteFlg = false;
    bool m_bObjDeleteFlg = false;
    bool m_bMatrixIdenty = false;
    bool m_bUndoFlg = false;
    bool m_bRedoFlg = false;
    bool m_bOverwriteSaveFlg = false;
    bool m_bSaveAndCloseFlg = false;
    QString m_strMapFile;
    bool m_bModified = false;

    int m_iNowSelectEdit = 0;
    bool m_bLightEnable = true;
    float m_fnumerDis = 1.0f;
    float m_fDrawStartRange = 0.1f;
    float m_fDrawEndRange = 2000.0f;
    int m_MouseWheel = 0;
    // The part of a wheel report too small for a whole step, kept for the next report in the same
    // direction so that fine-grained wheels and touchpads still zoom.
    int m_iWheelRemainder = 0;
    float m_fMousePower = 1.0f;
    bool m_bManualMouseFlg = false;
};

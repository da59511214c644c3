// The rename dialog: a new name for the object selected in the main window's list. It only raises a
// flag; the object list applies the name from textBox1 and closes the dialog.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

class TextForm : public QDialog {
    Q_OBJECT

public:
    explicit TextForm(QWidget* parent = nullptr);

    // The flag belongs to the class: the object list asks for it every frame, before the first
    // dialog exists and after the last one is gone.
    static bool GetClickFlg() { return m_bClickFlg; }
    static void SetClickFlg(bool clicked) { m_bClickFlg = clicked; }

    QLineEdit* textBox1;
    QPushButton* button2;

private:
    void OnChange();

    static bool m_bClickFlg;
};

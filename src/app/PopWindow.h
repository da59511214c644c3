// The coordinate pop-up "ControlBox": three numbers and an OK. It only stores what was entered and
// raises a flag; the selected object's update applies the numbers once and lowers the flag.
#pragma once

#include <QDialog>

class NumericUpDown;
class QCheckBox;
class QLabel;
class QPushButton;

class PopWindow : public QDialog {
    Q_OBJECT

public:
    explicit PopWindow(QWidget* parent = nullptr);

    float GetxValue() const { return m_fXValue; }
    float GetyValue() const { return m_fYValue; }
    float GetzValue() const { return m_fZValue; }
    void SetxValue(float value) { m_fXValue = value; }
    void SetyValue(float value) { m_fYValue = value; }
    void SetzValue(float value) { m_fZValue = value; }
    bool GetButtonPush() const { return m_bButtoPush; }
    void SetButtonPush(bool pushed) { m_bButtoPush = pushed; }

    QLabel* pictureBox1;
    QLabel* pictureBox2;
    QLabel* pictureBox3;
    NumericUpDown* numericUpDown1;
    NumericUpDown* numericUpDown2;
    NumericUpDown* numericUpDown3;
    // "絶対座標": the values are a position, not a step; read by the selected object's update.
    QCheckBox* checkBox1;
    QPushButton* button1;

private:
    void OnOK();

    float m_fXValue = 0.0f;
    float m_fYValue = 0.0f;
    float m_fZValue = 0.0f;
    bool m_bButtoPush = false;
};

// The settings window "設定": grid, light and shading textures. The values live in the statics of
// SettingStatics, so a window made afresh each time shows what the last one left; moving a light
// slider acts at once, the grid only when "グリッドの適応" is pressed, a texture through a one-shot flag.
#pragma once

#include "SettingStatics.h"

#include <QDialog>

class FileDialog;
class NumericUpDown;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

class Setting : public QDialog, public SettingStatics {
    Q_OBJECT

public:
    explicit Setting(QWidget* parent = nullptr);

    QTabWidget* tabControl1;
    QTabWidget* tabControl2;

    // Grid.
    NumericUpDown* numericUpDown1;
    QCheckBox* checkBox1; // "YZ"
    QCheckBox* checkBox2; // "ZX"
    QCheckBox* checkBox3; // "XY"
    QPushButton* button1; // "グリッドの適応", pressed by Enter

    // Light direction X, Y, Z.
    QSlider* trackBar1;
    QSlider* trackBar2;
    QSlider* trackBar3;
    QLineEdit* textBox6;
    QLineEdit* textBox7;
    QLineEdit* textBox8;
    // Diffuse R, G, B, A.
    QSlider* trackBar6;
    QSlider* trackBar5;
    QSlider* trackBar4;
    QSlider* trackBar7;
    QLineEdit* textBox11;
    QLineEdit* textBox10;
    QLineEdit* textBox9;
    QLineEdit* textBox15;
    // Ambient R, G, B, A.
    QSlider* trackBar11;
    QSlider* trackBar10;
    QSlider* trackBar9;
    QSlider* trackBar8;
    QLineEdit* textBox21;
    QLineEdit* textBox20;
    QLineEdit* textBox19;
    QLineEdit* textBox17;
    // Specular R, G, B, A.
    QSlider* trackBar15;
    QSlider* trackBar14;
    QSlider* trackBar13;
    QSlider* trackBar12;
    QLineEdit* textBox29;
    QLineEdit* textBox28;
    QLineEdit* textBox27;
    QLineEdit* textBox25;

    // Toon texture: path, chooser, preview.
    QLineEdit* textBox33;
    QPushButton* button2;
    QLabel* pictureBox1;
    FileDialog* openFileDialog1;
    // Sphere-map texture.
    QLineEdit* textBox34;
    QPushButton* button3;
    QLabel* pictureBox2;
    FileDialog* openFileDialog2;

    // A light value as its box shows it: the "N" format of the current locale, two decimals.
    static QString FormatLightValue(float value);

private:
    QWidget* BuildGridPage();
    QWidget* BuildLightPage();
    QWidget* BuildShaderPage();
    void LoadLightValues();
    void ApplyGrid();
    void ChooseTexture(FileDialog* dialog, QLineEdit* pathBox, std::string& name, bool& fileOk,
                       QLabel* preview);
};

#include "Setting.h"

#include "MessageBox.h"
#include "d3dx9tex.h"

#include "FileDialog.h"
#include "NumericUpDown.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

enum LightTab { Direction, Diffuse, Ambient, Specular };

// One slider of the light tabs: the slider, its value box and the static it edits.
struct LightControl {
    QSlider* Setting::*slider;
    QLineEdit* Setting::*box;
    const char* sliderName;
    const char* boxName;
    const char* label;
    LightTab tab;
    int minimum;
    float* value;
};

const std::array<LightControl, 15> kLightControls{{
    {&Setting::trackBar1, &Setting::textBox6, "trackBar1", "textBox6", "X軸方向", Direction, -10,
     &SettingStatics::m_fLightDirX},
    {&Setting::trackBar2, &Setting::textBox7, "trackBar2", "textBox7", "Y軸方向", Direction, -10,
     &SettingStatics::m_fLightDirY},
    {&Setting::trackBar3, &Setting::textBox8, "trackBar3", "textBox8", "Z軸方向", Direction, -10,
     &SettingStatics::m_fLightDirZ},
    {&Setting::trackBar6, &Setting::textBox11, "trackBar6", "textBox11", "R", Diffuse, 0,
     &SettingStatics::m_fLightDifR},
    {&Setting::trackBar5, &Setting::textBox10, "trackBar5", "textBox10", "G", Diffuse, 0,
     &SettingStatics::m_fLightDifG},
    {&Setting::trackBar4, &Setting::textBox9, "trackBar4", "textBox9", "B", Diffuse, 0,
     &SettingStatics::m_fLightDifB},
    {&Setting::trackBar7, &Setting::textBox15, "trackBar7", "textBox15", "A", Diffuse, 0,
     &SettingStatics::m_fLightDifA},
    {&Setting::trackBar11, &Setting::textBox21, "trackBar11", "textBox21", "R", Ambient, 0,
     &SettingStatics::m_fLightAmbR},
    {&Setting::trackBar10, &Setting::textBox20, "trackBar10", "textBox20", "G", Ambient, 0,
     &SettingStatics::m_fLightAmbG},
    {&Setting::trackBar9, &Setting::textBox19, "trackBar9", "textBox19", "B", Ambient, 0,
     &SettingStatics::m_fLightAmbB},
    {&Setting::trackBar8, &Setting::textBox17, "trackBar8", "textBox17", "A", Ambient, 0,
     &SettingStatics::m_fLightAmbA},
    {&Setting::trackBar15, &Setting::textBox29, "trackBar15", "textBox29", "R", Specular, 0,
     &SettingStatics::m_fLightSpeR},
    {&Setting::trackBar14, &Setting::textBox28, "trackBar14", "textBox28", "G", Specular, 0,
     &SettingStatics::m_fLightSpeG},
    {&Setting::trackBar13, &Setting::textBox27, "trackBar13", "textBox27", "B", Specular, 0,
     &SettingStatics::m_fLightSpeB},
    {&Setting::trackBar12, &Setting::textBox25, "trackBar12", "textBox25", "A", Specular, 0,
     &SettingStatics::m_fLightSpeA},
}};

constexpr int kSliderMaximum = 10;

const QString kTextureFilter =
    QStringLiteral("読み込めるすべてのファイル|*.bmp;*.dds;*.dib;*.jpg;*.png;*.tga|全てのファイル|*.*");

// Tabs that look like a row of buttons.
const QString kButtonTabs =
    QStringLiteral("QTabBar::tab { border: 1px outset palette(mid); padding: 3px 10px; "
                   "margin: 2px; background: palette(button); }"
                   "QTabBar::tab:selected { border-style: inset; background: palette(midlight); }");

// A value outside the slider's range (or no number at all) would leave the window unable to show
// it; the slider stops at its end instead, and the box still shows the value in effect.
int SliderPosition(float value, int minimum) {
    const float scaled = value * 10.0f;
    if (!std::isfinite(scaled))
        return std::clamp(0, minimum, kSliderMaximum);
    const float rounded =
        std::nearbyint(std::clamp(scaled, static_cast<float>(minimum), static_cast<float>(kSliderMaximum)));
    return static_cast<int>(rounded);
}

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* MakePreview(QWidget* parent, const char* name) {
    auto* preview = Named(new QLabel(parent), name);
    preview->setFixedSize(96, 96);
    preview->setFrameShape(QFrame::StyledPanel);
    preview->setScaledContents(true);
    return preview;
}

// An empty preview for a file that is missing or that Qt cannot decode (DDS, and TGA without the
// image format plugin); the texture itself is still loaded by the shader set.
void LoadPreview(QLabel* preview, const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        preview->clear();
    else
        preview->setPixmap(QPixmap::fromImage(image));
}

FileDialog* MakeTextureDialog(QObject* parent, const char* name, const QString& prompt) {
    auto* dialog = Named(new FileDialog(FileDialog::Kind::Open, parent), name);
    dialog->setFilter(kTextureFilter);
    dialog->setPlaceholder(prompt);
    dialog->setSupportMultiDottedExtensions(true);
    return dialog;
}

} // namespace

QString Setting::FormatLightValue(float value) {
    double shown = value;
    // Rounding must not leave a sign on zero ("-0.00").
    if (std::isfinite(shown) && std::fabs(shown) < 0.005)
        shown = 0.0;
    return QLocale().toString(shown, 'f', 2);
}

Setting::Setting(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Setting"));
    setWindowTitle(QStringLiteral("設定"));
    setModal(false);
    QPixmap noIcon(16, 16);
    noIcon.fill(Qt::transparent);
    setWindowIcon(QIcon(noIcon));

    tabControl1 = Named(new QTabWidget(this), "tabControl1");
    tabControl1->tabBar()->setStyleSheet(kButtonTabs);
    tabControl1->setDocumentMode(true);
    tabControl1->setUsesScrollButtons(false);
    tabControl1->addTab(BuildGridPage(), QStringLiteral("グリッドの設定"));
    tabControl1->addTab(BuildLightPage(), QStringLiteral("Lightの設定"));
    tabControl1->addTab(BuildShaderPage(), QStringLiteral("シェーダの設定"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabControl1);

    checkBox1->setChecked(m_bGridCheckBox1);
    checkBox2->setChecked(m_bGridCheckBox2);
    checkBox3->setChecked(m_bGridCheckBox3);
    // Not "> 0" rather than "<= 0", so that a value that is no number is replaced as well.
    if (!(m_fGridValue > 0.0f))
        m_fGridValue = 0.5f;
    numericUpDown1->setValue(m_fGridValue);

    textBox33->setText(QString::fromStdString(ToonName));
    textBox34->setText(QString::fromStdString(SpeMapName));
    LoadPreview(pictureBox1, textBox33->text());
    LoadPreview(pictureBox2, textBox34->text());

    LoadLightValues();
}

QWidget* Setting::BuildGridPage() {
    auto* page = Named(new QWidget, "tabPage1");
    numericUpDown1 = Named(new NumericUpDown(page), "numericUpDown1");
    numericUpDown1->setDecimals(5);
    numericUpDown1->setRange(0.0001, 99999.0);
    numericUpDown1->setSingleStep(0.01);
    checkBox1 = Named(new QCheckBox(QStringLiteral("YZ"), page), "checkBox1");
    checkBox2 = Named(new QCheckBox(QStringLiteral("ZX"), page), "checkBox2");
    checkBox3 = Named(new QCheckBox(QStringLiteral("XY"), page), "checkBox3");
    button1 = Named(new QPushButton(QStringLiteral("グリッドの適応"), page), "button1");
    button1->setDefault(true);
    connect(button1, &QPushButton::clicked, this, &Setting::ApplyGrid);

    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("グリッドの間隔"), page), 0, 0);
    layout->addWidget(numericUpDown1, 0, 1, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("グリッドの表示\n"), page), 1, 0);
    layout->addWidget(checkBox1, 1, 1);
    layout->addWidget(checkBox2, 1, 2);
    layout->addWidget(checkBox3, 1, 3);
    layout->addWidget(button1, 2, 0, 1, 4);
    layout->setRowStretch(3, 1);
    return page;
}

QWidget* Setting::BuildLightPage() {
    auto* page = Named(new QWidget, "tabPage2");
    tabControl2 = Named(new QTabWidget(page), "tabControl2");
    tabControl2->tabBar()->setStyleSheet(kButtonTabs);
    tabControl2->setDocumentMode(true);
    // Every inner tab stays in sight: the window widens to fit them rather than scrolling them.
    tabControl2->setUsesScrollButtons(false);

    const std::array<const char*, 4> titles{"Lightの向き", "Diffuse", "Ambient", "Specular"};
    const std::array<const char*, 4> pageNames{"tabPage4", "tabPage5", "tabPage6", "tabPage7"};
    std::array<QGridLayout*, 4> layouts{};
    for (std::size_t tab = 0; tab < titles.size(); ++tab) {
        auto* inner = Named(new QWidget, pageNames[tab]);
        layouts[tab] = new QGridLayout(inner);
        tabControl2->addTab(inner, QString::fromUtf8(titles[tab]));
    }

    for (const LightControl& control : kLightControls) {
        QGridLayout* layout = layouts[control.tab];
        QWidget* inner = layout->parentWidget();
        auto* slider = Named(new QSlider(Qt::Horizontal, inner), control.sliderName);
        slider->setRange(control.minimum, kSliderMaximum);
        slider->setSingleStep(1);
        slider->setPageStep(1);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setMinimumWidth(160);
        auto* box = Named(new QLineEdit(inner), control.boxName);
        box->setReadOnly(true);
        box->setFixedWidth(64);
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        this->*control.slider = slider;
        this->*control.box = box;

        const int row = layout->rowCount();
        layout->addWidget(new QLabel(QString::fromUtf8(control.label), inner), row, 0);
        layout->addWidget(slider, row, 1);
        layout->addWidget(box, row, 2);
    }
    for (QGridLayout* layout : layouts)
        layout->setRowStretch(layout->rowCount(), 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(tabControl2);
    return page;
}

QWidget* Setting::BuildShaderPage() {
    auto* page = Named(new QWidget, "tabPage3");
    textBox33 = Named(new QLineEdit(page), "textBox33");
    textBox33->setEnabled(false);
    button2 = Named(new QPushButton(QStringLiteral("..."), page), "button2");
    pictureBox1 = MakePreview(page, "pictureBox1");
    textBox34 = Named(new QLineEdit(page), "textBox34");
    textBox34->setEnabled(false);
    button3 = Named(new QPushButton(QStringLiteral("..."), page), "button3");
    pictureBox2 = MakePreview(page, "pictureBox2");

    openFileDialog1 = MakeTextureDialog(this, "openFileDialog1",
                                        QStringLiteral("<Toonシェーダで使用するテクスチャを選んでください>"));
    openFileDialog2 = MakeTextureDialog(
        this, "openFileDialog2", QStringLiteral("<環境マップシェーダで使用するテクスチャを選んでください>"));
    connect(button2, &QPushButton::clicked, this,
            [this] { ChooseTexture(openFileDialog1, textBox33, ToonName, m_bFileOk_1, pictureBox1); });
    connect(button3, &QPushButton::clicked, this,
            [this] { ChooseTexture(openFileDialog2, textBox34, SpeMapName, m_bFileOk_2, pictureBox2); });

    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Toonシェーダ用テクスチャ"), page), 0, 0, 1, 2);
    layout->addWidget(textBox33, 1, 0);
    layout->addWidget(button2, 1, 1);
    layout->addWidget(pictureBox1, 2, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("環境マップシェーダ用テクスチャ"), page), 3, 0, 1, 2);
    layout->addWidget(textBox34, 4, 0);
    layout->addWidget(button3, 4, 1);
    layout->addWidget(pictureBox2, 5, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(6, 1);
    return page;
}

void Setting::LoadLightValues() {
    for (const LightControl& control : kLightControls) {
        QSlider* slider = this->*control.slider;
        QLineEdit* box = this->*control.box;
        float* value = control.value;
        box->setText(FormatLightValue(*value));
        slider->setValue(SliderPosition(*value, control.minimum));
        // Connected only now: showing a value must not round the static to a slider position.
        connect(slider, &QSlider::valueChanged, this, [value, box](int position) {
            *value = static_cast<float>(position) * 0.1f;
            box->setText(FormatLightValue(*value));
        });
    }
}

void Setting::ApplyGrid() {
    // A number still being typed counts, as it does when the field loses the focus to the button.
    numericUpDown1->interpretText();
    m_fGridValue = static_cast<float>(numericUpDown1->value());
    m_bGridCheckBox1 = checkBox1->isChecked();
    m_bGridCheckBox2 = checkBox2->isChecked();
    m_bGridCheckBox3 = checkBox3->isChecked();
    m_bOKClick = true;
}

void Setting::ChooseTexture(FileDialog* dialog, QLineEdit* pathBox, std::string& name, bool& fileOk,
                            QLabel* preview) {
    const QPointer<Setting> alive(this);
    // The dialog runs its own event loop, in which the main window may have replaced this window.
    if (dialog->ShowDialog(this) != FileDialog::Result::OK || !alive)
        return;
    // The shader set could not load it and would drop the shading without a word: the texture in
    // use stays.
    D3DXIMAGE_INFO info;
    const std::string chosen = dialog->fileName().toStdString();
    if (FAILED(D3DXGetImageInfoFromFileA(chosen.c_str(), &info))) {
        const std::string text =
            "[Error] LoadError\n[Error Case]画像ファイルではないため、テクスチャに使えません。\n" + chosen +
            "\n[Approach]画像ファイルを選んでください。";
        MessageBoxA(nullptr, text.c_str(), "Information", MB_OK);
        return;
    }
    pathBox->setText(dialog->fileName());
    name = pathBox->text().toStdString();
    fileOk = true;
    LoadPreview(preview, pathBox->text());
}

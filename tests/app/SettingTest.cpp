#include "Setting.h"
#include "FileDialog.h"
#include "MessageBoxRecorder.h"
#include "NumericUpDown.h"
#include "ScopedFileChooser.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <memory>

#include <gtest/gtest.h>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The values the editor starts with: statics as declared, then the start-up light and grid plane.
void ResetToStartUp() {
    Setting::m_fGridValue = 0.0f;
    Setting::m_bGridCheckBox1 = false;
    Setting::m_bGridCheckBox2 = true;
    Setting::m_bGridCheckBox3 = false;
    Setting::SetStartUpLight();
    Setting::ToonName = "Data/Shader/TEX/Toon.png";
    Setting::SpeMapName = "Data/Shader/TEX/SpeMap.png";
    Setting::m_bOKClick = false;
    Setting::m_bFileOk_1 = false;
    Setting::m_bFileOk_2 = false;
}

class SettingTest : public testing::Test {
protected:
    void SetUp() override {
        m_locale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ResetToStartUp();
        // Whatever folder the tests run in, the default textures are not found there.
        Setting::ToonName = m_dir.File("missing/Toon.png");
        Setting::SpeMapName = m_dir.File("missing/SpeMap.png");
    }
    void TearDown() override {
        QLocale::setDefault(m_locale);
        ResetToStartUp();
    }

    std::unique_ptr<Setting> Open() {
        auto window = std::make_unique<Setting>();
        window->show();
        return window;
    }

    std::string WritePng(const std::string& name) const {
        QImage image(8, 4, QImage::Format_ARGB32);
        image.fill(Qt::red);
        const std::string path = m_dir.File(name);
        image.save(Q(path), "PNG");
        return path;
    }

    TempDir m_dir;

private:
    QLocale m_locale;
};

} // namespace

TEST_F(SettingTest, FirstWindowShowsTheStartUpSettings) {
    auto window = Open();
    EXPECT_FLOAT_EQ(Setting::m_fGridValue, 0.5f);
    EXPECT_DOUBLE_EQ(window->numericUpDown1->value(), 0.5);
    EXPECT_FALSE(window->checkBox1->isChecked());
    EXPECT_TRUE(window->checkBox2->isChecked());
    EXPECT_FALSE(window->checkBox3->isChecked());

    // Direction X, Y, Z; diffuse, ambient and specular R, G, B, A.
    const std::array<QSlider*, 15> sliders{
        window->trackBar1, window->trackBar2,  window->trackBar3,  window->trackBar6,  window->trackBar5,
        window->trackBar4, window->trackBar7,  window->trackBar11, window->trackBar10, window->trackBar9,
        window->trackBar8, window->trackBar15, window->trackBar14, window->trackBar13, window->trackBar12};
    const std::array<int, 15> positions{10, -10, 0, 10, 10, 10, 10, 5, 5, 5, 0, 5, 5, 5, 0};
    for (std::size_t i = 0; i < sliders.size(); ++i)
        EXPECT_EQ(sliders[i]->value(), positions[i]) << sliders[i]->objectName().toStdString();
    EXPECT_EQ(window->textBox6->text(), QStringLiteral("1.00"));
    EXPECT_EQ(window->textBox7->text(), QStringLiteral("-1.00"));
    EXPECT_EQ(window->textBox8->text(), QStringLiteral("0.00"));
    EXPECT_EQ(window->textBox21->text(), QStringLiteral("0.50"));
}

TEST_F(SettingTest, ValueBoxesUseTheLocalesNumberFormat) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto window = Open();
    EXPECT_EQ(window->textBox7->text(), QStringLiteral("-1,00"));
    window->trackBar6->setValue(7);
    EXPECT_EQ(window->textBox11->text(), QStringLiteral("0,70"));
    // Rounding to two places leaves no sign on zero.
    EXPECT_EQ(Setting::FormatLightValue(-0.001f), QStringLiteral("0,00"));
}

TEST_F(SettingTest, EachSliderStoresATenthOfItsPositionInItsOwnStaticAndBox) {
    auto window = Open();
    struct Expected {
        QSlider* slider;
        QLineEdit* box;
        float* value;
    };
    const std::array<Expected, 15> controls{{
        {window->trackBar1, window->textBox6, &Setting::m_fLightDirX},
        {window->trackBar2, window->textBox7, &Setting::m_fLightDirY},
        {window->trackBar3, window->textBox8, &Setting::m_fLightDirZ},
        {window->trackBar6, window->textBox11, &Setting::m_fLightDifR},
        {window->trackBar5, window->textBox10, &Setting::m_fLightDifG},
        {window->trackBar4, window->textBox9, &Setting::m_fLightDifB},
        {window->trackBar7, window->textBox15, &Setting::m_fLightDifA},
        {window->trackBar11, window->textBox21, &Setting::m_fLightAmbR},
        {window->trackBar10, window->textBox20, &Setting::m_fLightAmbG},
        {window->trackBar9, window->textBox19, &Setting::m_fLightAmbB},
        {window->trackBar8, window->textBox17, &Setting::m_fLightAmbA},
        {window->trackBar15, window->textBox29, &Setting::m_fLightSpeR},
        {window->trackBar14, window->textBox28, &Setting::m_fLightSpeG},
        {window->trackBar13, window->textBox27, &Setting::m_fLightSpeB},
        {window->trackBar12, window->textBox25, &Setting::m_fLightSpeA},
    }};
    for (std::size_t moved = 0; moved < controls.size(); ++moved) {
        std::array<float, 15> before{};
        for (std::size_t i = 0; i < controls.size(); ++i)
            before[i] = *controls[i].value;
        const int position = controls[moved].slider->value() == 3 ? 4 : 3;
        controls[moved].slider->setValue(position);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            if (i == moved)
                EXPECT_EQ(*controls[i].value, static_cast<float>(position) * 0.1f) << moved;
            else
                EXPECT_EQ(*controls[i].value, before[i]) << "moving " << moved << " changed " << i;
        }
        EXPECT_EQ(controls[moved].box->text(), QStringLiteral("0.%1").arg(position * 10)) << moved;
    }
}

TEST_F(SettingTest, SlidersReopenWhereTheyWereLeft) {
    {
        auto window = Open();
        window->trackBar7->setValue(7);
        window->trackBar1->setValue(0);
        window->trackBar2->setValue(0);
        window->trackBar3->setValue(0);
        window->close();
    }
    EXPECT_FLOAT_EQ(Setting::m_fLightDifA, 0.7f);
    // A zero light direction is a value like any other here.
    EXPECT_EQ(Setting::m_fLightDirX, 0.0f);
    EXPECT_EQ(Setting::m_fLightDirY, 0.0f);
    EXPECT_EQ(Setting::m_fLightDirZ, 0.0f);

    auto again = Open();
    EXPECT_EQ(again->trackBar7->value(), 7);
    EXPECT_EQ(again->textBox15->text(), QStringLiteral("0.70"));
    EXPECT_EQ(again->trackBar1->value(), 0);
    EXPECT_FLOAT_EQ(Setting::m_fLightDifA, 0.7f);
}

TEST_F(SettingTest, OpeningShowsValuesWithoutChangingThem) {
    Setting::m_fLightDifR = 0.75f;  // between two slider positions
    Setting::m_fLightDirX = 5.0f;   // beyond the slider's end
    Setting::m_fLightAmbG = NAN;    // no number at all
    Setting::m_fGridValue = 1.0e9f; // beyond the interval field
    auto window = Open();
    EXPECT_EQ(Setting::m_fLightDifR, 0.75f);
    EXPECT_EQ(window->textBox11->text(), QStringLiteral("0.75"));
    EXPECT_EQ(window->trackBar6->value(), 8);
    EXPECT_EQ(Setting::m_fLightDirX, 5.0f);
    EXPECT_EQ(window->trackBar1->value(), 10);
    EXPECT_EQ(window->textBox6->text(), QStringLiteral("5.00"));
    EXPECT_TRUE(std::isnan(Setting::m_fLightAmbG));
    EXPECT_DOUBLE_EQ(window->numericUpDown1->value(), 99999.0);
}

TEST_F(SettingTest, GridChangesCountOnlyWhenApplied) {
    Setting::m_fGridValue = 2.0f;
    {
        auto window = Open();
        window->numericUpDown1->setValue(7.0);
        window->checkBox1->setChecked(true);
        window->close();
    }
    EXPECT_EQ(Setting::m_fGridValue, 2.0f);
    EXPECT_FALSE(Setting::m_bGridCheckBox1);
    EXPECT_FALSE(Setting::GetOKClick());

    auto window = Open();
    EXPECT_DOUBLE_EQ(window->numericUpDown1->value(), 2.0);
    EXPECT_FALSE(window->checkBox1->isChecked());
    window->numericUpDown1->setValue(0.25);
    window->checkBox2->setChecked(false);
    window->checkBox3->setChecked(true);
    window->button1->click();
    EXPECT_EQ(Setting::GetGridValue(), 0.25f);
    EXPECT_FALSE(Setting::m_bGridCheckBox2);
    EXPECT_TRUE(Setting::m_bGridCheckBox3);
    EXPECT_TRUE(Setting::GetOKClick());
}

TEST_F(SettingTest, EnterAppliesTheGridWithTheNumberBeingTyped) {
    auto window = Open();
    window->numericUpDown1->setFocus();
    window->numericUpDown1->selectAll();
    QTest::keyClicks(window->numericUpDown1, QStringLiteral("2.5"));
    QTest::keyClick(window->numericUpDown1, Qt::Key_Return);
    EXPECT_TRUE(Setting::GetOKClick());
    EXPECT_EQ(Setting::GetGridValue(), 2.5f);

    // A typed interval beyond the field is taken as its bound, never as its minimum.
    Setting::SetOKClick(false);
    window->numericUpDown1->selectAll();
    QTest::keyClicks(window->numericUpDown1, QStringLiteral("250000"));
    QTest::keyClick(window->checkBox3, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(Setting::GetOKClick());
    EXPECT_EQ(Setting::GetGridValue(), 99999.0f);
}

TEST_F(SettingTest, ChoosingATextureSetsPathNameFlagAndPreviewEachTime) {
    const std::string png = WritePng("toon.png");
    auto window = Open();
    ScopedFileChooser chooser;

    chooser.Choose(Q(png));
    window->button2->click();
    EXPECT_EQ(chooser.LastFileName(), QString());
    EXPECT_EQ(window->textBox33->text(), Q(png));
    EXPECT_EQ(Setting::ToonName, png);
    EXPECT_FALSE(window->pictureBox1->pixmap().isNull());
    EXPECT_TRUE(Setting::isFileOk_1());
    EXPECT_FALSE(Setting::isFileOk_1());
    EXPECT_FALSE(Setting::isFileOk_2());

    // The same file again is a new choice: the texture is reloaded.
    chooser.Choose(Q(png));
    window->button2->click();
    EXPECT_EQ(chooser.LastFileName(), Q(png));
    EXPECT_TRUE(Setting::isFileOk_1());

    chooser.Cancel();
    window->button2->click();
    EXPECT_FALSE(Setting::isFileOk_1());
    EXPECT_EQ(window->textBox33->text(), Q(png));
}

namespace {

// One pixel, 32-bit ARGB: a texture the device reads and the preview does not.
std::string OnePixelDds() {
    std::uint32_t header[32] = {0x20534444, 124, 0x1007, 1, 1, 4};
    const std::uint32_t format[8] = {32, 0x41, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    std::copy(std::begin(format), std::end(format), header + 19);
    header[27] = 0x1000;
    std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
    return bytes + std::string("\x10\x20\x30\xFF", 4);
}

} // namespace

TEST_F(SettingTest, ATextureThePreviewCannotShowIsStillTakenOverAndANonImageIsRefused) {
    const std::string png = WritePng("sphere.png");
    const std::string dds = m_dir.Write("sphere.dds", OnePixelDds());
    auto window = Open();
    ScopedFileChooser chooser;

    chooser.Choose(Q(png));
    window->button3->click();
    EXPECT_FALSE(window->pictureBox2->pixmap().isNull());

    chooser.Choose(Q(dds));
    window->button3->click();
    EXPECT_EQ(window->textBox34->text(), Q(dds));
    EXPECT_EQ(Setting::SpeMapName, dds);
    EXPECT_TRUE(Setting::isFileOk_2());
    // The old picture would show a texture that is no longer used.
    EXPECT_TRUE(window->pictureBox2->pixmap().isNull());
    EXPECT_FALSE(Setting::isFileOk_1());

    // Neither texture takes a file that is no picture at all; the one in use stays.
    MessageBoxRecorder messages;
    for (const std::string& notAPicture :
         {m_dir.Write("notes.png", "just words"), m_dir.Write("empty.bmp", "")}) {
        chooser.Choose(Q(notAPicture));
        window->button3->click();
        chooser.Choose(Q(notAPicture));
        window->button2->click();
    }
    EXPECT_EQ(window->textBox34->text(), Q(dds));
    EXPECT_EQ(Setting::SpeMapName, dds);
    EXPECT_FALSE(Setting::isFileOk_1());
    EXPECT_FALSE(Setting::isFileOk_2());
    ASSERT_EQ(messages.Messages().size(), 4u);
    EXPECT_NE(messages.Messages()[0].text.find("notes.png"), std::string::npos);
}

TEST_F(SettingTest, MissingDefaultTexturesLeaveEmptyPreviews) {
    auto window = Open();
    EXPECT_TRUE(window->pictureBox1->pixmap().isNull());
    EXPECT_TRUE(window->pictureBox2->pixmap().isNull());
    EXPECT_EQ(window->textBox34->text(), Q(Setting::SpeMapName));
}

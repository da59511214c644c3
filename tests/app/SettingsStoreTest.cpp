#include "SettingsStore.h"
#include "CUI.h"
#include "MyForm.h"
#include "NumericUpDown.h"
#include "Setting.h"
#include "TempDir.h"

#include <QListWidget>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

// What a damaged or edited settings file may hold: nothing of it is taken, and the start-up values stay.
TEST(SettingsStore, ValuesThatAreNoNumbersOrOutOfRangeAreNotTaken) {
    TempDir dir;
    QSettings settings(Q(dir.File("fieldsmith.conf")), QSettings::IniFormat);
    const std::pair<const char*, QVariant> damaged[] = {
        {"grid/interval", QStringLiteral("nan")},
        {"grid/zx", false},
        {"light/dirX", 7.5},
        {"light/difR", QStringLiteral("bright")},
        {"view/renderMode", 12},
        {"view/cameraFactor", -3},
        {"view/drawStart", QStringLiteral("inf")},
        {"view/drawEnd", 1e12},
        {"shading/toon", Q(dir.File("gone.png"))},
        {"window/geometry", QByteArray("not a geometry")},
    };
    for (const auto& [key, value] : damaged)
        settings.setValue(QString::fromLatin1(key), value);
    Setting::SetStartUpLight();
    const std::string toon = Setting::ToonName;
    MyForm form;
    CUI ui;
    SettingsStore::Restore(settings, form, ui);
    EXPECT_EQ(ui.GetGridInterval(), 0.5f);
    EXPECT_TRUE(ui.GetGridZX()) << "the planes go with the interval they were kept with";
    EXPECT_EQ(Setting::m_fLightDirX, 1.0f);
    EXPECT_EQ(Setting::m_fLightDifR, 1.0f);
    EXPECT_EQ(form.listBox1->currentRow(), 0);
    EXPECT_EQ(form.numericUpDown1->value(), 1.0);
    EXPECT_EQ(form.numericUpDown2->value(), 0.1);
    EXPECT_EQ(form.numericUpDown3->value(), 2000.0);
    EXPECT_EQ(Setting::ToonName, toon);
    EXPECT_FALSE(Setting::isFileOk_1());
    EXPECT_EQ(form.size(), QSize(1099, 579));
}

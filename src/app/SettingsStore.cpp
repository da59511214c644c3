#include "SettingsStore.h"

#include "CUI.h"
#include "MyForm.h"
#include "NumericUpDown.h"
#include "Setting.h"

#include <QFileInfo>
#include <QListWidget>
#include <QSettings>

#include <cmath>
#include <optional>
#include <string>

namespace {

QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("fieldsmith"),
                     QStringLiteral("fieldsmith"));
}

struct LightValue {
    const char* key;
    float* value;
    float minimum;
};

// The sliders' ranges: direction -1 to 1, colours 0 to 1.
const LightValue kLight[] = {
    {"light/dirX", &Setting::m_fLightDirX, -1}, {"light/dirY", &Setting::m_fLightDirY, -1},
    {"light/dirZ", &Setting::m_fLightDirZ, -1}, {"light/difR", &Setting::m_fLightDifR, 0},
    {"light/difG", &Setting::m_fLightDifG, 0},  {"light/difB", &Setting::m_fLightDifB, 0},
    {"light/difA", &Setting::m_fLightDifA, 0},  {"light/ambR", &Setting::m_fLightAmbR, 0},
    {"light/ambG", &Setting::m_fLightAmbG, 0},  {"light/ambB", &Setting::m_fLightAmbB, 0},
    {"light/ambA", &Setting::m_fLightAmbA, 0},  {"light/speR", &Setting::m_fLightSpeR, 0},
    {"light/speG", &Setting::m_fLightSpeG, 0},  {"light/speB", &Setting::m_fLightSpeB, 0},
    {"light/speA", &Setting::m_fLightSpeA, 0},
};

std::optional<double> Number(const QSettings& settings, const char* key, double minimum, double maximum) {
    bool ok = false;
    const double value = settings.value(QString::fromLatin1(key)).toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

bool Flag(const QSettings& settings, const char* key, bool otherwise) {
    return settings.value(QString::fromLatin1(key), otherwise).toBool();
}

void RestoreField(const QSettings& settings, const char* key, NumericUpDown* field) {
    if (const auto value = Number(settings, key, field->minimum(), field->maximum()))
        field->setValue(*value);
}

} // namespace

void SettingsStore::Restore(MyForm& form, CUI& ui) {
    QSettings settings = UserSettings();
    Restore(settings, form, ui);
}

void SettingsStore::Keep(const MyForm& form, const CUI& ui) {
    QSettings settings = UserSettings();
    Keep(settings, form, ui);
}

void SettingsStore::Restore(QSettings& settings, MyForm& form, CUI& ui) {
    if (const auto interval = Number(settings, "grid/interval", 0.0001, 99999)) {
        Setting::m_fGridValue = static_cast<float>(*interval);
        Setting::m_bGridCheckBox1 = Flag(settings, "grid/yz", Setting::m_bGridCheckBox1);
        Setting::m_bGridCheckBox2 = Flag(settings, "grid/zx", Setting::m_bGridCheckBox2);
        Setting::m_bGridCheckBox3 = Flag(settings, "grid/xy", Setting::m_bGridCheckBox3);
        ui.RestoreGrid(Setting::m_fGridValue, Setting::m_bGridCheckBox1, Setting::m_bGridCheckBox2,
                       Setting::m_bGridCheckBox3);
    }
    RestoreLight(settings);
    RestoreTextures(settings);
    if (const auto mode = Number(settings, "view/renderMode", 0, form.listBox1->count() - 1))
        form.listBox1->setCurrentRow(static_cast<int>(*mode));
    RestoreField(settings, "view/cameraFactor", form.numericUpDown1);
    // The far limit first: the near one may only be set below it.
    RestoreField(settings, "view/drawEnd", form.numericUpDown3);
    RestoreField(settings, "view/drawStart", form.numericUpDown2);
    RestoreField(settings, "view/drawEnd", form.numericUpDown3);
    RestoreMainWindow(settings, form);
}

void SettingsStore::RestoreLight(QSettings& settings) {
    for (const LightValue& light : kLight)
        if (const auto value = Number(settings, light.key, light.minimum, 1))
            *light.value = static_cast<float>(*value);
}

void SettingsStore::RestoreTextures(QSettings& settings) {
    // A chosen texture is loaded by the shader set in the first frame, as when it is chosen anew; one
    // that has gone since is left to the defaults.
    const auto restore = [&](const char* key, std::string& name, bool& chosen) {
        const QString path = settings.value(QString::fromLatin1(key)).toString();
        if (path.isEmpty() || path.toStdString() == name || !QFileInfo(path).isFile())
            return;
        name = path.toStdString();
        chosen = true;
    };
    restore("shading/toon", Setting::ToonName, Setting::m_bFileOk_1);
    restore("shading/sphereMap", Setting::SpeMapName, Setting::m_bFileOk_2);
}

void SettingsStore::RestoreMainWindow(QSettings& settings, MyForm& form) {
    const QByteArray geometry = settings.value(QStringLiteral("window/geometry")).toByteArray();
    if (!geometry.isEmpty())
        form.restoreGeometry(geometry);
}

void SettingsStore::Keep(QSettings& settings, const MyForm& form, const CUI& ui) {
    settings.setValue(QStringLiteral("grid/interval"), static_cast<double>(ui.GetGridInterval()));
    settings.setValue(QStringLiteral("grid/yz"), ui.GetGridYZ());
    settings.setValue(QStringLiteral("grid/zx"), ui.GetGridZX());
    settings.setValue(QStringLiteral("grid/xy"), ui.GetGridXY());
    for (const LightValue& light : kLight)
        settings.setValue(QString::fromLatin1(light.key), static_cast<double>(*light.value));
    settings.setValue(QStringLiteral("shading/toon"), QString::fromStdString(Setting::ToonName));
    settings.setValue(QStringLiteral("shading/sphereMap"), QString::fromStdString(Setting::SpeMapName));
    settings.setValue(QStringLiteral("view/renderMode"), form.listBox1->currentRow());
    settings.setValue(QStringLiteral("view/cameraFactor"), form.numericUpDown1->value());
    settings.setValue(QStringLiteral("view/drawStart"), form.numericUpDown2->value());
    settings.setValue(QStringLiteral("view/drawEnd"), form.numericUpDown3->value());
    settings.setValue(QStringLiteral("window/geometry"), form.saveGeometry());
    settings.sync();
}

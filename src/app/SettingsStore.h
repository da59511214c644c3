// The editor's settings kept between runs with QSettings: the grid, the light, the shading textures,
// the render mode, the camera factor and drawing range, and the main window's size and place. A first
// start finds nothing kept and leaves every start-up default as it is; a value that is missing, not a
// number or out of its control's range is not taken, so a damaged file never breaks the editor.
#pragma once

class CUI;
class MyForm;
class QSettings;

class SettingsStore {
public:
    // Under the user's configuration folder, "fieldsmith/fieldsmith".
    static void Restore(MyForm& form, CUI& ui);
    static void Keep(const MyForm& form, const CUI& ui);

    static void Restore(QSettings& settings, MyForm& form, CUI& ui);
    static void Keep(QSettings& settings, const MyForm& form, const CUI& ui);

private:
    static void RestoreLight(QSettings& settings);
    static void RestoreTextures(QSettings& settings);
    static void RestoreMainWindow(QSettings& settings, MyForm& form);
};

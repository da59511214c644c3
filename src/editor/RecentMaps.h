// The maps last opened or saved, newest first, kept across runs in a settings file of the user's
// configuration folder. Paths are kept absolute, so a map opened by a relative name is found again
// from any working directory.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

class RecentMaps {
public:
    static constexpr int kLimit = 8;

    // $XDG_CONFIG_HOME/fieldsmith/fieldsmith.conf (by default under ~/.config).
    static QString DefaultSettingsFile();

    explicit RecentMaps(const QString& settingsFile);

    QStringList Paths() const;
    // To the front; an older entry of the same file goes.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Store(const QStringList& paths);

    QSettings m_settings;
};

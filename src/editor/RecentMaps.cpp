#include "RecentMaps.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kKey = QStringLiteral("RecentMaps/files");

QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

QString RecentMaps::DefaultSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/fieldsmith/fieldsmith.conf");
}

RecentMaps::RecentMaps(const QString& settingsFile) : m_settings(settingsFile, QSettings::IniFormat) {}

QStringList RecentMaps::Paths() const {
    QStringList paths = m_settings.value(kKey).toStringList();
    paths.removeAll(QString());
    if (paths.size() > kLimit)
        paths.resize(kLimit);
    return paths;
}

void RecentMaps::Add(const QString& path) {
    const QString absolute = Absolute(path);
    QStringList paths = Paths();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    if (paths.size() > kLimit)
        paths.resize(kLimit);
    Store(paths);
}

void RecentMaps::Remove(const QString& path) {
    QStringList paths = Paths();
    if (paths.removeAll(Absolute(path)) > 0)
        Store(paths);
}

void RecentMaps::Store(const QStringList& paths) {
    m_settings.setValue(kKey, paths);
    m_settings.sync();
}

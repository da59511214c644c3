#include "ExternalViewer.h"

#include "MessageBox.h"

#include <QDesktopServices>
#include <QFileInfo>

#include <utility>

namespace {

ExternalViewerStarter& InstalledStarter() {
    static ExternalViewerStarter starter;
    return starter;
}

bool CannotOpen(const QString& path) {
    const QByteArray text = QStringLiteral("ファイルを開けませんでした。\n%1").arg(path).toUtf8();
    MessageBoxA(nullptr, text.constData(), "ファイルオープンエラー", MB_OK | MB_ICONERROR);
    return false;
}

} // namespace

ExternalViewerStarter SetExternalViewerStarter(ExternalViewerStarter starter) {
    return std::exchange(InstalledStarter(), std::move(starter));
}

bool TryExternalViewer(const QString& path) {
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        return false;
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    // A copy, so that a starter may replace itself while it runs.
    const ExternalViewerStarter starter = InstalledStarter();
    return starter ? starter(url) : QDesktopServices::openUrl(url);
}

bool OpenInExternalViewer(const QString& path) {
    return TryExternalViewer(path) || CannotOpen(path);
}

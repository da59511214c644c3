#include "ExternalViewer.h"

#include "MessageBox.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

bool CannotOpen(const QString& path) {
    const QByteArray text = QStringLiteral("ファイルを開けませんでした。\n%1").arg(path).toUtf8();
    MessageBoxA(nullptr, text.constData(), "ファイルオープンエラー", MB_OK | MB_ICONERROR);
    return false;
}

} // namespace

bool OpenInExternalViewer(const QString& path) {
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        return CannotOpen(path);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath())))
        return CannotOpen(path);
    return true;
}

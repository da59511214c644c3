#include "StartupFiles.h"

#include "FileDialog.h"
#include "MessageBox.h"
#include "MyForm.h"

#include <QFileInfo>

namespace {

bool OpenPending(const MyForm& form) {
    return form.GetXFileOpenFlg() || form.GetMapOpenFlg();
}

void ReportMissing(const QString& path) {
    const QByteArray text = QStringLiteral("ファイルを開けませんでした。\n%1").arg(path).toUtf8();
    MessageBoxA(nullptr, text.constData(), "ファイルオープンエラー", MB_OK | MB_ICONERROR);
}

} // namespace

bool StartupFiles::FeedNext(MyForm& form) {
    if (Done())
        return false;
    if (OpenPending(form))
        return true;
    // Paths are the system's byte strings, as the open dialogs' names become again in the commands.
    const QString path = QString::fromLocal8Bit(m_paths[m_next++]);
    if (!QFileInfo(path).isFile()) {
        ReportMissing(path);
        return !Done();
    }
    if (QFileInfo(path).suffix().compare(QStringLiteral("map"), Qt::CaseInsensitive) == 0) {
        form.openFileDialog3->setFileName(path);
        form.SetMapOpenFlg(true);
    } else {
        form.openFileDialog1->setFileName(path);
        form.SetXFileOpenFlg(true);
    }
    return true;
}

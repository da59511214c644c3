#include "ReadMeWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

// A read-me is a few pages; a file far beyond that is not one, and must not fill the memory.
constexpr qint64 kLargestText = 4 * 1024 * 1024;

} // namespace

ReadMeWindow* ReadMeWindow::Open(QWidget* owner, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestText)
        return nullptr;
    const QString text = QString::fromUtf8(file.read(kLargestText));
    auto* window = new ReadMeWindow(owner, QFileInfo(path).fileName(), text);
    window->show();
    window->raise();
    return window;
}

ReadMeWindow::ReadMeWindow(QWidget* owner, const QString& title, const QString& text)
    : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("ReadMeWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    textBox = new QPlainTextEdit(this);
    textBox->setObjectName(QStringLiteral("textBox"));
    textBox->setReadOnly(true);
    textBox->setPlainText(text);
    // The read-me lines up its lists and headings in columns.
    textBox->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(textBox);
    resize(720, 560);
}

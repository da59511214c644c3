#include "FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>

namespace {

FileDialog::Chooser& InstalledChooser() {
    static FileDialog::Chooser chooser;
    return chooser;
}

// A leading dot marks a hidden file on Linux, not an extension.
bool HasExtension(const QString& path) {
    return QFileInfo(path).fileName().lastIndexOf(u'.') > 0;
}

QString DefaultTitle(FileDialog::Kind kind) {
    return kind == FileDialog::Kind::Open ? QStringLiteral("開く") : QStringLiteral("名前を付けて保存");
}

} // namespace

FileDialog::FileDialog(Kind kind, QObject* parent) : QObject(parent), m_kind(kind) {}

void FileDialog::setDefaultExt(const QString& extension) {
    // The toolkit accepts ".mat" as well as "mat"; the dot must not end up doubled in the name.
    m_defaultExt = extension.startsWith(u'.') ? extension.mid(1) : extension;
}

FileDialog::Chooser FileDialog::SetChooser(Chooser chooser) {
    return std::exchange(InstalledChooser(), std::move(chooser));
}

QList<FileDialog::FilterEntry> FileDialog::FilterEntries() const {
    QList<FilterEntry> entries;
    const QStringList parts = m_filter.split(u'|');
    // A malformed filter (a description without patterns) loses only its incomplete last entry.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        FilterEntry entry{parts[i], {}};
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty())
                entry.patterns.append(trimmed);
        }
        entries.append(entry);
    }
    return entries;
}

QStringList FileDialog::QtNameFilters() const {
    QStringList filters;
    for (const FilterEntry& entry : FilterEntries()) {
        QStringList patterns;
        for (const QString& pattern : entry.patterns)
            patterns.append(pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        filters.append(QStringLiteral("%1 (%2)").arg(entry.description, patterns.join(u' ')));
    }
    return filters;
}

int FileDialog::ClampedFilterIndex(int index) const {
    const auto count = static_cast<int>(FilterEntries().size());
    if (count == 0 || index < 1)
        return 1;
    return index > count ? count : index;
}

QString FileDialog::CompleteFileName(const QString& chosen, int filterIndex) const {
    if (!m_addExtension || chosen.isEmpty() || HasExtension(chosen))
        return chosen;

    QStringList candidates;
    const QList<FilterEntry> entries = FilterEntries();
    const int index = ClampedFilterIndex(filterIndex);
    if (index <= entries.size()) {
        for (const QString& pattern : entries[index - 1].patterns) {
            if (!pattern.startsWith(QStringLiteral("*.")))
                continue;
            QString extension = pattern.mid(2);
            if (extension.isEmpty() || extension.contains(u'*') || extension.contains(u'?'))
                continue;
            if (!m_multiDotted && extension.contains(u'.'))
                extension = extension.mid(extension.lastIndexOf(u'.') + 1);
            candidates.append(extension);
        }
    }

    if (m_kind == Kind::Save) {
        const QString extension = candidates.isEmpty() ? m_defaultExt : candidates.first();
        return extension.isEmpty() ? chosen : chosen + u'.' + extension;
    }

    // An open dialog names a file that exists: an extension is added only where it makes one.
    if (!m_defaultExt.isEmpty())
        candidates.append(m_defaultExt);
    for (const QString& extension : candidates) {
        const QString completed = chosen + u'.' + extension;
        if (QFileInfo(completed).isFile())
            return completed;
    }
    return chosen;
}

std::optional<std::pair<QString, int>> FileDialog::AskUser(QWidget* owner) const {
    // The dialog's event loop may delete its owner, and with it this object or the dialog itself:
    // both are watched, and a choice that outlived them is a cancel.
    const QPointer<const FileDialog> self(this);
    const QPointer<QFileDialog> dialog =
        new QFileDialog(owner, m_title.isEmpty() ? DefaultTitle(m_kind) : m_title);
    const auto discard = [&dialog] {
        delete dialog.data();
        return std::nullopt;
    };
    dialog->setAcceptMode(m_kind == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode(m_kind == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The name the user typed may still gain an extension, so overwriting is confirmed below, for
    // the name that will actually be written.
    dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    // Qt's own dialog on every desktop: it shows the prompt in the name field the windows set, and
    // it behaves the same in the window tests.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);

    const QStringList filters = QtNameFilters();
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        dialog->selectNameFilter(filters[ClampedFilterIndex(m_filterIndex) - 1]);
    }

    const QFileInfo last(m_fileName);
    if (!m_fileName.isEmpty() && last.isAbsolute() && last.absoluteDir().exists())
        dialog->setDirectory(last.absolutePath());
    else if (!m_initialDirectory.isEmpty() && QDir(m_initialDirectory).exists())
        dialog->setDirectory(m_initialDirectory);
    else
        dialog->setDirectory(QDir::currentPath());
    if (!last.fileName().isEmpty())
        dialog->selectFile(last.fileName());
    else if (auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        nameField->setPlaceholderText(m_placeholder);

    for (;;) {
        const int result = dialog->exec();
        if (!dialog || !self || result != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return discard();
        const int index = static_cast<int>(filters.indexOf(dialog->selectedNameFilter())) + 1;
        const QString completed = CompleteFileName(dialog->selectedFiles().first(), index);
        if (m_kind == Kind::Save && QFileInfo::exists(completed)) {
            const auto answer = QMessageBox::warning(
                dialog, QStringLiteral("名前を付けて保存の確認"),
                QStringLiteral("%1 は既に存在します。\n上書きしますか?").arg(QFileInfo(completed).fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (!dialog || !self)
                return discard();
            if (answer != QMessageBox::Yes)
                continue;
        }
        delete dialog.data();
        return std::pair{completed, index < 1 ? 1 : index};
    }
}

FileDialog::Result FileDialog::ShowDialog(QWidget* owner) {
    // A copy, so that a chooser may replace itself while it runs.
    const Chooser chooser = InstalledChooser();
    const QPointer<FileDialog> self(this);
    const std::optional<std::pair<QString, int>> choice = chooser ? chooser(*this) : AskUser(owner);
    if (!self)
        return Result::Cancel;
    // No dialog confirms an empty name; taking one would hand the consumers a file that is no file.
    if (!choice || choice->first.isEmpty())
        return Result::Cancel;

    const int index = ClampedFilterIndex(choice->second);
    m_fileName = QFileInfo(CompleteFileName(choice->first, index)).absoluteFilePath();
    m_filterIndex = index;
    emit FileOk();
    return Result::OK;
}

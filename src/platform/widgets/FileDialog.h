// An open or save file dialog with the properties and behaviour of the Windows toolkit's dialogs, so
// that the windows keep a dialog object, read its file name and filter index after the user confirmed
// it, and find both again the next time the dialog is shown.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

class QWidget;

class FileDialog : public QObject {
    Q_OBJECT

public:
    enum class Kind { Open, Save };
    enum class Result { OK, Cancel };

    explicit FileDialog(Kind kind, QObject* parent = nullptr);

    Kind kind() const { return m_kind; }

    // "description|pattern;pattern|description|pattern", as the Windows toolkit writes filters.
    void setFilter(const QString& filter) { m_filter = filter; }
    QString filter() const { return m_filter; }
    // 1-based; the filter the user chose last.
    void setFilterIndex(int index) { m_filterIndex = index; }
    int filterIndex() const { return m_filterIndex; }
    // Shown in the name field when the dialog opens; the full path of the chosen file after OK.
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }
    // Shown greyed in an empty name field to say what to type; never taken as a name.
    void setPlaceholder(const QString& text) { m_placeholder = text; }
    QString placeholder() const { return m_placeholder; }
    // Without the dot.
    void setDefaultExt(const QString& extension);
    QString defaultExt() const { return m_defaultExt; }
    void setAddExtension(bool add) { m_addExtension = add; }
    bool addExtension() const { return m_addExtension; }
    // Empty: the system's own title for an open or a save dialog.
    void setTitle(const QString& title) { m_title = title; }
    QString title() const { return m_title; }
    void setSupportMultiDottedExtensions(bool support) { m_multiDotted = support; }
    bool supportMultiDottedExtensions() const { return m_multiDotted; }
    void setInitialDirectory(const QString& directory) { m_initialDirectory = directory; }
    QString initialDirectory() const { return m_initialDirectory; }

    // Modal. On OK the chosen file name and filter index are stored and FileOk is emitted before
    // this returns.
    Result ShowDialog(QWidget* owner);

    // Stands in for the user in tests: called with the dialog instead of showing one; nullopt is a
    // cancel, a pair the path typed or picked and the 1-based filter chosen. Returns the previous
    // chooser; an empty one shows real dialogs again.
    using Chooser = std::function<std::optional<std::pair<QString, int>>(const FileDialog&)>;
    static Chooser SetChooser(Chooser chooser);

signals:
    void FileOk();

private:
    // One (description, patterns) pair per filter; a description without patterns is dropped.
    struct FilterEntry {
        QString description;
        QStringList patterns;
    };
    QList<FilterEntry> FilterEntries() const;
    // The filters as the Qt dialog writes them, "description (*.x *.y)"; "*.*" matches every file.
    QStringList QtNameFilters() const;

    // The name as typed, with the extension added where the user left it out and this dialog adds one.
    QString CompleteFileName(const QString& chosen, int filterIndex) const;

    int ClampedFilterIndex(int index) const;
    std::optional<std::pair<QString, int>> AskUser(QWidget* owner) const;

    Kind m_kind;
    QString m_filter;
    int m_filterIndex = 1;
    QString m_fileName;
    QString m_placeholder;
    QString m_defaultExt;
    bool m_addExtension = true;
    QString m_title;
    bool m_multiDotted = false;
    QString m_initialDirectory;
};

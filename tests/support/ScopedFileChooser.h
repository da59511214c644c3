// Answers every file dialog shown while it lives, in place of the user, and counts the dialogs.
#pragma once

#include "FileDialog.h"

#include <deque>
#include <optional>
#include <utility>

class ScopedFileChooser {
public:
    using Answer = std::optional<std::pair<QString, int>>;

    ScopedFileChooser() {
        m_previous = FileDialog::SetChooser([this](const FileDialog& dialog) -> Answer {
            ++m_shown;
            m_lastFileName = dialog.fileName();
            m_lastFilterIndex = dialog.filterIndex();
            if (m_answers.empty())
                return std::nullopt;
            Answer answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
    }
    ~ScopedFileChooser() { FileDialog::SetChooser(std::move(m_previous)); }
    ScopedFileChooser(const ScopedFileChooser&) = delete;
    ScopedFileChooser& operator=(const ScopedFileChooser&) = delete;

    void Choose(const QString& path, int filterIndex = 1) {
        m_answers.emplace_back(std::pair{path, filterIndex});
    }
    void Cancel() { m_answers.emplace_back(std::nullopt); }

    int Shown() const { return m_shown; }
    // What the dialog held when it was last shown.
    QString LastFileName() const { return m_lastFileName; }
    int LastFilterIndex() const { return m_lastFilterIndex; }

private:
    FileDialog::Chooser m_previous;
    std::deque<Answer> m_answers;
    int m_shown = 0;
    QString m_lastFileName;
    int m_lastFilterIndex = 0;
};

// A list of entries with a check box each and at most one selected entry, with the Windows
// toolkit's index-based interface. An index outside the list changes nothing and reads as an empty,
// unchecked entry, so that a stale index never brings the editor down.
#pragma once

#include <QListWidget>
#include <QString>

class CheckedListBox : public QListWidget {
    Q_OBJECT

public:
    explicit CheckedListBox(QWidget* parent = nullptr);

    int Count() const;
    // Appends an unchecked entry.
    void Add(const QString& text);
    // Before the entry at index; index Count() appends.
    void Insert(int index, const QString& text);
    // Removing the selected entry leaves nothing selected.
    void RemoveAt(int index);
    void Clear();

    QString Item(int index) const;
    void SetItem(int index, const QString& text);

    bool GetItemChecked(int index) const;
    void SetItemChecked(int index, bool checked);

    // -1 when nothing is selected.
    int SelectedIndex() const;
    // -1 clears the selection.
    void SetSelectedIndex(int index);

private:
    bool IsValid(int index) const { return index >= 0 && index < Count(); }
};

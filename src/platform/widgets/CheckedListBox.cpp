#include "CheckedListBox.h"

CheckedListBox::CheckedListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every entry is one line of text with a check box. Saying so spares the view from measuring every
    // entry again on each selection change, which made opening a map of thousands of objects take minutes.
    setUniformItemSizes(true);
}

int CheckedListBox::Count() const {
    return count();
}

void CheckedListBox::Add(const QString& text) {
    Insert(Count(), text);
}

void CheckedListBox::Insert(int index, const QString& text) {
    if (index < 0 || index > Count())
        return;
    auto* item = new QListWidgetItem(text);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    insertItem(index, item);
}

void CheckedListBox::RemoveAt(int index) {
    if (!IsValid(index))
        return;
    const bool wasSelected = index == SelectedIndex();
    delete takeItem(index);
    // Qt moves the current entry to a neighbour and may select it; the editor would then edit an
    // object the user never chose.
    if (wasSelected)
        SetSelectedIndex(-1);
}

void CheckedListBox::Clear() {
    clear();
}

QString CheckedListBox::Item(int index) const {
    return IsValid(index) ? item(index)->text() : QString();
}

void CheckedListBox::SetItem(int index, const QString& text) {
    if (IsValid(index))
        item(index)->setText(text);
}

bool CheckedListBox::GetItemChecked(int index) const {
    return IsValid(index) && item(index)->checkState() == Qt::Checked;
}

void CheckedListBox::SetItemChecked(int index, bool checked) {
    if (IsValid(index))
        item(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

int CheckedListBox::SelectedIndex() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void CheckedListBox::SetSelectedIndex(int index) {
    if (index == -1) {
        clearSelection();
        setCurrentRow(-1, QItemSelectionModel::NoUpdate);
        return;
    }
    if (IsValid(index))
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

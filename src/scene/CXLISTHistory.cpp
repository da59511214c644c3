// The object list's side of undo and redo: turning each edit into a step of records, and putting the
// records back. A step names list positions, not objects, so it survives the device rebuild, which
// re-creates every object in place.
#include "CXLIST.h"

#include "CAPP.h"
#include "CheckedListBox.h"
#include "DZGetAction.h"
#include "DocumentMenus.h"
#include "MyForm.h"
#include "Win32Input.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>

#include <cstring>
#include <filesystem>
#include <utility>

namespace {

bool MainWindowActive() {
    CAPP& app = CAPP::GetInstance();
    return app.GetMainForm() != nullptr && GetActiveWindow() == app.GetMainWnd();
}

// Ctrl+Z in a number or name field undoes the typing, not the scene.
bool TypingInAField() {
    QWidget* focus = QApplication::focusWidget();
    return qobject_cast<QLineEdit*>(focus) != nullptr || qobject_cast<QAbstractSpinBox*>(focus) != nullptr;
}

bool Down(int state) {
    return state == DZACTION_PUSH || state == DZACTION_HOLD;
}

// Each update writes the position into the translation row, so a translation that only catches up
// with the position is no change; anything else is compared bit for bit.
bool SameTransform(const D3DXMATRIX& world, const D3DXVECTOR3& pos, const D3DXMATRIX& otherWorld,
                   const D3DXVECTOR3& otherPos) {
    if (std::memcmp(&pos, &otherPos, sizeof pos) != 0)
        return false;
    for (int i = 0; i < 16; ++i)
        if (i != 12 && i != 13 && i != 14 &&
            std::memcmp(&world.m[i / 4][i % 4], &otherWorld.m[i / 4][i % 4], 4))
            return false;
    return true;
}

const char* EditVerb(int editType) {
    switch (editType) {
    case 1:
        return "回転";
    case 2:
        return "拡大";
    default:
        return "移動";
    }
}

// What will have changed the selected object's matrix by the end of the frame.
std::string MatrixCause(MyForm& form) {
    if (form.GetTransFlg() || form.GetRotFlg() || form.GetScaleFlg() || form.GetPasteFlg())
        return "行列の適用";
    if (form.GetMatrixOpenFlg())
        return "行列ファイル";
    if (form.IsMatrixIdentyRequested())
        return "行列の初期化";
    return EditVerb(form.GetSelectEdit());
}

} // namespace

int CXLIST::ListSelection() const {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    return form != nullptr ? form->checkedListBox1->SelectedIndex() : -1;
}

SceneObjectRecord CXLIST::RecordOf(std::size_t index) const {
    const CXData& object = *m_vecXData[index];
    SceneObjectRecord record{object.GetFilename(), *const_cast<CXData&>(object).GetWorld(), object.GetPos(),
                             std::string(), true};
    if (MyForm* form = CAPP::GetInstance().GetMainForm()) {
        record.name = form->checkedListBox1->Item(static_cast<int>(index)).toStdString();
        record.checked = form->checkedListBox1->GetItemChecked(static_cast<int>(index));
    }
    return record;
}

void CXLIST::PushStep(SceneStep step) {
    m_History.Push(std::move(step));
}

void CXLIST::PushAppended(std::size_t first, int selectionBefore, const std::string& label) {
    SceneStep step;
    step.label = label;
    step.selectionBefore = selectionBefore;
    step.selectionAfter = ListSelection();
    step.changes.reserve(m_vecXData.size() - first);
    for (std::size_t i = first; i < m_vecXData.size(); ++i)
        step.changes.push_back(SceneChange{i, std::nullopt, RecordOf(i)});
    PushStep(std::move(step));
    RememberCheckMarks();
}

void CXLIST::Ctrl_Z_Y() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return;
    CAPP& app = CAPP::GetInstance();
    DZGetAction('Z', &m_iZKey);
    DZGetAction('Y', &m_iYKey);
    bool undo = form->GetUndoFlg();
    bool redo = form->GetRedoFlg();
    form->SetUndoFlg(false);
    form->SetRedoFlg(false);
    if (MainWindowActive() && !TypingInAField() && Down(app.GetCtrlKey())) {
        const bool shift = Down(app.GetShiftKey());
        if (m_iZKey == DZACTION_PUSH)
            (shift ? redo : undo) = true;
        if (m_iYKey == DZACTION_PUSH)
            redo = true;
    }
    if (!undo && !redo)
        return;
    // Not in the middle of a drag: the object would go on following the mouse from where the step put it.
    if (Down(app.GetMouseButton().Left.iState))
        return;
    CommitMatrixChange(false);
    if (undo)
        Undo();
    if (redo)
        Redo();
}

bool CXLIST::Undo() {
    const SceneStep* step = m_History.Undo();
    if (step != nullptr)
        ApplyStep(*step, true);
    return step != nullptr;
}

bool CXLIST::Redo() {
    const SceneStep* step = m_History.Redo();
    if (step != nullptr)
        ApplyStep(*step, false);
    return step != nullptr;
}

void CXLIST::ApplyStep(const SceneStep& step, bool undo) {
    const auto apply = [this](const SceneChange& change, const std::optional<SceneObjectRecord>& from,
                              const std::optional<SceneObjectRecord>& to) {
        if (!from && to)
            InsertObject(change.index, *to);
        else if (from && !to)
            RemoveObject(change.index);
        else if (to)
            SetObject(change.index, *to);
    };
    if (undo)
        for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change)
            apply(*change, change->after, change->before);
    else
        for (const SceneChange& change : step.changes)
            apply(change, change.before, change.after);
    Renumber();

    const int selection = undo ? step.selectionBefore : step.selectionAfter;
    if (MyForm* form = CAPP::GetInstance().GetMainForm())
        form->checkedListBox1->SetSelectedIndex(selection < static_cast<int>(m_vecXData.size()) ? selection
                                                                                                : -1);
    m_uNowSelectID = static_cast<unsigned int>(ListSelection());
    m_iLastSelection = ListSelection();
    RememberCheckMarks();
    m_pWatched = nullptr;
    m_bDragStep = false;
    m_bChanged = true;
}

void CXLIST::InsertObject(std::size_t index, const SceneObjectRecord& record) {
    index = std::min(index, m_vecXData.size());
    // The mesh comes from the cache by its path, as for a map record.
    Fieldsmith::_TAG_MAPDATA data(record.path, record.world);
    auto* object = new CXData(&data);
    object->SetPos(record.pos);
    m_vecXData.insert(m_vecXData.begin() + static_cast<std::ptrdiff_t>(index), object);
    if (MyForm* form = CAPP::GetInstance().GetMainForm()) {
        form->checkedListBox1->Insert(static_cast<int>(index), QString::fromStdString(record.name));
        form->checkedListBox1->SetItemChecked(static_cast<int>(index), record.checked);
    }
}

void CXLIST::RemoveObject(std::size_t index) {
    if (index >= m_vecXData.size())
        return;
    if (m_vecXData[index] == m_pWatched)
        m_pWatched = nullptr;
    delete m_vecXData[index];
    m_vecXData.erase(m_vecXData.begin() + static_cast<std::ptrdiff_t>(index));
    if (MyForm* form = CAPP::GetInstance().GetMainForm())
        form->checkedListBox1->RemoveAt(static_cast<int>(index));
}

void CXLIST::SetObject(std::size_t index, const SceneObjectRecord& record) {
    if (index >= m_vecXData.size())
        return;
    CXData& object = *m_vecXData[index];
    object.SetWorld(&record.world);
    object.SetPos(record.pos);
    if (MyForm* form = CAPP::GetInstance().GetMainForm()) {
        CheckedListBox& list = *form->checkedListBox1;
        const QString name = QString::fromStdString(record.name);
        if (list.Item(static_cast<int>(index)) != name)
            list.SetItem(static_cast<int>(index), name);
        list.SetItemChecked(static_cast<int>(index), record.checked);
    }
}

void CXLIST::RememberCheckMarks() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return;
    const CheckedListBox& list = *form->checkedListBox1;
    m_vecChecked.resize(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        m_vecChecked[static_cast<std::size_t>(i)] = list.GetItemChecked(i);
}

void CXLIST::NoticeCheckMarks() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return;
    const CheckedListBox& list = *form->checkedListBox1;
    if (m_vecChecked.size() != static_cast<std::size_t>(list.Count()) ||
        m_vecChecked.size() != m_vecXData.size()) {
        RememberCheckMarks();
        return;
    }
    for (std::size_t i = 0; i < m_vecChecked.size(); ++i) {
        const bool checked = list.GetItemChecked(static_cast<int>(i));
        if (checked == m_vecChecked[i])
            continue;
        SceneStep step;
        SceneObjectRecord after = RecordOf(i);
        SceneObjectRecord before = after;
        before.checked = !checked;
        step.label = (checked ? "表示 " : "非表示 ") + after.name;
        step.changes.push_back(SceneChange{i, std::move(before), std::move(after)});
        step.selectionBefore = m_iLastSelection;
        step.selectionAfter = ListSelection();
        PushStep(std::move(step));
        m_vecChecked[i] = checked;
    }
}

void CXLIST::WatchSelected(bool frameStart) {
    CXData* selected = Selected();
    if (selected == m_pWatched && selected != nullptr && (m_bDragStep || !frameStart))
        return;
    // Between frames nothing edits the scene, so a new frame without a drag in progress starts afresh.
    if (m_bDragStep || !frameStart)
        CommitMatrixChange(false);
    m_pWatched = selected;
    m_bDragStep = false;
    if (selected == nullptr)
        return;
    m_mWatchedWorld = *selected->GetWorld();
    m_vWatchedPos = selected->GetPos();
    m_iWatchedSelection = static_cast<int>(m_uNowSelectID);
    if (MyForm* form = CAPP::GetInstance().GetMainForm())
        m_strMatrixLabel = MatrixCause(*form);
}

void CXLIST::CommitMatrixChange(bool frameEnd) {
    if (m_pWatched == nullptr)
        return;
    const auto index = static_cast<std::size_t>(m_pWatched->GetID());
    if (index >= m_vecXData.size() || m_vecXData[index] != m_pWatched) {
        m_pWatched = nullptr;
        m_bDragStep = false;
        return;
    }
    const bool dragging = Down(CAPP::GetInstance().GetMouseButton().Left.iState);
    const bool same =
        SameTransform(*m_pWatched->GetWorld(), m_pWatched->GetPos(), m_mWatchedWorld, m_vWatchedPos);
    if (same) {
        m_bDragStep = m_bDragStep && dragging;
        return;
    }
    // A drag is one step from button down to button up.
    if (frameEnd && dragging) {
        m_bDragStep = true;
        return;
    }
    SceneStep step;
    SceneObjectRecord after = RecordOf(index);
    SceneObjectRecord before = after;
    before.world = m_mWatchedWorld;
    before.pos = m_vWatchedPos;
    step.label = m_strMatrixLabel + " " + after.name;
    step.selectionBefore = m_iWatchedSelection;
    step.selectionAfter = ListSelection();
    m_mWatchedWorld = after.world;
    m_vWatchedPos = after.pos;
    step.changes.push_back(SceneChange{index, std::move(before), std::move(after)});
    PushStep(std::move(step));
    m_bDragStep = false;
    if (MyForm* form = CAPP::GetInstance().GetMainForm())
        m_strMatrixLabel = MatrixCause(*form);
}

void CXLIST::ShowHistoryOnMenu() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr || form->undoItem == nullptr ||
        (m_History.Position() == m_uShownPosition && m_History.Size() == m_uShownSize))
        return;
    m_uShownPosition = m_History.Position();
    m_uShownSize = m_History.Size();
    const SceneStep* undo = m_History.NextUndo();
    const SceneStep* redo = m_History.NextRedo();
    DocumentMenus::ShowHistory(*form, undo ? QString::fromStdString(undo->label) : QString(),
                               redo ? QString::fromStdString(redo->label) : QString());
}

void CXLIST::NoteMapFile(MapFileEvent::Kind kind, const std::string& path) {
    m_vecMapEvents.push_back(MapFileEvent{kind, path});
}

std::vector<CXLIST::MapFileEvent> CXLIST::TakeMapFileEvents() {
    return std::exchange(m_vecMapEvents, {});
}

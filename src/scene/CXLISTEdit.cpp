// The object commands: add, copy, paste, delete, and the per-component apply commands of the matrix
// clipboard.
#include "CXLIST.h"

#include "CAPP.h"
#include "CheckedListBox.h"
#include "DZGetAction.h"
#include "MyForm.h"
#include "Win32Input.h"
#include "XFileProblem.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>

#include <cmath>

namespace {

bool MainWindowActive() {
    CAPP& app = CAPP::GetInstance();
    return app.GetMainForm() != nullptr && GetActiveWindow() == app.GetMainWnd();
}

// Delete also edits text; in a number or name field it must not destroy the selected object.
bool TypingInAField() {
    QWidget* focus = QApplication::focusWidget();
    return qobject_cast<QLineEdit*>(focus) != nullptr || qobject_cast<QAbstractSpinBox*>(focus) != nullptr;
}

bool HasMesh(CXData& object) {
    return object.GetXData() != nullptr && object.GetXData()->GetMesh() != nullptr;
}

} // namespace

void CXLIST::AddXData() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr || !form->GetXFileOpenFlg())
        return;
    auto* object = new CXData(0, nullptr);
    if (!HasMesh(*object)) {
        const std::string fileName = object->GetFilename();
        form->SetXFileOpenFlg(false);
        delete object;
        // An X file that does not load is a broken model, not a map: the X reader says what is wrong.
        if (XFileProblem::HasXSignature(fileName)) {
            XFileProblem::Report(fileName);
            return;
        }
        // Not a model: the same command opens map files, dropped or chosen.
        OpenMapFile(fileName.c_str());
        return;
    }
    CommitMatrixChange(false);
    const int selectionBefore = form->checkedListBox1->SelectedIndex();
    m_vecXData.push_back(object);
    Renumber();
    NameAndSelectNewest(*form, "OBJ");
    form->SetXFileOpenFlg(false);
    m_bChanged = true;
    PushAppended(m_vecXData.size() - 1, selectionBefore, "追加 " + RecordOf(m_vecXData.size() - 1).name);
}

void CXLIST::CopyXData() {
    if (!MainWindowActive())
        return;
    CAPP& app = CAPP::GetInstance();
    MyForm& form = *app.GetMainForm();
    const bool ctrlHeld = app.GetCtrlKey() == DZACTION_HOLD;

    // Not while the left button is held: the paste would land under a drag in progress.
    if (ctrlHeld && app.GetVKey() == DZACTION_PUSH && app.GetMouseButton().Left.iState == DZACTION_NONE &&
        m_bClipValid)
        Paste();
    if (form.GetObjPaste()) {
        form.SetObjPaste(false);
        if (m_bClipValid)
            Paste();
    }
    if (m_vecXData.empty())
        return;

    if (ctrlHeld && app.GetCKey() == DZACTION_PUSH)
        Copy();
    if (form.GetObjCopy()) {
        form.SetObjCopy(false);
        Copy();
    }
    ApplyCopiedMatrix(form);
}

void CXLIST::ApplyCopiedMatrix(MyForm& form) {
    // A request made with nothing selected is dropped, so that it does not act on whatever the user
    // selects next.
    CXData* selected = Selected();
    if (form.GetAllFlg()) {
        if (selected != nullptr)
            m_mCopyMatrix = *selected->GetWorld();
        form.SetAllFlg(false);
    }
    if (form.GetTransFlg()) {
        if (selected != nullptr) {
            selected->SetPos(D3DXVECTOR3(m_mCopyMatrix._41, m_mCopyMatrix._42, m_mCopyMatrix._43));
            m_bChanged = true;
        }
        form.SetTransFlg(false);
    }
    if (form.GetRotFlg()) {
        if (selected != nullptr) {
            // The copied orientation with the object's own scale and position.
            D3DZCMATRIX& world = *selected->GetWorld();
            const D3DZCVECTOR3 scale = world.GetScale();
            D3DZCMATRIX turned = m_mCopyMatrix;
            turned.NormalizeRotation();
            D3DZCMATRIX result = world;
            const float factors[3] = {scale.x, scale.y, scale.z};
            for (int row = 0; row < 3; ++row)
                for (int column = 0; column < 4; ++column)
                    result.m[row][column] = turned.m[row][column] * factors[row];
            // A copied matrix with a collapsed axis has no orientation to give.
            if (IsFinite(result)) {
                world = result;
                m_bChanged = true;
            }
        }
        form.SetRotFlg(false);
    }
    if (form.GetScaleFlg()) {
        if (selected != nullptr) {
            D3DZCMATRIX& world = *selected->GetWorld();
            world._11 = m_mCopyMatrix.GetScaleX();
            world._22 = m_mCopyMatrix.GetScaleY();
            world._33 = m_mCopyMatrix.GetScaleZ();
            m_bChanged = true;
        }
        form.SetScaleFlg(false);
    }
    if (form.GetPasteFlg()) {
        if (selected != nullptr) {
            selected->SetWorld(&m_mCopyMatrix);
            selected->SetPos(D3DXVECTOR3(m_mCopyMatrix._41, m_mCopyMatrix._42, m_mCopyMatrix._43));
            m_bChanged = true;
        }
        form.SetPasteFlg(false);
    }
}

void CXLIST::Copy() {
    CXData* selected = Selected();
    if (selected == nullptr)
        return;
    m_ClipData.name = selected->GetFilename();
    m_ClipData.world = *selected->GetWorld();
    m_bClipValid = true;
}

void CXLIST::Paste() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return;
    CommitMatrixChange(false);
    const int selectionBefore = form->checkedListBox1->SelectedIndex();
    m_vecXData.push_back(new CXData(&m_ClipData));
    RenumberAndUpdate();
    NameAndSelectNewest(*form, "OBJ");
    m_bChanged = true;
    PushAppended(m_vecXData.size() - 1, selectionBefore, "貼り付け " + RecordOf(m_vecXData.size() - 1).name);
}

void CXLIST::DeleteXData() {
    CAPP& app = CAPP::GetInstance();
    MyForm* form = app.GetMainForm();
    if (form == nullptr)
        return;
    if (m_uNowSelectID == static_cast<unsigned int>(-1)) {
        form->SetObjDelete(false);
        return;
    }
    const bool key = app.GetDeleteKey() == DZACTION_PUSH && MainWindowActive() && !TypingInAField();
    if (!key && !form->GetObjDelete())
        return;
    form->SetObjDelete(false);
    if (m_vecXData.empty() || m_uNowSelectID >= m_vecXData.size())
        return;

    CommitMatrixChange(false);
    SceneStep step;
    step.changes.push_back(SceneChange{m_uNowSelectID, RecordOf(m_uNowSelectID), std::nullopt});
    step.label = "削除 " + step.changes.front().before->name;
    step.selectionBefore = static_cast<int>(m_uNowSelectID);
    if (m_vecXData[m_uNowSelectID] == m_pWatched)
        m_pWatched = nullptr;
    delete m_vecXData[m_uNowSelectID];
    m_vecXData.erase(m_vecXData.begin() + m_uNowSelectID);
    CheckedListBox& list = *form->checkedListBox1;
    list.RemoveAt(static_cast<int>(m_uNowSelectID));
    // The item above takes the selection; deleting the first leaves none.
    --m_uNowSelectID;
    list.SetSelectedIndex(static_cast<int>(m_uNowSelectID));
    RenumberAndUpdate();
    m_bChanged = true;
    step.selectionAfter = list.SelectedIndex();
    PushStep(std::move(step));
    RememberCheckMarks();
}

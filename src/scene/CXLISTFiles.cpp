// The scene's way to and from map, matrix and matrix-list files. A file that cannot be read or written
// is always reported: a save that silently fails passes for saved, and a load that silently fails
// looks like a file with nothing in it.
#include "CXLIST.h"

#include "CAPP.h"
#include "CLIStringToChar.h"
#include "CheckedListBox.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "MyForm.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

const char* const CXLIST::kLoadErrorText =
    "[Error] LoadError\n[Error "
    "Case]XFILEまたはMapファイルを読み込めませんでした。\n[Approach]ファイルを確認してください。";
const char* const CXLIST::kSaveErrorText =
    "[Error] SaveError\n[Error Case]ファイルを保存できませんでした。\n[Approach]保存先を確認してください。";
const char* const CXLIST::kCaption = "Information";

namespace {

void Tell(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), CXLIST::kCaption, MB_OK);
}

// A map record names its model in braces and gives its matrix in parentheses after them:
// XFileName{tree.x},Matrix(1,0,...);. Words of a text or the bytes of a picture never read that way.
bool InMapForm(const std::string& token) {
    const auto open = token.find('{');
    const auto close = open == std::string::npos ? open : token.find('}', open + 1);
    return close != std::string::npos && token.find('(', close + 1) != std::string::npos;
}

bool HoldsAMapRecord(const char* filename) {
    std::ifstream file(filename, std::ios::binary);
    std::string token;
    while (file >> token)
        if (InMapForm(token))
            return true;
    return false;
}

} // namespace

bool CXLIST::OpenMapFile(const char* filename) {
    return OpenMap(filename, false);
}

bool CXLIST::OpenRecoveredMap(const char* filename) {
    return OpenMap(filename, true);
}

// A recovered map is not the user's file: it becomes no current map file, and the scene stays modified.
bool CXLIST::OpenMap(const char* filename, bool recovered) {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return false;
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    if (filename == nullptr || !Fieldsmith::LoadMapFile(filename, records)) {
        Tell(kLoadErrorText);
        if (filename != nullptr && !recovered)
            NoteMapFile(MapFileEvent::Unreadable, filename);
        return false;
    }
    // Read as a map, any file is a list of records; one of which no record has a map's form is some
    // other file, and its words are no missing models.
    if (!records.empty() && !HoldsAMapRecord(filename)) {
        Tell(std::string(kLoadErrorText) + "\n" + filename + "\nXFILEでもMapファイルでもありません。");
        return false;
    }
    CommitMatrixChange(false);
    // Opened into an empty scene that nothing has changed, the scene is the file.
    const bool fresh = m_vecXData.empty() && !m_History.IsModified();
    const std::size_t first = m_vecXData.size();
    const int selectionBefore = form->checkedListBox1->SelectedIndex();

    // Every object is renumbered and updated after each record is added. Only the first updates can
    // change anything: the first takes the pop-up's entry and the matrix reset, the first two take
    // the mouse movement, and one pass over the objects settles each one's Shift-notch count. After
    // that every update leaves its object as it is, so the open stays linear in the records.
    bool settled = false;
    std::size_t updates = 0;
    std::vector<std::string> failures;
    std::size_t failureCount = 0;
    std::size_t added = 0;
    for (Fieldsmith::_TAG_MAPDATA& record : records) {
        auto* object = new CXData(&record);
        if (object->GetXData() == nullptr || object->GetXData()->GetMesh() == nullptr) {
            form->SetMapOpenFlg(false);
            delete object;
            if (failures.size() < kMaxListedFailures)
                failures.push_back(record.name);
            ++failureCount;
            continue;
        }
        m_vecXData.push_back(object);
        if (!settled) {
            RenumberAndUpdate();
            updates += m_vecXData.size();
            settled = updates >= 2;
        } else {
            object->SetID(static_cast<int>(m_vecXData.size() - 1));
        }
        // Selecting each new entry would make the list lay out all its entries again every time;
        // nothing reads the selection before the open ends, so the last entry is selected once.
        NameAndSelectNewest(*form, "MapObj", false);
        ++added;
        m_bChanged = true;
    }
    if (added > 0) {
        form->checkedListBox1->SetSelectedIndex(form->checkedListBox1->Count() - 1);
        const std::string file = std::filesystem::path(filename).filename().string();
        PushAppended(first, selectionBefore, (recovered ? "復元 " : "マップを開く ") + file);
    }
    // A file none of whose records loaded is not a map this scene came from.
    if (!recovered && added > 0) {
        NoteMapFile(MapFileEvent::Opened, filename);
        if (fresh && added > 0 && failureCount == 0)
            m_History.MarkSaved();
    }

    // One message for the whole file: a file that is not a map at all fails on every token.
    if (failureCount > 0) {
        std::string text = kLoadErrorText;
        for (const std::string& name : failures)
            text += "\n" + name;
        if (failureCount > failures.size())
            text += "\nほか" + std::to_string(failureCount - failures.size()) + "件";
        Tell(text);
    }
    return true;
}

bool CXLIST::SaveMapFile(const char* filename) {
    // An edit of this frame belongs to what is saved, not to what comes after the save.
    CommitMatrixChange(false);
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    records.reserve(m_vecXData.size());
    for (CXData* object : m_vecXData)
        records.emplace_back(object->GetFilename(), *object->GetWorld());
    if (filename == nullptr || !Fieldsmith::SaveMapFile(filename, records)) {
        Tell(kSaveErrorText);
        return false;
    }
    m_History.MarkSaved();
    NoteMapFile(MapFileEvent::Saved, filename);
    return true;
}

bool CXLIST::LoadMatrixFile(const char* filename) {
    CXData* selected = Selected();
    if (selected == nullptr)
        return false;
    D3DXMATRIX loaded;
    D3DXMatrixIdentity(&loaded);
    // A matrix that is not all numbers would leave an object nothing can draw or edit back.
    if (filename == nullptr || !Fieldsmith::LoadMatrixFile(filename, &loaded) || !IsFinite(loaded)) {
        Tell(kLoadErrorText);
        return false;
    }
    selected->SetWorld(&loaded);
    selected->SetPos(TranslationOf(loaded));
    m_bChanged = true;
    return true;
}

void CXLIST::SaveMatrixFile() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr || !form->GetZorvFileSaveFlg())
        return;
    CXData* selected = Selected();
    if (selected == nullptr)
        return;
    const int filter = form->saveFileDialog2->filterIndex();
    if (filter == 1 || filter == 2) {
        const std::string fileName = CLIStringToChar(form->saveFileDialog2->fileName());
        if (!Fieldsmith::SaveMatrixFile(fileName, selected->GetWorld(), filter == 2))
            Tell(kSaveErrorText);
    }
    form->SetZorvFileSaveFlg(false);
}

void CXLIST::SaveMatrixList() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr || !form->GetMatrixFileListFlg())
        return;
    const int filter = form->saveFileDialog8->filterIndex();
    if (filter == 1 || filter == 2) {
        std::vector<D3DXMATRIX> matrices;
        matrices.reserve(m_vecXData.size());
        for (CXData* object : m_vecXData)
            matrices.push_back(*object->GetWorld());
        const std::string fileName = CLIStringToChar(form->saveFileDialog8->fileName());
        if (!Fieldsmith::SaveMatrixListFile(fileName, matrices, filter == 2))
            Tell(kSaveErrorText);
    }
    form->SetMatrixFileListFlg(false);
}

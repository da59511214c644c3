#include "MapDocument.h"

#include "CAPP.h"
#include "CXLIST.h"
#include "DZGetAction.h"
#include "DocumentMenus.h"
#include "MessageBox.h"
#include "MyForm.h"
#include "Win32Input.h"
#include "Win32Time.h"

#include <vector>

namespace {

const char* const kRecoverText = "前回の編集内容が自動保存されています。復元しますか？";

bool Down(int state) {
    return state == DZACTION_PUSH || state == DZACTION_HOLD;
}

std::vector<Fieldsmith::_TAG_MAPDATA> Records(const CXLIST& list) {
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    records.reserve(list.GetMaxSize());
    for (unsigned int i = 0; i < list.GetMaxSize(); ++i)
        records.push_back(list.GetMapData(static_cast<int>(i)));
    return records;
}

} // namespace

MapDocument::Places MapDocument::Places::FromEnvironment() {
    return Places{AutosaveFile::DefaultFolder(), RecentMaps::DefaultSettingsFile(),
                  AutosaveFile::IntervalSeconds()};
}

MapDocument& MapDocument::GetInstance() {
    static MapDocument document;
    return document;
}

void MapDocument::Start(const Places& places) {
    CAPP& app = CAPP::GetInstance();
    MyForm* form = app.GetMainForm();
    if (form == nullptr)
        return;
    m_recent = std::make_unique<RecentMaps>(places.settingsFile);
    ShowRecent(*form);
    m_autosaveSeconds = places.autosaveSeconds;
    m_autosave = std::make_unique<AutosaveFile>(places.autosaveFolder);
    m_autosave->Claim();
    m_lastAutosave = timeGetTime();
    OfferOrphans(*form, app.GetXList());
}

void MapDocument::OfferOrphans(MyForm& form, CXLIST& list) {
    for (AutosaveFile::Orphan& orphan : m_autosave->FindOrphans()) {
        const bool recover = MessageBoxA(form.Handle(), kRecoverText, "Information", MB_YESNO) == IDYES;
        // Recovered, the scene holds it and is written to this editor's own autosave at once; only
        // then does the old file go. Declined, or not written, it stays under a name with its date.
        bool kept = recover && list.OpenRecoveredMap(orphan.map.string().c_str()) && WriteAutosave(list);
        if (kept) {
            std::error_code error;
            std::filesystem::remove(orphan.map, error);
        } else {
            AutosaveFile::KeepWithDate(orphan);
        }
        AutosaveFile::Drop(orphan);
    }
}

void MapDocument::Run() {
    CAPP& app = CAPP::GetInstance();
    MyForm* form = app.GetMainForm();
    if (form == nullptr || form->IsClosed())
        return;
    CXLIST& list = app.GetXList();
    bool saved = TakeMapFileEvents(list);

    DZGetAction('S', &m_iSKey);
    if (m_iSKey == DZACTION_PUSH && Down(app.GetCtrlKey()) && GetActiveWindow() == app.GetMainWnd())
        DocumentMenus::RequestOverwriteSave(*form);
    if (form->GetOverwriteSaveFlg()) {
        form->SetOverwriteSaveFlg(false);
        if (!m_current.isEmpty())
            list.SaveMapFile(m_current.toStdString().c_str());
        saved = TakeMapFileEvents(list) || saved;
    }
    if (form->GetSaveAndCloseFlg()) {
        form->SetSaveAndCloseFlg(false);
        // Saved through the map save dialog in this frame, or now to the current map file.
        if (!saved && !m_current.isEmpty())
            saved = list.SaveMapFile(m_current.toStdString().c_str());
        TakeMapFileEvents(list);
        if (saved) {
            form->CloseConfirmed();
            return;
        }
    }
    RunAutosave(list);
    form->SetDocumentState(m_current, list.GetHistory().IsModified());
}

bool MapDocument::TakeMapFileEvents(CXLIST& list) {
    bool saved = false;
    bool recentChanged = false;
    for (const CXLIST::MapFileEvent& event : list.TakeMapFileEvents()) {
        const QString path = QString::fromStdString(event.path);
        if (event.kind == CXLIST::MapFileEvent::Unreadable) {
            if (m_recent)
                m_recent->Remove(path);
            recentChanged = true;
            continue;
        }
        m_current = path;
        saved = saved || event.kind == CXLIST::MapFileEvent::Saved;
        if (m_recent)
            m_recent->Add(path);
        recentChanged = true;
    }
    if (recentChanged)
        if (MyForm* form = CAPP::GetInstance().GetMainForm())
            ShowRecent(*form);
    return saved;
}

void MapDocument::RunAutosave(CXLIST& list) {
    if (!m_autosave)
        return;
    const DWORD now = timeGetTime();
    const SceneHistory& history = list.GetHistory();
    if (!history.IsModified()) {
        // Saved: what the autosave held is in the user's file now.
        if (m_autosaveWritten)
            m_autosave->RemoveMap();
        m_autosaveWritten = false;
        m_lastAutosave = now;
        return;
    }
    if (m_autosaveSeconds == 0 || now - m_lastAutosave < m_autosaveSeconds * 1000u)
        return;
    m_lastAutosave = now;
    if (!m_autosaveWritten || history.Position() != m_autosavedPosition)
        WriteAutosave(list);
}

bool MapDocument::WriteAutosave(CXLIST& list) {
    if (!m_autosave || !m_autosave->Write(Records(list)))
        return false;
    m_autosaveWritten = true;
    m_autosavedPosition = list.GetHistory().Position();
    return true;
}

void MapDocument::Abandon() {
    CXLIST& list = CAPP::GetInstance().GetXList();
    if (m_autosave && list.GetHistory().IsModified() && WriteAutosave(list)) {
        // The lock goes with the process; the map stays for the next start to find.
        m_autosave.reset();
        m_autosaveWritten = false;
    }
    Finish();
}

void MapDocument::Finish() {
    if (m_autosave)
        m_autosave->Remove();
    m_autosave.reset();
    m_recent.reset();
    m_current.clear();
    m_autosaveWritten = false;
    m_iSKey = 0;
}

void MapDocument::ShowRecent(MyForm& form) {
    if (m_recent)
        DocumentMenus::ShowRecentMaps(form, m_recent->Paths());
}

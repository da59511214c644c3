// The editor's document: the current map file (the last map opened or saved), whether the scene
// differs from it, the window title and close question that follow from that, "上書き保存", the
// autosave with its recovery at start-up, and the recent maps. The object list reports map files
// opened and saved and keeps the history that says "modified"; this class turns that into the
// document the user sees, once per pass, after the frame.
#pragma once

#include "AutosaveFile.h"
#include "RecentMaps.h"
#include "Win32Types.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <memory>

class CXLIST;
class MyForm;

class MapDocument {
public:
    // Where a run keeps its autosave and recent maps, and how often it autosaves (0: never).
    struct Places {
        std::filesystem::path autosaveFolder;
        QString settingsFile;
        unsigned autosaveSeconds = AutosaveFile::kDefaultSeconds;
        static Places FromEnvironment();
    };

    static MapDocument& GetInstance();

    // After the windows exist: the recent maps shown, autosaves of editors that are gone offered back,
    // and this editor's own autosave claimed.
    void Start(const Places& places);
    // One pass: map files reported by the list, Ctrl+S, "上書き保存", a save before closing, the
    // autosave, and the title.
    void Run();
    // A clean exit: this editor's autosave goes, and the document forgets everything.
    void Finish();
    // An end without a close question (the window system took the window): a modified scene is
    // written to this editor's autosave and left there, so the next start offers it back.
    void Abandon();

    const QString& CurrentFile() const { return m_current; }
    const AutosaveFile* Autosave() const { return m_autosave.get(); }

private:
    MapDocument() = default;

    // Returns whether a map save succeeded among the reported files.
    bool TakeMapFileEvents(CXLIST& list);
    void OfferOrphans(MyForm& form, CXLIST& list);
    void RunAutosave(CXLIST& list);
    bool WriteAutosave(CXLIST& list);
    void ShowRecent(MyForm& form);

    QString m_current;
    std::unique_ptr<AutosaveFile> m_autosave;
    std::unique_ptr<RecentMaps> m_recent;
    unsigned m_autosaveSeconds = 0;
    DWORD m_lastAutosave = 0;
    bool m_autosaveWritten = false;
    std::uint64_t m_autosavedPosition = 0;
    int m_iSKey = 0;
};

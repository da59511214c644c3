// The scene: the placed objects in the order of the main window's object list, and every command that
// adds, removes, copies or re-positions them or moves them to and from map and matrix files. Item i of
// the main window's check list is object i; the check list holds the display names, the check marks
// (drawn or hidden) and the selection, so nothing here duplicates them. Commands arrive as one-shot
// flags raised by the main window and as the key states sampled at the start of the frame, and each
// flag is lowered by the step that serves it.
#pragma once

#include "CXData.h"
#include "D3DZCMATRIX.h"
#include "Fieldsmith.h"
#include "FollowTarget.h"
#include "SceneHistory.h"

#include <cstdint>
#include <string>
#include <vector>

class MyForm;

class CXLIST : public FollowTarget {
public:
    // Message texts shared by the file commands.
    static const char* const kLoadErrorText;
    static const char* const kSaveErrorText;
    static const char* const kCaption;
    // A map with many failing records names this many of them and counts the rest.
    static constexpr std::size_t kMaxListedFailures = 20;

    CXLIST() = default;
    ~CXLIST() override;
    CXLIST(const CXLIST&) = delete;
    CXLIST& operator=(const CXLIST&) = delete;

    // One frame of commands, then the selected object's own update.
    void Update();
    // The checked objects (twice in the shadow-map mode) and the selected object's read-out.
    void Draw();
    // Applies a name confirmed in the rename dialog to the selected item.
    void ListChange();
    // Deletes every object; the check list is left to its owner.
    void Release();

    // The steps of Update.
    void CopyXData();
    void DeleteXData();
    void AddXData();
    // Appends the map's objects to the scene. False, after telling the user, when the file could not
    // be read.
    bool OpenMapFile(const char* filename);
    bool SaveMapFile(const char* filename);
    bool LoadMatrixFile(const char* filename);
    void SaveMatrixFile();
    void SaveMatrixList();

    // Null for an index past the end.
    CXData* GetObject(unsigned int no) const { return no < m_vecXData.size() ? m_vecXData[no] : nullptr; }
    D3DXMATRIX* GetWorld(unsigned int no);
    // An empty name and the identity for an index past the end.
    Fieldsmith::_TAG_MAPDATA GetMapData(int i) const;
    std::string GetFileName(unsigned int no) const;
    D3DXVECTOR3 GetPos(unsigned int no) const;

    // Rebuilding the objects after a new device: the check list already holds their items.
    void DeviceLost_Init(Fieldsmith::_TAG_MAPDATA* data);
    void DeviceLost_Update(unsigned int no);

    unsigned int GetMaxSize() const { return static_cast<unsigned int>(m_vecXData.size()); }
    bool GetExist() const { return !m_vecXData.empty(); }
    unsigned int GetNowSelectID() const { return m_uNowSelectID; }
    void SetID(unsigned int no, unsigned int id);
    // Undo and redo asked for by Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z or the edit menu; a step of Update.
    void Ctrl_Z_Y();
    // One step back or forward; false when there is none. The running name number stays where it is.
    bool Undo();
    bool Redo();
    const SceneHistory& GetHistory() const { return m_History; }
    SceneHistory& GetHistory() { return m_History; }
    // Opens a map as one undoable step that leaves the scene modified, without making it the current
    // map file.
    bool OpenRecoveredMap(const char* filename);

    // Map files opened, saved or found unreadable, for the editor's document state, oldest first.
    struct MapFileEvent {
        enum Kind { Opened, Saved, Unreadable } kind;
        std::string path;
    };
    std::vector<MapFileEvent> TakeMapFileEvents();

    bool GetChanged() const { return m_bChanged; }
    bool GetClipValid() const { return m_bClipValid; }
    const D3DZCMATRIX& GetCopyMatrix() const { return m_mCopyMatrix; }

    // FollowTarget: the camera orbits the selected object.
    int GetFollowCount() override { return static_cast<int>(m_vecXData.size()); }
    const D3DXMATRIX* GetFollowWorld() override { return GetWorld(m_uNowSelectID); }

private:
    // A left click in the view that grabs no handle selects the object drawn under the cursor; a click
    // on empty space keeps the selection.
    void SelectClickedObject(MyForm& form);
    CXData* Selected() const;
    void Copy();
    void Paste();
    void ApplyCopiedMatrix(MyForm& form);
    // Appends an item for the newest object, checked and selected, named prefix + running number.
    // Names and checks a new last entry; selects it unless the caller selects once after a batch.
    void NameAndSelectNewest(MyForm& form, const char* prefix, bool select = true);
    void Renumber(std::size_t from = 0);
    void RenumberAndUpdate();

    // The history's side of the commands (CXLISTHistory.cpp).
    SceneObjectRecord RecordOf(std::size_t index) const;
    void PushStep(SceneStep step);
    // A step for the objects from `first` to the end, appended by the command just performed.
    void PushAppended(std::size_t first, int selectionBefore, const std::string& label);
    void ApplyStep(const SceneStep& step, bool undo);
    void InsertObject(std::size_t index, const SceneObjectRecord& record);
    void RemoveObject(std::size_t index);
    void SetObject(std::size_t index, const SceneObjectRecord& record);
    // Check marks the user changed in the list since the last frame, one step each.
    void NoticeCheckMarks();
    void RememberCheckMarks();
    // The selected object's matrix is watched over the frame: a change becomes a step at once, or when
    // the left button comes up if it happened during a drag.
    void WatchSelected(bool frameStart);
    void CommitMatrixChange(bool frameEnd);
    void ShowHistoryOnMenu();
    int ListSelection() const;
    bool OpenMap(const char* filename, bool recovered);
    void NoteMapFile(MapFileEvent::Kind kind, const std::string& path);

    std::vector<CXData*> m_vecXData;
    unsigned int m_uNowSelectID = static_cast<unsigned int>(-1);
    Fieldsmith::_TAG_MAPDATA m_ClipData;
    D3DZCMATRIX m_mCopyMatrix;
    bool m_bClipValid = false;
    int m_iObjCount = 0;
    bool m_bChanged = false;

    SceneHistory m_History;
    std::vector<bool> m_vecChecked; // the check marks as the last frame left them
    int m_iLastSelection = -1;      // the selection as the last frame left it
    CXData* m_pWatched = nullptr;   // the selected object whose matrix is watched
    D3DXMATRIX m_mWatchedWorld;     // its matrix and position when the watch began
    D3DXVECTOR3 m_vWatchedPos{0, 0, 0};
    int m_iWatchedSelection = -1;
    bool m_bDragStep = false;     // a drag changed it and the button is still down
    std::string m_strMatrixLabel; // what caused the change seen this frame
    int m_iZKey = 0;
    int m_iYKey = 0;
    std::uint64_t m_uShownPosition = UINT64_MAX;
    std::size_t m_uShownSize = SIZE_MAX;
    std::vector<MapFileEvent> m_vecMapEvents;
};

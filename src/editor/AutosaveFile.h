// This editor's autosave: a map file of its own under $XDG_STATE_HOME/fieldsmith (by default
// ~/.local/state/fieldsmith), never a file of the user. Every running editor holds a lock on a file
// beside its autosave for as long as it runs; the kernel lets go of the lock however the editor ends,
// so an autosave whose lock can be taken belongs to an editor that is gone and can be offered back.
// Names carry the process id and the start time, so a later editor never takes a dead one's name.
#pragma once

#include "Fieldsmith.h"

#include <filesystem>
#include <string>
#include <vector>

class AutosaveFile {
public:
    static constexpr unsigned kDefaultSeconds = 120;

    // $XDG_STATE_HOME/fieldsmith, or ~/.local/state/fieldsmith when it is not set.
    static std::filesystem::path DefaultFolder();
    // FIELDSMITH_AUTOSAVE_SECONDS when it is a whole number (0 turns autosave off), else 120.
    static unsigned IntervalSeconds();

    // An autosave left by an editor that no longer runs, locked by us until it is dropped.
    struct Orphan {
        std::filesystem::path map;
        std::filesystem::path lock;
        int lockFd = -1;
    };

    explicit AutosaveFile(std::filesystem::path folder);
    ~AutosaveFile();
    AutosaveFile(const AutosaveFile&) = delete;
    AutosaveFile& operator=(const AutosaveFile&) = delete;

    // Makes the folder and takes this editor's lock. False when neither can be done.
    bool Claim();
    const std::filesystem::path& MapPath() const { return m_map; }
    // Through the atomic map save; false when it could not be written.
    bool Write(const std::vector<Fieldsmith::_TAG_MAPDATA>& records) const;
    // The autosave goes, the lock stays (the scene is saved, the editor still runs).
    void RemoveMap() const;
    // A clean exit: the autosave and the lock go.
    void Remove();

    std::vector<Orphan> FindOrphans() const;
    // Renamed with its date beside the others, where no editor will offer it again; returns the new
    // path, or the old one when it could not be renamed.
    static std::filesystem::path KeepWithDate(const Orphan& orphan);
    // Gives up the orphan's lock and its lock file; the map is left where it is.
    static void Drop(Orphan& orphan);

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_map;
    std::filesystem::path m_lock;
    int m_lockFd = -1;
};

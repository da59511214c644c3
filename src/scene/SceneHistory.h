// The scene's undo history: one step per user edit, each holding only records (model paths, names,
// matrices, check marks, list positions and the selection around it), never meshes, which stay shared
// through the mesh cache. A step is a list of changes to single list positions; undoing applies them
// backwards with their "before" records, redoing forwards with their "after" records. Steps are
// numbered once and for all, so "where the history stands" is a number that a save can remember and
// that no later step can take by accident.
#pragma once

#include "d3dx9math.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// One object as the history restores it: everything the list and its check list keep of it.
struct SceneObjectRecord {
    std::string path;
    D3DXMATRIX world;
    // The position the object's next update writes into the world matrix.
    D3DXVECTOR3 pos;
    std::string name; // UTF-8, as the check list shows it
    bool checked = true;
};

// What happened at one list position: inserted (no before), removed (no after) or changed (both).
struct SceneChange {
    std::size_t index = 0;
    std::optional<SceneObjectRecord> before;
    std::optional<SceneObjectRecord> after;
};

struct SceneStep {
    std::string label; // what the menu names, e.g. "移動 MapObj3"
    std::vector<SceneChange> changes;
    int selectionBefore = -1;
    int selectionAfter = -1;
    std::uint64_t serial = 0; // given by the history
};

class SceneHistory {
public:
    static constexpr std::size_t kDefaultLimit = 1000;
    // Where the history stands before its first step.
    static constexpr std::uint64_t kStart = 0;

    explicit SceneHistory(std::size_t limit = kDefaultLimit);

    // Adds a step after the current position, dropping what could have been redone, and the oldest
    // step when the limit is passed.
    void Push(SceneStep step);
    // The step the next Undo or Redo would apply, or null when there is none.
    const SceneStep* NextUndo() const;
    const SceneStep* NextRedo() const;
    // Moves back or forward one step and returns it for the caller to apply, or null.
    const SceneStep* Undo();
    const SceneStep* Redo();
    void Clear();

    // The serial of the last step applied, kStart when none is.
    std::uint64_t Position() const;
    // The scene equals the last saved file (or the start) while the history stands where it stood
    // then. A saved position whose step was dropped can never be reached again.
    void MarkSaved() { m_saved = Position(); }
    bool IsModified() const { return Position() != m_saved; }

    std::size_t Size() const { return m_steps.size(); }
    std::size_t UndoCount() const { return m_next; }
    std::size_t Limit() const { return m_limit; }

private:
    static constexpr std::uint64_t kUnreachable = UINT64_MAX;

    std::deque<SceneStep> m_steps;
    std::size_t m_next = 0;        // steps before this index are done
    std::uint64_t m_base = kStart; // the position below the oldest kept step
    std::uint64_t m_saved = kStart;
    std::uint64_t m_lastSerial = kStart;
    std::size_t m_limit;
};

#pragma once
// Undo and redo: a fixed ring of whole-trace snapshots. Each edit records the state after its
// change; undo and redo copy a recorded state back. Records are copied whole, so the selection
// and every column come back with them, and so do the curve settings (point counts, the preset
// in force, the frame rate, the transition speed, constant speed).

#include "core/model/trace.h"

#include <functional>
#include <memory>

namespace kestrova {

constexpr int kUndoStates = 51;
constexpr int kUndoRecords = 253; // indices 0..252 per kind

struct UndoSnapshot {
    std::array<int32_t, 2> stepField{}; // point-count fields: [0] txtSteps(0), [1] txtSteps(1)
    std::array<int32_t, 2> count{};
    bool constantSpeed = false;
    std::array<bool, 2> autoAdjust{};
    int32_t activePreset = 0;
    int32_t frameRate = 25;
    QString transSpeed;
    std::array<std::array<PointRecord, kUndoRecords>, 2> rec{};
};

class UndoHistory {
public:
    UndoHistory();

    int top = 0; // recorded states, 0..51
    int pos = 1; // 1-based state the trace shows
    bool undoEnabled = false;
    bool redoEnabled = false;
    // The trace changed by a gesture that records when it ends (a drag, a held key, a wheel
    // turn); undo and redo record it first, so it is never thrown away.
    bool pending = false;
    // Asked after a change to refresh the control and/or reference table.
    std::function<void(bool control, bool reference)> refreshTables;

    UndoSnapshot& Snapshot(int i) { return (*states_)[i]; }
    const UndoSnapshot& Snapshot(int i) const { return (*states_)[i]; }

private:
    // One block, allocated once.
    std::unique_ptr<std::array<UndoSnapshot, kUndoStates>> states_;
};

// Empties the history; snapshot 0 stands for an empty trace with the current point counts.
void ClearUndo(UndoHistory& h, const Trace& trace);
// Records the current trace as the newest state and marks the trace modified.
void RecordUndo(UndoHistory& h, Trace& trace, bool refreshControl, bool refreshReference);
// A change whose step is recorded later, when its gesture ends.
void MarkPendingEdit(UndoHistory& h, Trace& trace);
// Records the pending change as one step; false when nothing was pending.
bool RecordPendingEdit(UndoHistory& h, Trace& trace);
// The curve settings differ from the state the history shows (a typed value that changed
// nothing makes no step).
bool CurveSettingsChanged(const UndoHistory& h, const Trace& trace);
// Both return false when there is nothing to undo or redo; a pending change is recorded first.
// The path is rebuilt with the restored point count.
bool Undo(UndoHistory& h, Trace& trace);
bool Redo(UndoHistory& h, Trace& trace);

// Selects every shown point (hidden control points and hidden reference points are left out).
void SelectAll(Trace& trace);
void DeselectAll(Trace& trace);
bool AnyPointSelected(const Trace& trace);

} // namespace kestrova

#include "core/model/undo.h"

#include "core/path/point_count.h"

#include <algorithm>

namespace kestrova {

namespace {

// Copies only the records in use: control 0..count+1 (phantoms included), reference 1..count.
void CopyRecords(std::array<std::array<PointRecord, kUndoRecords>, 2>& dst,
                 const std::array<std::array<PointRecord, kTableSlots>, 2>& src,
                 const std::array<int32_t, 2>& count) {
    const int c = std::clamp(count[kControl], 0, kMaxPoints);
    std::copy_n(src[kControl].begin(), c + 2, dst[kControl].begin());
    const int r = std::clamp(count[kReference], 0, kMaxPoints);
    std::copy_n(src[kReference].begin() + 1, r, dst[kReference].begin() + 1);
}

void StoreCurveSettings(UndoSnapshot& s, const Trace& trace) {
    s.stepField = {CountFromText(trace.counts.presetText[0]),
                   CountFromText(trace.counts.presetText[1])};
    s.constantSpeed = trace.points.constantSpeed;
    s.autoAdjust = trace.counts.autoAdjust;
    s.activePreset = trace.counts.activePreset;
    s.frameRate = trace.counts.frameRate;
    s.transSpeed = trace.counts.transSpeedText;
}

void CopySnapshot(UndoSnapshot& dst, const UndoSnapshot& src) {
    dst.stepField = src.stepField;
    dst.count = src.count;
    dst.constantSpeed = src.constantSpeed;
    dst.autoAdjust = src.autoAdjust;
    dst.activePreset = src.activePreset;
    dst.frameRate = src.frameRate;
    dst.transSpeed = src.transSpeed;
    const int c = std::clamp(src.count[kControl], 0, kMaxPoints);
    std::copy_n(src.rec[kControl].begin(), c + 2, dst.rec[kControl].begin());
    const int r = std::clamp(src.count[kReference], 0, kMaxPoints);
    std::copy_n(src.rec[kReference].begin() + 1, r, dst.rec[kReference].begin() + 1);
}

void Restore(UndoHistory& h, Trace& trace) {
    const UndoSnapshot& s = h.Snapshot(h.pos - 1);
    PointTables& t = trace.points;
    const int c = std::clamp(s.count[kControl], 0, kMaxPoints);
    std::copy_n(s.rec[kControl].begin(), c + 2, t.rec[kControl].begin());
    const int r = std::clamp(s.count[kReference], 0, kMaxPoints);
    std::copy_n(s.rec[kReference].begin() + 1, r, t.rec[kReference].begin() + 1);
    t.count = {c, r};
    t.constantSpeed = s.constantSpeed;
    PointCountSettings& counts = trace.counts;
    counts.presetText[0] = QString::number(s.stepField[0]);
    counts.presetText[1] = QString::number(s.stepField[1]);
    counts.autoAdjust = s.autoAdjust;
    counts.activePreset = std::clamp(s.activePreset, 0, 1);
    if (s.frameRate >= 1)
        counts.frameRate = s.frameRate;
    if (!s.transSpeed.isEmpty())
        counts.transSpeedText = s.transSpeed;
    ApplyPointCount(trace);
    if (h.refreshTables)
        h.refreshTables(true, true);
}

} // namespace

UndoHistory::UndoHistory() : states_(std::make_unique<std::array<UndoSnapshot, kUndoStates>>()) {}

void ClearUndo(UndoHistory& h, const Trace& trace) {
    // Restores copy only the records a count covers, so emptying the counts empties the states.
    for (int i = 0; i < kUndoStates; ++i) {
        h.Snapshot(i).count = {0, 0};
        h.Snapshot(i).stepField = {0, 0};
        h.Snapshot(i).constantSpeed = false;
        h.Snapshot(i).autoAdjust = {false, false};
        h.Snapshot(i).transSpeed.clear();
        h.Snapshot(i).rec[kControl][0] = PointRecord{};
        h.Snapshot(i).rec[kControl][1] = PointRecord{};
    }
    h.top = 0;
    h.pos = 1;
    StoreCurveSettings(h.Snapshot(0), trace);
    h.undoEnabled = false;
    h.redoEnabled = false;
    h.pending = false;
    if (h.refreshTables)
        h.refreshTables(true, true);
}

void RecordUndo(UndoHistory& h, Trace& trace, bool refreshControl, bool refreshReference) {
    trace.modified = true;
    int n = h.pos + 1;
    if (n >= kUndoStates + 1) {
        for (int i = 1; i < kUndoStates; ++i)
            CopySnapshot(h.Snapshot(i - 1), h.Snapshot(i));
        n = kUndoStates;
    }
    h.top = n;
    h.pos = n;
    UndoSnapshot& s = h.Snapshot(n - 1);
    StoreCurveSettings(s, trace);
    s.count = {std::clamp(trace.points.count[kControl], 0, kMaxPoints),
               std::clamp(trace.points.count[kReference], 0, kMaxPoints)};
    CopyRecords(s.rec, trace.points.rec, s.count);
    h.pending = false;
    if (h.top > 1)
        h.undoEnabled = true;
    h.redoEnabled = false;
    if (h.refreshTables && (refreshControl || refreshReference))
        h.refreshTables(refreshControl, refreshReference);
}

void MarkPendingEdit(UndoHistory& h, Trace& trace) {
    trace.modified = true;
    h.pending = true;
}

bool RecordPendingEdit(UndoHistory& h, Trace& trace) {
    if (!h.pending)
        return false;
    RecordUndo(h, trace, false, false);
    return true;
}

bool CurveSettingsChanged(const UndoHistory& h, const Trace& trace) {
    const UndoSnapshot& s = h.Snapshot(std::clamp(h.pos - 1, 0, kUndoStates - 1));
    const PointCountSettings& c = trace.counts;
    return s.stepField[0] != CountFromText(c.presetText[0]) ||
           s.stepField[1] != CountFromText(c.presetText[1]) ||
           s.constantSpeed != trace.points.constantSpeed || s.autoAdjust != c.autoAdjust ||
           s.activePreset != c.activePreset || s.frameRate != c.frameRate ||
           s.transSpeed != c.transSpeedText;
}

bool Undo(UndoHistory& h, Trace& trace) {
    RecordPendingEdit(h, trace);
    if (h.pos <= 1)
        return false;
    --h.pos;
    Restore(h, trace);
    if (h.pos == 1)
        h.undoEnabled = false;
    h.redoEnabled = true;
    return true;
}

bool Redo(UndoHistory& h, Trace& trace) {
    // A pending change is a new edit: it drops the redo states, as any edit does.
    RecordPendingEdit(h, trace);
    if (h.pos >= h.top)
        return false;
    ++h.pos;
    Restore(h, trace);
    h.undoEnabled = true;
    if (h.pos == h.top)
        h.redoEnabled = false;
    return true;
}

void SelectAll(Trace& trace) {
    PointTables& t = trace.points;
    for (int i = 0; i <= t.count[kControl]; ++i)
        t.rec[kControl][i].selected = t.rec[kControl][i].hide == 0;
    for (int i = 0; i <= t.count[kReference]; ++i)
        t.rec[kReference][i].selected = trace.showReferencePoints;
}

void DeselectAll(Trace& trace) {
    PointTables& t = trace.points;
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i <= t.count[k]; ++i)
            t.rec[k][i].selected = false;
}

bool AnyPointSelected(const Trace& trace) {
    const PointTables& t = trace.points;
    for (int k = 0; k < 2; ++k)
        for (int i = 1; i <= t.count[k]; ++i)
            if (t.rec[k][i].selected)
                return true;
    return false;
}

} // namespace kestrova

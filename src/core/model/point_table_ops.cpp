#include "core/model/point_table_ops.h"

#include "core/model/point_fields.h"
#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/path/tangents.h"
#include "core/settings/language.h"

namespace kestrova {
namespace {

constexpr int kLimitReachedString = 120;

bool ValidKind(int kind) {
    return kind == kControl || kind == kReference;
}

// The two axes a plan shows: horizontal, vertical.
std::pair<int, int> PlaneAxes(int32_t view) {
    switch (view) {
    case kViewXZ:
        return {0, 2};
    case kViewYZ:
        return {1, 2};
    default:
        return {0, 1};
    }
}

// The new last record starts as a copy of the previous last point, or empty for the first.
// The automatic upkeep of one point: both handles, every plan, hand-placed components kept.
void RecomputeBothHandles(PointTables& t, int i) {
    RefreshPhantoms(t);
    RecomputeHandle(t, i, Handle::A, 7, false);
    RecomputeHandle(t, i, Handle::B, 7, false);
}

PointRecord& OpenLastSlot(Trace& trace, int kind) {
    PointTables& t = trace.points;
    const int n = t.count[kind];
    t.rec[kind][n + 1] = n >= 1 ? t.rec[kind][n] : PointRecord{};
    t.count[kind] = n + 1;
    return t.rec[kind][n + 1];
}

void FinishAppend(Trace& trace, int kind, bool refresh) {
    PointTables& t = trace.points;
    const int n = t.count[kind];
    if (kind == kControl) {
        PointRecord& r = t.rec[kControl][n];
        if (n > 1) {
            r.hide = 0;
            UpdateTangentsAround(t, n);
        } else {
            r.ts = 1.0f;
            r.fov = 90.0f;
            RefreshPhantoms(t);
        }
    }
    RefreshVisibleFlags(trace);
    if (refresh)
        RebuildPath(trace);
    UpdateTimeLabels(trace);
}

} // namespace

bool CanAddPoint(const Trace& trace, int kind, const QString& title, Dialogs& dialogs) {
    if (ValidKind(kind) && trace.points.count[kind] < kMaxPoints)
        return true;
    dialogs.Message(title, fStr(kLimitReachedString), MessageIcon::Information, MessageButtons::Ok);
    return false;
}

bool AppendPoint(Trace& trace, int kind, int32_t view, double h, double v, bool refresh) {
    if (!ValidKind(kind) || trace.points.count[kind] >= kMaxPoints)
        return false;
    if (kind == kReference)
        trace.showReferencePoints = true;
    else
        AdjustPointCountForEdit(trace, true);
    PointRecord& r = OpenLastSlot(trace, kind);
    const auto [ha, va] = PlaneAxes(view);
    Axis(r, ha) = static_cast<float>(RoundTo2(h));
    Axis(r, va) = static_cast<float>(RoundTo2(v));
    FinishAppend(trace, kind, refresh);
    return true;
}

bool AppendPointXYZ(Trace& trace, int kind, double x, double y, double z,
                    std::optional<Angles> angles, bool refresh) {
    if (!ValidKind(kind) || trace.points.count[kind] >= kMaxPoints)
        return false;
    if (kind == kReference)
        trace.showReferencePoints = true;
    else
        AdjustPointCountForEdit(trace, true);
    PointRecord& r = OpenLastSlot(trace, kind);
    r.x = static_cast<float>(RoundTo2(x));
    r.y = static_cast<float>(RoundTo2(y));
    r.z = static_cast<float>(RoundTo2(z));
    if (angles) {
        r.yaw = static_cast<float>(RoundTo2(angles->yaw));
        r.pitch = static_cast<float>(RoundTo2(angles->pitch));
        r.roll = static_cast<float>(RoundTo2(angles->roll));
    }
    FinishAppend(trace, kind, refresh);
    return true;
}

bool InsertPointInSegment(Trace& trace, int i) {
    PointTables& t = trace.points;
    const int n = t.count[kControl];
    if (i < 1 || i >= n || n >= kMaxPoints)
        return false;
    auto& c = t.rec[kControl];
    RefreshPhantoms(t);
    PositionCoefficients k;
    HermiteCoefficients(t, i, k);
    PointRecord mid;
    HermiteEvaluate(k, 0.5f, mid);

    for (int j = n; j >= i + 1; --j)
        c[j + 1] = c[j];
    // Slot i+1 still holds the old i+1, now also at i+2: average its fields with point i.
    c[i + 1].x = static_cast<float>(RoundTo2(mid.x));
    c[i + 1].y = static_cast<float>(RoundTo2(mid.y));
    c[i + 1].z = static_cast<float>(RoundTo2(mid.z));
    for (int f = kFieldPitch; f <= kFieldTanBFixed; ++f) {
        const double avg = (static_cast<double>(GetPointField(t, kControl, i, f)) +
                            GetPointField(t, kControl, i + 2, f)) /
                           2.0;
        SetPointField(t, kControl, i + 1, f, static_cast<float>(RoundTo2(avg)));
    }
    t.count[kControl] = n + 1;
    UpdateTangentsAround(t, i + 1);
    RefreshVisibleFlags(trace);
    RebuildPath(trace);
    UpdateTimeLabels(trace);
    return true;
}

bool DuplicatePoint(Trace& trace, int kind, int index) {
    PointTables& t = trace.points;
    if (!ValidKind(kind))
        return false;
    const int n = t.count[kind];
    if (index < 1 || index > n || n >= kMaxPoints)
        return false;
    if (kind == kControl)
        AdjustPointCountForEdit(trace, true);
    auto& r = t.rec[kind];
    for (int j = n + 1; j >= index; --j)
        r[j + 1] = r[j];
    t.count[kind] = n + 1;
    // The copy keeps the handles of its original: the user's curve does not change.
    if (kind == kControl)
        RebuildPath(trace);
    UpdateTimeLabels(trace);
    return true;
}

void DeletePoint(Trace& trace, int kind, int index, bool refresh) {
    PointTables& t = trace.points;
    if (!ValidKind(kind))
        return;
    const int n = t.count[kind];
    if (index < 1 || index > n)
        return;
    if (kind == kControl)
        AdjustPointCountForEdit(trace, false);
    auto& r = t.rec[kind];
    for (int j = index; j < n; ++j)
        r[j] = r[j + 1];
    const int count = n - 1;
    t.count[kind] = count;
    r[0] = r[1];
    r[count + 1] = r[count];
    r[count + 2] = PointRecord{};
    // Only the point before the deleted one gets new handles; hand-placed parts survive.
    if (kind == kControl && count >= 1)
        RecomputeBothHandles(t, index - 1);
    if (refresh)
        RebuildPath(trace);
    UpdateTimeLabels(trace);
}

bool MakeRoom(Trace& trace, int kind, int first, int countChange) {
    PointTables& t = trace.points;
    if (!ValidKind(kind) || countChange < 0)
        return false;
    const int n = t.count[kind];
    if (first < 1 || first > n + 1 || n + countChange > kMaxPoints)
        return false;
    auto& r = t.rec[kind];
    for (int j = n; j >= first; --j)
        r[j + countChange] = r[j];
    t.count[kind] = n + countChange;
    return true;
}

void RefreshVisibleFlags(Trace& trace) {
    PointTables& t = trace.points;
    for (int i = 1; i <= t.count[kControl]; ++i)
        t.rec[kControl][i].visible = t.rec[kControl][i].hide == 0;
    for (int i = 1; i <= t.count[kReference]; ++i)
        t.rec[kReference][i].visible = trace.showReferencePoints;
}

} // namespace kestrova

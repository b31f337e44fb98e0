#include "core/calc/point_calcs.h"

#include "core/model/grid_rows.h"
#include "core/model/point_fields.h"
#include "core/model/point_table_ops.h"
#include "core/path/build_path.h"
#include "core/path/tangents.h"
#include "core/settings/language.h"

#include <algorithm>
#include <utility>

namespace kestrova {
namespace {

constexpr int kColumnRefusedString = 500;
constexpr int kAddSubTitleString = 501;
constexpr int kAverageNeedsRowsString = 510;
constexpr int kAverageTitleString = 511;
constexpr int kConversionTitleString = 521;
constexpr int kConversionLimitString = 530;

bool ValidKind(int kind) {
    return kind == kControl || kind == kReference;
}

// The rows that exist; false when none of the selection does.
bool ClampRows(TableSelection& s, int count) {
    if (s.Empty() || s.firstRow > count)
        return false;
    s.lastRow = std::min(s.lastRow, count);
    return s.lastRow >= s.firstRow;
}

// The end of an edit of the points: path, modified flag and one undo step.
void FinishEdit(Document& doc, bool refreshControl, bool refreshReference) {
    RebuildPath(doc.trace);
    RecordEdit(doc, refreshControl, refreshReference);
}

} // namespace

bool SelectionColumns(TableSelection& s, int kind, const QString& title, Dialogs& dialogs) {
    if (s.firstColumn == kFieldHide && s.lastColumn == kFieldHide) {
        dialogs.Message(title, fStr(kColumnRefusedString), MessageIcon::Information,
                        MessageButtons::Ok);
        return false;
    }
    if (s.firstColumn < 1)
        s.firstColumn = 1;
    if (s.lastColumn == kFieldHide)
        s.lastColumn = kFieldHide - 1;
    // A reference table has no fov, ts, hide or wiggle; those fields belong to control points.
    s.lastColumn = std::min(s.lastColumn, GridColumnCount(kind) - 1);
    return s.firstColumn <= s.lastColumn;
}

bool InvertTrace(Document& doc) {
    PointTables& t = doc.trace.points;
    const int n = t.count[kControl];
    if (n < 2)
        return false;
    auto& c = t.rec[kControl];
    for (int i = 1; i <= n / 2; ++i)
        std::swap(c[i], c[n + 1 - i]);
    // Segment i now runs the old segment n - i backwards: its handles are that segment's,
    // exchanged and reversed. The fixed-axes words follow their handle unchanged.
    const auto reversed = [](TangentHandle h) {
        h.x = -h.x;
        h.y = -h.y;
        h.z = -h.z;
        return h;
    };
    for (int i = 1; i <= n; ++i) {
        c[i].tanA = reversed(c[i + 1].tanB);
        c[i].tanB = reversed(c[i + 1].tanA);
    }
    c[0] = c[1];
    c[n + 1] = c[n];
    FinishEdit(doc, true, false);
    return true;
}

bool AverageSelection(Document& doc, int kind, TableSelection sel) {
    if (!ValidKind(kind) || !ClampRows(sel, doc.trace.points.count[kind]))
        return false;
    const QString title = fStr(kAverageTitleString);
    if (!SelectionColumns(sel, kind, title, doc.dialogs))
        return false;
    if (sel.lastRow - sel.firstRow < 2) {
        doc.dialogs.Message(title, fStr(kAverageNeedsRowsString), MessageIcon::Information,
                            MessageButtons::Ok);
        return false;
    }
    PointTables& t = doc.trace.points;
    const bool positions = kind == kControl && sel.firstColumn <= kFieldZ;
    const int span = sel.lastRow - sel.firstRow;
    for (int col = sel.firstColumn; col <= sel.lastColumn; ++col) {
        if (col == kFieldHide)
            continue;
        const double a = GetPointField(t, kind, sel.firstRow, col);
        const double b = GetPointField(t, kind, sel.lastRow, col);
        const double step = (b - a) / span;
        for (int r = sel.firstRow + 1; r < sel.lastRow; ++r) {
            // Each row builds on the one before it as stored (two decimals).
            SetTypedPointField(t, kind, r, col, GetPointField(t, kind, r - 1, col) + step);
            if (positions)
                UpdateTangentsAround(t, r);
        }
    }
    FinishEdit(doc, false, false);
    return true;
}

bool AddToSelection(Document& doc, int kind, TableSelection sel, double value, bool add) {
    if (!ValidKind(kind) || !ClampRows(sel, doc.trace.points.count[kind]))
        return false;
    if (!SelectionColumns(sel, kind, fStr(kAddSubTitleString), doc.dialogs))
        return false;
    if (value == 0.0)
        return false;
    const double delta = add ? value : -value;
    PointTables& t = doc.trace.points;
    const bool positions = kind == kControl && sel.firstColumn <= kFieldZ;
    for (int r = sel.firstRow; r <= sel.lastRow; ++r) {
        for (int col = sel.firstColumn; col <= sel.lastColumn; ++col)
            if (col != kFieldHide)
                SetTypedPointField(t, kind, r, col, GetPointField(t, kind, r, col) + delta);
        if (positions)
            UpdateTangentsAround(t, r);
    }
    FinishEdit(doc, false, false);
    return true;
}

bool ConvertPoints(Document& doc, int fromKind, int toKind, const TableSelection& selection,
                   bool removeSource) {
    if (!ValidKind(fromKind) || !ValidKind(toKind) || fromKind == toKind)
        return false;
    Trace& trace = doc.trace;
    PointTables& t = trace.points;
    TableSelection sel = selection;
    if (!ClampRows(sel, t.count[fromKind]))
        return false;
    const int n = sel.Rows();
    if (kMaxPoints - t.count[toKind] < n) {
        doc.dialogs.Message(fStr(kConversionTitleString),
                            fStr(kConversionLimitString, kMaxPoints, n), MessageIcon::Information,
                            MessageButtons::Ok);
        return false;
    }
    for (int r = sel.firstRow; r <= sel.lastRow; ++r) {
        const PointRecord source = t.rec[fromKind][r];
        AppendPoint(trace, toKind, kViewXY, source.x, source.y, false);
        const int added = t.count[toKind];
        for (int f = kFieldX; f <= kFieldRoll; ++f)
            SetPointField(t, toKind, added, f, GetPointField(t, fromKind, r, f));
        if (toKind == kControl) {
            SetPointField(t, kControl, added, kFieldFov, 90.0f);
            SetPointField(t, kControl, added, kFieldTs, 1.0f);
            UpdateTangentsAround(t, added);
        }
    }
    if (removeSource)
        for (int i = 0; i < n; ++i)
            DeletePoint(trace, fromKind, sel.firstRow, false);
    FinishEdit(doc, true, true);
    return true;
}

} // namespace kestrova

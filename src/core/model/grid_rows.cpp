#include "core/model/grid_rows.h"

#include "core/model/point_fields.h"
#include "core/numbers.h"
#include "core/settings/language.h"

namespace kestrova {

QString GridHeaderFormat(int kind) {
    const QString common = QStringLiteral(">n°|>x|>y|>z|>pitch|>yaw|>roll");
    if (kind == kReference)
        return common;
    return common + QStringLiteral("|>fov|>ts|^hide|^wgA|^wgF");
}

QList<int> GridColumnWidthsTwips(int kind) {
    if (kind == kReference)
        return {435, 885, 885, 885, 705, 705, 705};
    return {435, 885, 885, 885, 720, 720, 720, 570, 495, 435, 435, 435};
}

int GridColumnCount(int kind) {
    return kind == kReference ? 7 : 12;
}

QString GridCellText(const Trace& trace, int kind, int index, int field) {
    const float v = GetPointField(trace.points, kind, index, field);
    switch (field) {
    case kFieldHide:
    case kFieldWgF:
        return QString::number(static_cast<int>(v));
    default:
        return FormatLocaleFixed(v, 2);
    }
}

QStringList GridRowText(const Trace& trace, int kind, int index) {
    QStringList row;
    row << (QStringLiteral("  ") + QString::number(index)).right(3);
    for (int c = 1; c < GridColumnCount(kind); ++c)
        row << GridCellText(trace, kind, index, c);
    return row;
}

RowColours GridRowColours(int kind, int index) {
    const int k = kind == kReference ? 1 : 0;
    const int b = index % 2 == 0 ? 240 : 220;
    return {{43 - 5 * k, 40, 40 + 5 * k}, {b + 3 - 5 * k, b, b + 5 * k}};
}

CellEdit EditGridCell(Trace& trace, int kind, int row, int column, const QString& text) {
    CellEdit r;
    if (row < 1 || row > trace.points.count[kind] || column < 1 || column >= GridColumnCount(kind))
        return r;
    bool ok = false;
    const double typed = ParseLocaleNumber(text, &ok);
    if (!ok)
        return r;
    SetTypedPointField(trace.points, kind, row, column, typed);
    r.accepted = true;
    r.shown = GridCellText(trace, kind, row, column);
    return r;
}

QString SelectionCaption(int selectedRows) {
    if (selectedRows <= 0)
        return QString();
    return fStrCount(123, 124, selectedRows);
}

QString GridColumnTip(int kind, int column) {
    // pitch 91 ... wgF 98; the reference grid explains its angles only.
    const int last = kind == kReference ? kFieldRoll : kFieldWgF;
    if (column < kFieldPitch || column > last)
        return QString();
    return fStr(91 + column - kFieldPitch);
}

} // namespace kestrova

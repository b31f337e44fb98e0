#pragma once
// Calculations over the selected cells of a points table: invert the control points, fill a
// range with evenly spaced values, add or subtract a value, and move or copy points between the
// two tables. Each one that changes points rebuilds the path and records one undo step.

#include "core/files/document.h"
#include "core/model/table_selection.h"

#include <array>

namespace kestrova {

// The six fixed steps of the increment buttons, cmdAddSubVal(0..5).
constexpr std::array<double, 6> kAddSubSteps{90, -90, 180, -180, 360, -360};

// The columns Average and Increment work on: column 0 becomes 1, a last column of 9 becomes 8,
// and columns the kind's table does not have are dropped. A selection of the hide column alone
// is refused with message 500 under the given title. False when the operation must stop.
bool SelectionColumns(TableSelection& s, int kind, const QString& title, Dialogs& dialogs);

// Reverses the order of the control points; the curve is run backwards through the same
// handles. Nothing happens with fewer than two points.
bool InvertTrace(Document& doc);

// Every row strictly between the first and last selected rows gets the value of the row before
// it plus an even step, column by column; the hide column is never touched.
bool AverageSelection(Document& doc, int kind, TableSelection sel);

// Adds (or subtracts) value to every selected cell but the hide column.
bool AddToSelection(Document& doc, int kind, TableSelection sel, double value, bool add);

// Appends the selected points of fromKind to the other table (position and angles); control
// points made this way get fov 90 and timescale 1. With removeSource the originals go.
bool ConvertPoints(Document& doc, int fromKind, int toKind, const TableSelection& sel,
                   bool removeSource);

} // namespace kestrova

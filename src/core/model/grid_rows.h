#pragma once
// What the two points grids show: headers, widths, row texts and colours, and how a typed
// cell goes back into the point tables.

#include "core/model/trace.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova {

constexpr int kTwipsPerPixel = 15;

// "|"-separated captions; ">" right-aligns a column, "^" centres it.
QString GridHeaderFormat(int kind);
// Column widths in twips, n° column first.
QList<int> GridColumnWidthsTwips(int kind);
int GridColumnCount(int kind);

// The n° column right-aligned in three characters, then the fields in the user's locale.
QStringList GridRowText(const Trace& trace, int kind, int index);

struct Rgb {
    int r, g, b;
};
struct RowColours {
    Rgb text;
    Rgb background;
};
RowColours GridRowColours(int kind, int index);

// A cell typed by the user. Text that is not a number is refused and changes nothing.
struct CellEdit {
    bool accepted = false;
    QString shown; // the stored value as the cell now shows it
};
CellEdit EditGridCell(Trace& trace, int kind, int row, int column, const QString& text);

// The cell text of a field as the grid shows it.
QString GridCellText(const Trace& trace, int kind, int index, int field);

// The caption under a grid: "12 points", or empty with no row selected.
QString SelectionCaption(int selectedRows);

// The help text of a column (empty where a column has none).
QString GridColumnTip(int kind, int column);

} // namespace kestrova

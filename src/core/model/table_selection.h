#pragma once
// The selection rectangle of a points table: row r is point r, column c is field c (0 n°).

namespace kestrova {

struct TableSelection {
    int firstRow = 0; // 0 or less: nothing selected
    int lastRow = 0;
    int firstColumn = 0;
    int lastColumn = 0;

    bool Empty() const { return firstRow <= 0; }
    int Rows() const { return Empty() ? 0 : lastRow - firstRow + 1; }
};

} // namespace kestrova

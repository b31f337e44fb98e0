#pragma once
// The points tables: grid 0 shows the control points, grid 1 the reference points.

#include "core/dialogs.h"
#include "core/model/table_selection.h"
#include "core/model/trace.h"

#include <QTableWidget>

namespace kestrova::ui {

using GridSelection = TableSelection;

class PointsGrid : public QTableWidget {
    Q_OBJECT
public:
    PointsGrid(int kind, Trace& trace, Dialogs& dialogs, QWidget* parent = nullptr);

    int Kind() const { return kind_; }

    // Rebuilds every row from the point table, drawing once at the end.
    void LoadGrid();
    void WriteGridRow(int index);

    GridSelection Selection() const;
    void SetSelection(const GridSelection& s);
    int SelectedRowCount() const;

    // While the preview runs, the control grid ignores its editing keys.
    void SetKeysLocked(bool locked) { keysLocked_ = locked; }

    // The n° column drawn over the grid's left edge, so it stays when the grid scrolls sideways.
    QTableView* FrozenColumn() const { return frozen_; }

signals:
    // The points of this grid changed through the grid (typed, pasted, deleted, copied, hidden).
    // The owner records the undo state and redraws the views.
    void PointsEdited(int kind);
    // The selected rows changed; caption is "N points" or empty.
    void SelectionCaptionChanged(int kind, const QString& caption);
    void SelectedRowsChanged(int kind);
    // A mouse button went down in the grid with these modifiers.
    void MouseDown(int kind, Qt::KeyboardModifiers modifiers);
    // Shift+click: the position of the first selected point, for the look target.
    void LookTargetPicked(double x, double y, double z);

public:
    // Public as in the view it overrides: the preview scrolls the grid to the current row.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;

private:
    void ApplyHeader();
    void InitFrozenColumn();
    void PlaceFrozenColumn();
    void OnItemChanged(QTableWidgetItem* item);
    void PasteText(const QString& text);
    void DeleteSelectedPoints();
    void DuplicateSelectedPoint();
    void FinishEdit(bool positionsChanged, int firstRow, int lastRow);
    void SetRowText(int index);

    int kind_;
    Trace& trace_;
    Dialogs* dialogs_;
    bool loading_ = false;
    bool keysLocked_ = false;
    int tipColumn_ = -1;
    QTableView* frozen_ = nullptr;
    bool skipRelease_ = false;        // the release that ends a double-click
    QList<Qt::Alignment> alignments_; // per column, from the header's ">" and "^"
};

} // namespace kestrova::ui

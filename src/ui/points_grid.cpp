#include "ui/points_grid.h"

#include "core/model/grid_rows.h"
#include "core/model/point_fields.h"
#include "core/model/point_table_ops.h"
#include "core/path/build_path.h"
#include "core/path/tangents.h"
#include "core/settings/language.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QToolTip>

namespace kestrova::ui {
namespace {

constexpr int kCopyOfPointString = 121;

Qt::Alignment CaptionAlignment(const QString& caption) {
    if (caption.startsWith(QLatin1Char('>')))
        return Qt::AlignRight | Qt::AlignVCenter;
    if (caption.startsWith(QLatin1Char('^')))
        return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

PointsGrid::PointsGrid(int kind, Trace& trace, Dialogs& dialogs, QWidget* parent)
    : QTableWidget(parent), kind_(kind), trace_(trace), dialogs_(&dialogs) {
    setObjectName(QStringLiteral("fxgPoints%1").arg(kind));
    // The column widths are tight: a small condensed face keeps two decimals readable in them.
    QFont small(QStringLiteral("DejaVu Sans Condensed"));
    small.setPointSize(8);
    setFont(small);
    horizontalHeader()->setFont(small);
    setStyleSheet(QStringLiteral("QTableView::item { padding: 0px 1px; }"));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setMouseTracking(true);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    ApplyHeader();
    connect(this, &QTableWidget::itemChanged, this, &PointsGrid::OnItemChanged);
    connect(this, &QTableWidget::itemSelectionChanged, this, [this] {
        emit SelectionCaptionChanged(kind_, SelectionCaption(SelectedRowCount()));
        emit SelectedRowsChanged(kind_);
    });
}

void PointsGrid::ApplyHeader() {
    const QStringList captions = GridHeaderFormat(kind_).split(QLatin1Char('|'));
    const QList<int> widths = GridColumnWidthsTwips(kind_);
    setColumnCount(static_cast<int>(captions.size()));
    for (int c = 0; c < captions.size(); ++c) {
        auto* item = new QTableWidgetItem(captions[c].mid(1));
        item->setTextAlignment(CaptionAlignment(captions[c]));
        alignments_.append(CaptionAlignment(captions[c]));
        setHorizontalHeaderItem(c, item);
        int width = widths[c] / kTwipsPerPixel;
        // Three-digit fields of view are common; keep them from being cut.
        if (kind_ == kControl && c == kFieldFov)
            width = std::max(width, fontMetrics().horizontalAdvance(QStringLiteral("179.99")) + 10);
        setColumnWidth(c, width);
    }
}

void PointsGrid::SetRowText(int index) {
    const QStringList text = GridRowText(trace_, kind_, index);
    const RowColours colours = GridRowColours(kind_, index);
    const int row = index - 1;
    for (int c = 0; c < text.size(); ++c) {
        QTableWidgetItem* item = this->item(row, c);
        if (!item) {
            item = new QTableWidgetItem;
            setItem(row, c, item);
        }
        item->setText(text[c]);
        item->setTextAlignment(alignments_.value(c));
        item->setForeground(QColor(colours.text.r, colours.text.g, colours.text.b));
        item->setBackground(
            QColor(colours.background.r, colours.background.g, colours.background.b));
        if (c == 0)
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    }
}

void PointsGrid::LoadGrid() {
    loading_ = true;
    setUpdatesEnabled(false);
    auto restore = qScopeGuard([this] {
        setUpdatesEnabled(true);
        loading_ = false;
    });
    const int n = trace_.points.count[kind_];
    setRowCount(n);
    for (int i = 1; i <= n; ++i)
        SetRowText(i);
}

void PointsGrid::WriteGridRow(int index) {
    if (index < 1 || index > rowCount())
        return;
    loading_ = true;
    SetRowText(index);
    loading_ = false;
}

GridSelection PointsGrid::Selection() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty())
        return {};
    const auto& r = ranges.first();
    return {r.topRow() + 1, r.bottomRow() + 1, r.leftColumn(), r.rightColumn()};
}

void PointsGrid::SetSelection(const GridSelection& s) {
    clearSelection();
    if (s.firstRow <= 0 || s.firstRow > rowCount())
        return;
    const int last = std::min(s.lastRow, rowCount());
    setRangeSelected(QTableWidgetSelectionRange(s.firstRow - 1, s.firstColumn, last - 1,
                                                std::min(s.lastColumn, columnCount() - 1)),
                     true);
    setCurrentCell(s.firstRow - 1, std::max(s.firstColumn, 1), QItemSelectionModel::NoUpdate);
}

int PointsGrid::SelectedRowCount() const {
    const GridSelection s = Selection();
    return s.firstRow > 0 ? s.lastRow - s.firstRow + 1 : 0;
}

void PointsGrid::OnItemChanged(QTableWidgetItem* item) {
    if (loading_ || !item)
        return;
    const int index = item->row() + 1;
    const CellEdit edit = EditGridCell(trace_, kind_, index, item->column(), item->text());
    if (!edit.accepted) {
        dialogs_->Beep();
        WriteGridRow(index);
        return;
    }
    loading_ = true;
    item->setText(edit.shown);
    loading_ = false;
    FinishEdit(item->column() >= kFieldX && item->column() <= kFieldZ, index, index);
}

void PointsGrid::FinishEdit(bool positionsChanged, int firstRow, int lastRow) {
    if (kind_ == kControl) {
        if (positionsChanged)
            for (int i = firstRow; i <= lastRow; ++i)
                UpdateTangentsAround(trace_.points, i);
        RebuildPath(trace_);
    }
    trace_.modified = true;
    emit PointsEdited(kind_);
}

void PointsGrid::PasteText(const QString& text) {
    const int row0 = std::max(currentRow(), 0);
    const int col0 = std::max(currentColumn(), 1);
    const QStringList lines =
        text.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    bool any = false, positions = false;
    int lastRow = row0;
    for (int r = 0; r < lines.size() && row0 + r < rowCount(); ++r) {
        const QStringList cells = lines[r].split(QLatin1Char('\t'));
        for (int c = 0; c < cells.size() && col0 + c < columnCount(); ++c) {
            const CellEdit e = EditGridCell(trace_, kind_, row0 + r + 1, col0 + c, cells[c]);
            if (!e.accepted)
                continue;
            any = true;
            positions |= col0 + c <= kFieldZ;
            lastRow = row0 + r;
        }
    }
    if (!any) {
        dialogs_->Beep();
        return;
    }
    for (int i = row0 + 1; i <= lastRow + 1; ++i)
        WriteGridRow(i);
    FinishEdit(positions, row0 + 1, lastRow + 1);
}

void PointsGrid::DeleteSelectedPoints() {
    const GridSelection s = Selection();
    if (trace_.points.count[kind_] < 1 || s.firstRow <= 0)
        return;
    for (int row = s.lastRow; row >= s.firstRow; --row)
        DeletePoint(trace_, kind_, row, false);
    if (kind_ == kControl)
        RebuildPath(trace_);
    trace_.modified = true;
    LoadGrid();
    if (s.lastRow > 1 && trace_.points.count[kind_] > 0) {
        const int row = std::min(s.lastRow - 1, trace_.points.count[kind_]);
        SetSelection({row, row, 1, columnCount() - 1});
    }
    emit PointsEdited(kind_);
}

void PointsGrid::DuplicateSelectedPoint() {
    const GridSelection s = Selection();
    if (trace_.points.count[kind_] < 1)
        return;
    if (!CanAddPoint(trace_, kind_, fStr(kCopyOfPointString), *dialogs_) || s.firstRow < 1)
        return;
    DuplicatePoint(trace_, kind_, s.firstRow);
    trace_.modified = true;
    LoadGrid();
    SetSelection({s.firstRow + 1, s.firstRow + 1, 1, columnCount() - 1});
    emit PointsEdited(kind_);
}

void PointsGrid::keyPressEvent(QKeyEvent* event) {
    const bool locked = keysLocked_ && kind_ == kControl;
    if (state() != QAbstractItemView::EditingState) {
        if (event->key() == Qt::Key_Delete) {
            if (!locked)
                DeleteSelectedPoints();
            return;
        }
        if (event->key() == Qt::Key_D && event->modifiers() == Qt::ControlModifier) {
            if (!locked)
                DuplicateSelectedPoint();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            if (!locked)
                PasteText(QApplication::clipboard()->text());
            return;
        }
    }
    if (locked)
        return;
    QTableWidget::keyPressEvent(event);
}

void PointsGrid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    emit MouseDown(kind_, mods);
    if (mods != Qt::ShiftModifier)
        return;
    const GridSelection s = Selection();
    if (s.firstRow < 1 || s.firstRow > trace_.points.count[kind_])
        return;
    const PointRecord& p = trace_.points.At(kind_, s.firstRow);
    emit LookTargetPicked(p.x, p.y, p.z);
}

void PointsGrid::mouseMoveEvent(QMouseEvent* event) {
    const int column = columnAt(event->position().toPoint().x());
    if (column != tipColumn_) {
        tipColumn_ = column;
        setToolTip(GridColumnTip(kind_, column));
    }
    QTableWidget::mouseMoveEvent(event);
}

void PointsGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    if (kind_ != kControl || event->button() != Qt::LeftButton)
        return;
    // A click on the hide column alone toggles hide for every selected row.
    const GridSelection s = Selection();
    if (s.firstRow <= 0 || s.firstColumn != kFieldHide || s.lastColumn != kFieldHide)
        return;
    for (int i = s.firstRow; i <= s.lastRow; ++i) {
        const float hide = GetPointField(trace_.points, kControl, i, kFieldHide);
        SetPointField(trace_.points, kControl, i, kFieldHide, hide != 0.0f ? 0.0f : 1.0f);
        WriteGridRow(i);
    }
    RefreshVisibleFlags(trace_);
    trace_.modified = true;
    emit PointsEdited(kind_);
}

} // namespace kestrova::ui

#include "ui/widgets/points_grid.h"

#include "core/model/grid_rows.h"
#include "core/model/point_fields.h"
#include "core/model/point_table_ops.h"
#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/tangents.h"
#include "core/settings/language.h"
#include "ui/widgets/number_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <utility>

namespace kestrova::ui {
namespace {

constexpr int kCopyOfPointString = 121;
constexpr int kAddPointString = 280;
constexpr int kPasteString = 126;
constexpr int kPasteRefusedString = 127;

// The cell editor takes digits, a minus sign and the decimal separators; anything else is
// refused as it is typed.
class CellKeyFilter : public QObject {
public:
    CellKeyFilter(Dialogs*& dialogs, QObject* parent) : QObject(parent), dialogs_(dialogs) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (typed.isEmpty() || (key->modifiers() & Qt::ControlModifier) || !typed.front().isPrint())
            return false;
        for (QChar ch : typed) {
            if (!NumberKeyAllowed({true, true, false}, ch)) {
                dialogs_->Beep();
                return true;
            }
        }
        return false;
    }

private:
    Dialogs*& dialogs_;
};

// The columns keep their designed widths, which leave no room for the style's text margins:
// "179.99" must still fit the fov column. The text goes one pixel from the cell's sides.
class TightTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(opt.rect.adjusted(1, 0, -1, 0), static_cast<int>(opt.displayAlignment),
                          text);
        painter->restore();
    }
};

class CellDelegate : public TightTextDelegate {
public:
    CellDelegate(Dialogs*& dialogs, QObject* parent)
        : TightTextDelegate(parent), dialogs_(dialogs) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->installEventFilter(new CellKeyFilter(dialogs_, editor));
        return editor;
    }

private:
    Dialogs*& dialogs_;
};

// The cells of one pasted line: a spreadsheet copies tabs, other programs semicolons or blanks.
QStringList PastedCells(const QString& line) {
    if (line.contains(QLatin1Char('\t')))
        return line.split(QLatin1Char('\t'));
    if (line.contains(QLatin1Char(';')))
        return line.split(QLatin1Char(';'));
    return line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

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
    setItemDelegate(new CellDelegate(dialogs_, this));
    ApplyHeader();
    InitFrozenColumn();
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
        setColumnWidth(c, widths[c] / kTwipsPerPixel);
    }
}

void PointsGrid::InitFrozenColumn() {
    // A second view of the same model and selection, showing only the n° column, lies over the
    // grid's left edge; the grid scrolls underneath it.
    frozen_ = new QTableView(this);
    frozen_->setObjectName(objectName() + QStringLiteral("Frozen"));
    frozen_->setModel(model());
    frozen_->setSelectionModel(selectionModel());
    frozen_->setItemDelegate(new TightTextDelegate(frozen_));
    frozen_->setFont(font());
    frozen_->horizontalHeader()->setFont(horizontalHeader()->font());
    frozen_->setStyleSheet(styleSheet());
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->setSelectionMode(selectionMode());
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->verticalHeader()->hide();
    // Rows as tall as the grid's, or the numbers drift away from their rows.
    frozen_->verticalHeader()->setFont(verticalHeader()->font());
    frozen_->verticalHeader()->setMinimumSectionSize(verticalHeader()->minimumSectionSize());
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int c = 1; c < columnCount(); ++c)
        frozen_->setColumnHidden(c, true);
    frozen_->setColumnWidth(0, columnWidth(0));
    viewport()->stackUnder(frozen_);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (column == 0) {
                    frozen_->setColumnWidth(0, size);
                    PlaceFrozenColumn();
                }
            });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int size) { frozen_->setRowHeight(row, size); });
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    PlaceFrozenColumn();
    frozen_->show();
}

void PointsGrid::PlaceFrozenColumn() {
    if (!frozen_)
        return;
    frozen_->setGeometry(viewport()->x(), frameWidth(), columnWidth(0),
                         viewport()->height() + horizontalHeader()->height());
}

void PointsGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    PlaceFrozenColumn();
}

void PointsGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    PlaceFrozenColumn();
}

QModelIndex PointsGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableWidget::moveCursor(action, modifiers);
    // Moving left must not leave the current cell hidden under the n° column.
    const int frozenWidth = columnWidth(0);
    if (action == MoveLeft && current.column() > 0 && visualRect(current).left() < frozenWidth)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                        visualRect(current).left() - frozenWidth);
    return current;
}

void PointsGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (index.column() > 0 || columnCount() < 2) {
        QTableWidget::scrollTo(index, hint);
        return;
    }
    // The n° column is always in sight: only the row needs bringing into view.
    const int h = horizontalScrollBar()->value();
    QTableWidget::scrollTo(model()->index(index.row(), 1), hint);
    horizontalScrollBar()->setValue(h);
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
    QList<QStringList> rows;
    for (const QString& line :
         text.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts)) {
        if (!line.trimmed().isEmpty())
            rows.append(PastedCells(line));
    }
    // Every cell is checked before anything changes: one bad cell refuses the whole paste.
    bool any = false;
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList& cells = rows[r];
        for (int c = 0; c < cells.size() && col0 + c < columnCount(); ++c) {
            const QString cell = cells[c].trimmed();
            if (cell.isEmpty())
                continue;
            bool ok = false;
            ParseLocaleNumber(cell, &ok);
            if (!ok) {
                // Said, not only beeped: a long paste needs the cell at fault named.
                dialogs_->Message(fStr(kPasteString),
                                  fStr(kPasteRefusedString, row0 + r + 1,
                                       horizontalHeaderItem(col0 + c)->text(), cell),
                                  MessageIcon::Information, MessageButtons::Ok);
                return;
            }
            any = true;
        }
    }
    if (!any) {
        dialogs_->Beep();
        return;
    }
    // Rows past the last point become new points, as far as the limit allows.
    const int wanted = row0 + static_cast<int>(rows.size());
    int lastRow = std::min(wanted, kMaxPoints);
    while (trace_.points.count[kind_] < lastRow)
        AppendPointXYZ(trace_, kind_, 0, 0, 0, std::nullopt, false);
    if (wanted > kMaxPoints) // the table is full now: this shows the limit message
        CanAddPoint(trace_, kind_, fStr(kAddPointString), *dialogs_);
    bool positions = false;
    for (int r = 0; row0 + r < lastRow; ++r) {
        const QStringList& cells = rows[r];
        for (int c = 0; c < cells.size() && col0 + c < columnCount(); ++c) {
            if (cells[c].trimmed().isEmpty())
                continue;
            EditGridCell(trace_, kind_, row0 + r + 1, col0 + c, cells[c].trimmed());
            positions |= col0 + c <= kFieldZ;
        }
    }
    lastRow = std::max(lastRow, row0 + 1);
    if (rowCount() != trace_.points.count[kind_])
        LoadGrid();
    for (int i = row0 + 1; i <= lastRow; ++i)
        WriteGridRow(i);
    FinishEdit(positions, row0 + 1, lastRow);
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
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // Shift+click picks the clicked row's position as the look target; the selection stays.
    const int row = rowAt(event->position().toPoint().y()) + 1;
    if (mods == Qt::ShiftModifier && event->button() == Qt::LeftButton && row >= 1 &&
        row <= trace_.points.count[kind_]) {
        emit MouseDown(kind_, mods);
        skipRelease_ = true;
        event->accept();
        const PointRecord& p = trace_.points.At(kind_, row);
        emit LookTargetPicked(p.x, p.y, p.z);
        return;
    }
    QTableWidget::mousePressEvent(event);
    emit MouseDown(kind_, mods);
}

void PointsGrid::mouseMoveEvent(QMouseEvent* event) {
    const int column = columnAt(event->position().toPoint().x());
    if (column != tipColumn_) {
        tipColumn_ = column;
        setToolTip(GridColumnTip(kind_, column));
    }
    QTableWidget::mouseMoveEvent(event);
}

void PointsGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // Both clicks of a double-click on the hide column would toggle; the first one did already,
    // and no editor opens there.
    if (kind_ == kControl && event->button() == Qt::LeftButton &&
        columnAt(event->position().toPoint().x()) == kFieldHide) {
        skipRelease_ = true;
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

void PointsGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    if (std::exchange(skipRelease_, false))
        return;
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

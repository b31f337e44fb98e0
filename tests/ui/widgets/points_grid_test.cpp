#include "ui/widgets/points_grid.h"

#include "core/model/point_table_ops.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class PointsGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 4; ++i)
            AppendPointXYZ(trace, kControl, i * 100.0, 0, 0, std::nullopt, true);
        grid.resize(700, 300);
        grid.LoadGrid();
    }
    void Type(int row, int column, const QString& text) {
        grid.item(row - 1, column)->setText(text); // what the editor commits
    }

    Trace trace;
    test::ScriptedDialogs dialogs;
    PointsGrid grid{kControl, trace, dialogs};
};

TEST_F(PointsGridTest, TypedValuesAreStoredAndShownAsStored) {
    QSignalSpy edited(&grid, &PointsGrid::PointsEdited);
    Type(2, 7, QStringLiteral("200"));
    EXPECT_EQ(grid.item(1, 7)->text(), QStringLiteral("179.99"));
    EXPECT_EQ(trace.points.At(kControl, 2).fov, 179.99f);
    EXPECT_EQ(edited.count(), 1);

    Type(2, 1, QStringLiteral("abc"));
    EXPECT_EQ(grid.item(1, 1)->text(), QStringLiteral("100.00"));
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(edited.count(), 1);

    // A moved point keeps the curve through it.
    Type(2, 2, QStringLiteral("50"));
    EXPECT_TRUE(std::any_of(trace.path.begin(), trace.path.end(),
                            [](const auto& p) { return p.x == 100.0f && p.y == 50.0f; }));
}

TEST_F(PointsGridTest, DeleteAndCopyWorkOnTheSelectionUnlessLocked) {
    grid.SetSelection({2, 3, 1, 11});
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(trace.points.At(kControl, 2).x, 300.0f);
    EXPECT_EQ(grid.Selection().firstRow, 2); // the row before the last deleted one

    grid.SetSelection({1, 1, 1, 1});
    QTest::keyClick(&grid, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(trace.points.At(kControl, 2).x, 0.0f);
    EXPECT_EQ(grid.Selection().firstRow, 2);
    EXPECT_EQ(grid.item(2, 0)->text(), QStringLiteral("  3"));

    // Locked keys leave the points alone.
    grid.SetKeysLocked(true);
    grid.SetSelection({1, 1, 1, 11});
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(trace.ControlCount(), 3);
}

void Paste(PointsGrid& grid, int row, int column, const QString& text) {
    QApplication::clipboard()->setText(text);
    if (row > 0)
        grid.setCurrentCell(row - 1, column);
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
}

TEST_F(PointsGridTest, PastedRowsMaySeparateTheirCellsByTabsSemicolonsOrBlanks) {
    const char* const texts[] = {"1\t2\t3", "1;2;3", " 1  2 3 ", "1\t\t3"};
    for (const char* text : texts) {
        trace.points.At(kControl, 2) = trace.points.At(kControl, 3); // x 200, y 0, z 0
        grid.LoadGrid();
        Paste(grid, 2, 1, QString::fromLatin1(text));
        const PointRecord& p = trace.points.At(kControl, 2);
        EXPECT_EQ(p.x, 1.0f) << text;
        EXPECT_EQ(p.y, QByteArray(text).contains("\t\t") ? 0.0f : 2.0f) << text;
        EXPECT_EQ(p.z, 3.0f) << text;
        EXPECT_EQ(grid.item(1, 1)->text(), QStringLiteral("1.00")) << text;
    }
    EXPECT_EQ(trace.ControlCount(), 4);
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(PointsGridTest, PastedRowsPastTheEndBecomePoints) {
    QSignalSpy edited(&grid, &PointsGrid::PointsEdited);
    Paste(grid, 4, 1, QStringLiteral("7 8 9\n10 11 12\r\n13 14 15\n"));
    ASSERT_EQ(trace.ControlCount(), 6);
    EXPECT_EQ(trace.points.At(kControl, 4).x, 7.0f);
    EXPECT_EQ(grid.item(5, 3)->text(), QStringLiteral("15.00"));
    EXPECT_EQ(edited.count(), 1) << "one edit for the whole paste";

    Trace empty;
    PointsGrid fresh{kReference, empty, dialogs};
    Paste(fresh, 0, 1, QStringLiteral("5;6;7\n8;9;10"));
    ASSERT_EQ(empty.ReferenceCount(), 2);
    EXPECT_EQ(empty.points.At(kReference, 2).z, 10.0f);
}

TEST_F(PointsGridTest, APasteWithTextThatIsNoNumberChangesNothing) {
    Paste(grid, 1, 1, QStringLiteral("1\t2\t3\n4\tabc\t6\n7\t8\t9\n1\t1\t1\n5\t5\t5"));
    ASSERT_EQ(dialogs.messages.size(), 1); // the cell at fault is named
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Paste"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Nothing was pasted: the text for point 2, column y, is not a "
                             "number: \"abc\"."));
    EXPECT_EQ(trace.ControlCount(), 4);
    EXPECT_EQ(trace.points.At(kControl, 1).x, 0.0f);
}

TEST_F(PointsGridTest, APasteAndACopyStopAtTheLimitWithTheMessage) {
    for (int i = 4; i < kMaxPoints - 1; ++i)
        AppendPointXYZ(trace, kControl, i, 0, 0, std::nullopt, false);
    grid.LoadGrid();
    Paste(grid, kMaxPoints - 1, 1, QStringLiteral("1 1 1\n2 2 2\n3 3 3"));
    EXPECT_EQ(trace.ControlCount(), kMaxPoints);
    EXPECT_EQ(trace.points.At(kControl, kMaxPoints).x, 2.0f);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Addition of a point"));

    // A copy at the limit is refused too.
    grid.SetSelection({1, 1, 1, 1});
    QTest::keyClick(&grid, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(trace.ControlCount(), kMaxPoints);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].title, QStringLiteral("Copy of a point"));
}

TEST_F(PointsGridTest, TheCellEditorRefusesWhatIsNoPartOfANumber) {
    grid.show();
    QApplication::setActiveWindow(&grid);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentCell(0, 1);
    grid.editItem(grid.item(0, 1));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QTest::keyClicks(editor, QStringLiteral("abc-4x5.5"));
    EXPECT_EQ(editor->text(), QStringLiteral("-45.5"));
    EXPECT_EQ(dialogs.beeps, 4);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits on its next turn
    EXPECT_EQ(trace.points.At(kControl, 1).x, -45.5f);
}

TEST_F(PointsGridTest, ColumnsKeepTheirWidthsInPixels) {
    // Twips / 15: n° 435, x y z 885, angles 720 (705 for reference points), fov 570, ts 495,
    // hide wgA wgF 435.
    const QList<int> control = {29, 59, 59, 59, 48, 48, 48, 38, 33, 29, 29, 29};
    const QList<int> reference = {29, 59, 59, 59, 47, 47, 47};
    PointsGrid refGrid{kReference, trace, dialogs};
    for (const auto& [g, widths] : {std::pair<PointsGrid*, QList<int>>{&grid, control},
                                    std::pair<PointsGrid*, QList<int>>{&refGrid, reference}}) {
        ASSERT_EQ(g->columnCount(), widths.size());
        for (int c = 0; c < widths.size(); ++c)
            EXPECT_EQ(g->columnWidth(c), widths[c]) << "grid " << g->Kind() << " column " << c;
    }
}

TEST_F(PointsGridTest, TheNumberColumnStaysWhenTheGridScrollsSideways) {
    grid.resize(220, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QScrollBar* bar = grid.horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    QTest::qWait(20);

    // What the user sees at the grid's left edge on the third row.
    const QPoint p(grid.frameWidth() + 5, grid.frameWidth() + grid.horizontalHeader()->height() +
                                              grid.rowViewportPosition(2) + grid.rowHeight(2) / 2);
    QAbstractItemView* view = nullptr;
    for (QWidget* w = grid.childAt(p); w && !view; w = w->parentWidget())
        view = qobject_cast<QAbstractItemView*>(w);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->indexAt(view->viewport()->mapFrom(&grid, p)).data().toString(),
              QStringLiteral("  3"));

    // Each number sits on its own row, down to the last one.
    QTableView* frozen = grid.FrozenColumn();
    ASSERT_NE(frozen, nullptr);
    for (int row = 0; row < grid.rowCount(); ++row)
        EXPECT_EQ(frozen->rowViewportPosition(row), grid.rowViewportPosition(row)) << row;

    // The grid still reaches its last column, and a row chosen by its number is the grid's.
    EXPECT_LT(grid.columnViewportPosition(kFieldWgF), grid.viewport()->width());
    grid.SetSelection({3, 3, 0, 0});
    EXPECT_TRUE(frozen->selectionModel()->isSelected(grid.model()->index(2, 0)));
}

} // namespace
} // namespace kestrova::ui

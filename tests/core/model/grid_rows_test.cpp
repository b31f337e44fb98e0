#include "core/model/grid_rows.h"

#include "core/model/point_fields.h"
#include "core/settings/language.h"
#include "core/support_trace.h"
#include "support/scoped_locale.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(GridRows, RowsShowLocaleNumbersWithoutGrouping) {
    test::ScopedLocale french(test::ScopedLocale::French());
    Trace t = test::MakeTrace({{12345.5, -2, 0.004}});
    SetPointField(t.points, kControl, 1, kFieldWgA, 2.0f);
    const QStringList row = GridRowText(t, kControl, 1);
    ASSERT_EQ(row.size(), 12);
    EXPECT_EQ((QStringList{row[0], row[1], row[2], row[3], row[7], row[9], row[11]}),
              (QStringList{"  1", "12345,50", "-2,00", "0,00", "90,00", "0", "4"}));

    for (int i = 0; i < 120; ++i)
        AppendPointXYZ(t, kReference, i, 0, 0, std::nullopt, false);
    EXPECT_EQ(GridRowText(t, kReference, 7).size(), 7);
    EXPECT_EQ(GridRowText(t, kReference, 120)[0], QStringLiteral("120"));
}

TEST(GridRows, TypedCellsAreRoundedClampedOrRefused) {
    Trace t = test::MakeTrace({{0, 0, 0}});
    CellEdit e = EditGridCell(t, kControl, 1, kFieldFov, QStringLiteral("200"));
    EXPECT_TRUE(e.accepted);
    EXPECT_EQ(e.shown, QStringLiteral("179.99"));
    e = EditGridCell(t, kControl, 1, kFieldX, QStringLiteral("abc"));
    EXPECT_FALSE(e.accepted);
    EXPECT_EQ(t.points.At(kControl, 1).x, 0.0f);
    e = EditGridCell(t, kControl, 1, kFieldX, QStringLiteral("1.005"));
    EXPECT_EQ(e.shown, QStringLiteral("1.00"));
    EXPECT_FALSE(EditGridCell(t, kControl, 2, kFieldX, QStringLiteral("1")).accepted);
    EXPECT_FALSE(EditGridCell(t, kReference, 1, kFieldX, QStringLiteral("1")).accepted);
}

TEST(GridRows, ColoursAlternateAndDifferPerGrid) {
    const RowColours even = GridRowColours(kControl, 2), odd = GridRowColours(kControl, 3);
    EXPECT_EQ(even.background.r, 243);
    EXPECT_EQ(odd.background.g, 220);
    const RowColours ref = GridRowColours(kReference, 2);
    EXPECT_EQ((std::array{ref.text.r, ref.text.b, ref.background.b}), (std::array{38, 45, 245}));
}

TEST(GridRows, TipsCaptionsAndHeaders) {
    SetLanguageOffset(kLanguageEnglish);
    EXPECT_EQ(GridColumnTip(kControl, kFieldTs), QStringLiteral("Timescale"));
    EXPECT_EQ(GridColumnTip(kControl, kFieldWgF),
              QStringLiteral("Wiggle frequency\r\n(point nb between 2 wiggles)."));
    EXPECT_TRUE(GridColumnTip(kReference, kFieldFov).isEmpty());
    EXPECT_TRUE(GridColumnTip(kControl, kFieldX).isEmpty());
    EXPECT_EQ(SelectionCaption(3), QStringLiteral("3 points"));
    EXPECT_EQ(SelectionCaption(1), QStringLiteral("1 point"));
    EXPECT_TRUE(SelectionCaption(0).isEmpty());
    for (int kind : {kControl, kReference})
        EXPECT_EQ(GridHeaderFormat(kind).count(QLatin1Char('|')) + 1,
                  GridColumnWidthsTwips(kind).size());
}

} // namespace
} // namespace kestrova

#include "core/model/point_fields.h"
#include "core/model/undo.h"
#include "core/path/point_count.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace kestrova::test {
namespace {

// One edit: a control point more, its x telling which edit it was.
void Edit(UndoHistory& h, Trace& t, int n) {
    const int i = t.points.count[kControl] < kMaxPoints ? t.points.count[kControl] + 1 : 1;
    t.points.count[kControl] = i;
    SetPointField(t.points, kControl, i, kFieldX, static_cast<float>(n));
    SetPointField(t.points, kControl, i, kFieldFov, 90);
    RecordUndo(h, t, true, false);
}

TEST(Undo, KeepsFiftyStepsAndShiftsWhenFull) {
    Trace t;
    UndoHistory h;
    ClearUndo(h, t);
    EXPECT_FALSE(h.undoEnabled);
    for (int n = 1; n <= 60; ++n)
        Edit(h, t, n);
    EXPECT_EQ(h.top, 51);
    EXPECT_EQ(h.pos, 51);

    int undos = 0;
    while (Undo(h, t))
        ++undos;
    EXPECT_EQ(undos, 50);
    EXPECT_TRUE(!h.undoEnabled && h.redoEnabled);
    // The oldest ten states are gone: the trace shows the state after edit 10.
    EXPECT_EQ(t.ControlCount(), 10);
    EXPECT_FLOAT_EQ(t.points.rec[kControl][10].x, 10);

    int redos = 0;
    while (Redo(h, t))
        ++redos;
    EXPECT_EQ(redos, 50);
    EXPECT_EQ(t.ControlCount(), 60);
    EXPECT_FLOAT_EQ(t.points.rec[kControl][60].x, 60);
    EXPECT_TRUE(h.undoEnabled && !h.redoEnabled);
}

TEST(Undo, AnEditAfterUndoDropsTheRedoStates) {
    Trace t;
    UndoHistory h;
    ClearUndo(h, t);
    for (int n = 1; n <= 3; ++n)
        Edit(h, t, n);
    ASSERT_TRUE(Undo(h, t));
    ASSERT_TRUE(Undo(h, t));
    EXPECT_TRUE(h.undoEnabled && h.redoEnabled);
    Edit(h, t, 99);
    EXPECT_FALSE(h.redoEnabled);
    EXPECT_FALSE(Redo(h, t));
    EXPECT_EQ(t.ControlCount(), 2);
    EXPECT_FLOAT_EQ(t.points.rec[kControl][2].x, 99);
    // Undoing the first edit after a clear gives the empty trace back.
    ASSERT_TRUE(Undo(h, t));
    ASSERT_TRUE(Undo(h, t));
    EXPECT_EQ(t.ControlCount(), 0);
    EXPECT_FALSE(Undo(h, t));
}

TEST(Undo, RestoresCountsAndSelectionButNotNotesOrOptions) {
    Trace t;
    UndoHistory h;
    t.counts.presetText = {QStringLiteral("500"), QStringLiteral("77")};
    ClearUndo(h, t);
    Edit(h, t, 1);
    Edit(h, t, 2);
    t.points.rec[kControl][2].selected = true;
    t.points.rec[kControl][2].hide = 1;
    t.counts.presetText = {QStringLiteral("301"), QStringLiteral("88")};
    RecordUndo(h, t, true, false);
    EXPECT_TRUE(t.modified);

    int refreshed = 0;
    h.refreshTables = [&](bool c, bool r) { refreshed += c && r; };
    t.notes = QStringLiteral("kept");
    t.script.includeMsg = true;
    ASSERT_TRUE(Undo(h, t));
    EXPECT_EQ(t.counts.presetText, (std::array{QStringLiteral("500"), QStringLiteral("77")}));
    EXPECT_EQ(t.counts.pointCount, 500);
    EXPECT_FALSE(t.points.rec[kControl][2].selected || t.points.rec[kControl][2].hide);
    EXPECT_TRUE(t.notes == QStringLiteral("kept") && t.script.includeMsg);
    EXPECT_EQ(refreshed, 1);

    ASSERT_TRUE(Redo(h, t));
    EXPECT_TRUE(t.points.rec[kControl][2].selected && t.points.rec[kControl][2].hide == 1);
    EXPECT_EQ(t.counts.presetText[1], QStringLiteral("88"));
    EXPECT_EQ(t.counts.pointCount, 301);
    // A restored path follows the restored points.
    EXPECT_EQ(t.pathUpper, 300);
}

TEST(Undo, EveryGestureAndCurveChangeIsAStepOfItsOwn) {
    Trace t; // three points: 601 and 801 path points share out evenly
    UndoHistory h;
    t.counts.presetText[0] = QStringLiteral("601");
    t.counts.frameRate = 50;
    ClearUndo(h, t);
    for (int n = 1; n <= 3; ++n)
        Edit(h, t, n * 100);
    ApplyPointCount(t, 0);
    float& fov = t.points.rec[kControl][2].fov;
    const auto curve = [&] {
        return std::tuple(t.counts.pointCount, t.counts.frameRate, t.counts.transSpeedText,
                          t.points.constantSpeed, fov);
    };
    // A held F through the preview lock (one step when the key comes up), then each setting.
    const std::function<void()> changes[] = {
        [&] { fov = 80, MarkPendingEdit(h, t), fov = 85, MarkPendingEdit(h, t); },
        [&] { ValidatePresetText(t, 0, QStringLiteral("801")); },
        [&] { ApplyFrameRate(t, 25); },
        [&] { ValidateTransSpeedText(t, QStringLiteral("1200.4")); },
        [&] { t.points.constantSpeed = true; },
        [&] { ValidateDurationText(t, QStringLiteral("16.04")); }, // x 25 frames a second
    };
    std::vector states{curve()};
    for (const auto& change : changes) {
        change();
        if (!RecordPendingEdit(h, t) && CurveSettingsChanged(h, t))
            RecordUndo(h, t, false, false);
        states.push_back(curve());
    }
    EXPECT_EQ(states.back(), std::tuple(401, 25, QStringLiteral("1200"), true, 85.0f));
    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(Undo(h, t));
        EXPECT_EQ(curve(), states[i - 1]) << i;
    }
    EXPECT_EQ(states[0], std::tuple(601, 50, QStringLiteral("1000"), false, 90.0f));
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(Redo(h, t));
        EXPECT_EQ(curve(), states[i]) << i;
    }
}

TEST(Undo, SelectAllSkipsHiddenPoints) {
    Trace t;
    t.points.count = {3, 2};
    t.points.rec[kControl][2].hide = 1;
    t.showReferencePoints = false;
    SelectAll(t);
    const auto& c = t.points.rec[kControl];
    EXPECT_EQ((std::array{c[1].selected, c[2].selected, c[3].selected,
                          t.points.rec[kReference][1].selected}),
              (std::array{true, false, true, false}));
    EXPECT_TRUE(AnyPointSelected(t));
    t.showReferencePoints = true;
    SelectAll(t);
    EXPECT_TRUE(t.points.rec[kReference][2].selected);
    DeselectAll(t);
    EXPECT_FALSE(AnyPointSelected(t));
}

} // namespace
} // namespace kestrova::test

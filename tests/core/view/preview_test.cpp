#include "core/path/point_count.h"
#include "core/support_trace.h"
#include "core/view/preview.h"
#include "support/scoped_locale.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace kestrova {
namespace {

class FakeClock : public PreviewClock {
public:
    int64_t now = 1000;
    int64_t NowMs() const override { return now; }
};

// Four control points. With 10 path points each segment has three of them:
// segments 1 1 1 2 2 2 3 3 3 4 (last index 9). With 1000, 333 each (last index 999).
struct PreviewFixture : ::testing::Test {
    Trace trace;
    ViewCamera camera;
    FakeClock clock;
    std::unique_ptr<PathPreview> preview;

    void Make(int32_t pointCount, int32_t frameRate = 25) {
        trace = test::MakeTrace({{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 50}}, pointCount);
        trace.counts.frameRate = frameRate;
        UpdateDuration(trace);
        preview = std::make_unique<PathPreview>(trace, camera, clock);
        preview->autoSelect = true;
    }
    void At(int32_t pathIndex, int32_t pointIndex) {
        trace.preview.index = pathIndex;
        trace.preview.segment = pointIndex;
    }
    // The path point shown and its control point.
    std::array<int32_t, 2> Where() const { return {preview->PathIndex(), preview->PointIndex()}; }
    PreviewEffect Tick(int64_t ms) {
        clock.now = ms;
        return preview->Tick();
    }
};

TEST_F(PreviewFixture, LockingPlacesThePreviewFromTheStoredPosition) {
    struct Case {
        int32_t pathIndex, pointIndex, wantPath, wantPoint;
    };
    const Case cases[] = {
        {0, 0, 0, 1},  {0, 1, 0, 1}, {0, 3, 6, 3}, {0, 4, 9, 4},  {0, 7, 0, 1},
        {-3, 2, 3, 2}, {5, 1, 5, 2}, {9, 1, 9, 4}, {12, 3, 0, 1},
    };
    Make(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pathIndex << "/" << c.pointIndex);
        preview->Unlock();
        At(c.pathIndex, c.pointIndex);
        const PreviewEffect e = preview->Lock();
        EXPECT_TRUE(preview->Locked() && e.camera && e.selectRow && e.timeCaption);
        EXPECT_EQ(Where(), (std::array{c.wantPath, c.wantPoint}));
        EXPECT_FLOAT_EQ(camera.tz, -preview->Path()[c.wantPath].z);
    }
    EXPECT_EQ(preview->LastIndex(), 9);
    // A trace with one point cannot be locked.
    trace = test::MakeTrace({{0, 0, 0}});
    PathPreview one(trace, camera, clock);
    EXPECT_TRUE(one.Lock().unlocked);
    EXPECT_FALSE(one.Locked());
    EXPECT_EQ(one.LastIndex(), -1);
    EXPECT_NE(one.Key(PreviewKey::L, false).lockTo, 1);
}

TEST_F(PreviewFixture, CommandsStepByPointAndByFrame) {
    struct Step {
        int command;
        int32_t wantPath, wantPoint;
        bool rowSelected;
    };
    const Step steps[] = {
        {kPvwNextPoint, 3, 2, true},      {kPvwNextFrame, 4, 2, false},
        {kPvwPreviousFrame, 3, 2, false}, {kPvwPreviousFrame, 2, 1, true},
        {kPvwLast, 9, 4, true},           {kPvwNextFrame, 9, 4, false},
        {kPvwNextPoint, 9, 4, false},     {kPvwPreviousFrame, 8, 3, true},
        {kPvwPreviousPoint, 3, 2, true},  {kPvwFirst, 0, 1, true},
        {kPvwPreviousPoint, 0, 1, false}, {kPvwPreviousFrame, 0, 1, false},
    };
    Make(10);
    preview->Lock();
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "command " << s.command);
        clock.now += 1000;
        const int32_t before = preview->PathIndex();
        const PreviewEffect e = preview->Command(s.command);
        EXPECT_EQ(Where(), (std::array{s.wantPath, s.wantPoint}));
        EXPECT_EQ(e.selectRow, s.rowSelected);
        EXPECT_EQ(e.camera, before != s.wantPath);
        EXPECT_FLOAT_EQ(camera.tx, -preview->Path()[s.wantPath].x);
    }
}

TEST_F(PreviewFixture, ButtonStatesFollowLockPlayAndPosition) {
    struct Case {
        bool lock, play;
        int32_t pathIndex, pointIndex;
        PreviewButtons want;
    };
    const Case cases[] = {
        {false, false, 4, 2, {false, false, false, false, false, false, false}},
        {true, false, 0, 1, {false, false, false, true, true, true, true}},
        {true, false, 4, 2, {true, true, true, true, true, true, true}},
        {true, false, 9, 4, {true, true, true, false, false, false, false}},
        {true, true, 4, 2, {true, true, false, true, false, true, true}},
    };
    Make(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pathIndex << " playing " << c.play);
        preview->Unlock();
        At(c.pathIndex, c.pointIndex);
        if (c.lock)
            preview->Lock();
        if (c.play) {
            At(c.pathIndex - 1, c.pointIndex); // the first frame is shown at once
            preview->Command(kPvwPlay);
        }
        EXPECT_EQ(preview->Buttons(), c.want);
    }
}

TEST_F(PreviewFixture, PlaybackShowsTheFramesDueAndSkipsWhenDrawingIsSlow) {
    Make(1000, 25); // 40 ms frames
    preview->Lock();
    const PreviewEffect start = preview->Command(kPvwPlay);
    EXPECT_TRUE(start.started && start.camera && preview->Playing());
    EXPECT_EQ(preview->PathIndex(), 1);

    struct Due {
        int64_t at;
        int32_t wantPath;
    };
    const Due dues[] = {
        {1010, 1},  // 0.25 frames: nothing new
        {1060, 2},  // 1.5 rounds to 2
        {1100, 2},  // 2.5 rounds to 2 (halves to even)
        {2000, 25}, // a slow redraw: 22 frames skipped at once
    };
    for (const Due& d : dues) {
        Tick(d.at);
        EXPECT_EQ(preview->PathIndex(), d.wantPath) << d.at;
        EXPECT_FLOAT_EQ(camera.tx, -preview->Path()[d.wantPath].x) << d.at;
    }

    // Into the second segment: the caption and the row follow.
    const PreviewEffect next = Tick(1000 + 333 * 40);
    EXPECT_EQ(Where(), (std::array{333, 2}));
    EXPECT_TRUE(next.timeCaption && next.selectRow);
    EXPECT_FALSE(Tick(1000 + 334 * 40).selectRow);
}

TEST_F(PreviewFixture, PlaybackStopsOnTheLastPointAndSelectsTheLastRow) {
    Make(1000, 25);
    preview->Lock();
    preview->Command(kPvwPlay);
    Tick(1000 + 999 * 40); // exactly the last point: still playing
    EXPECT_EQ(preview->PathIndex(), 999);
    EXPECT_TRUE(preview->Playing());
    const PreviewEffect end = Tick(1000 + 1000 * 40);
    EXPECT_FALSE(preview->Playing() || preview->Buttons().startStop);
    EXPECT_TRUE(end.stopped && end.selectRow && end.timeCaption);
    EXPECT_EQ(Where(), (std::array{999, 4}));

    // A jump far past the end stops there too, and without auto-selection no row is chosen.
    preview->autoSelect = false;
    preview->Command(kPvwPlay); // at the end: starts again from the first point
    EXPECT_EQ(preview->PathIndex(), 1);
    const PreviewEffect far = Tick(10'000'000);
    EXPECT_TRUE(far.stopped && !far.selectRow);
    EXPECT_EQ(preview->PathIndex(), 999);

    // Stopping keeps the place; unlocking stops too.
    preview->Command(kPvwFirst);
    preview->Command(kPvwPlay);
    Tick(10'000'400); // 10 frames
    EXPECT_TRUE(preview->Command(kPvwStop).stopped);
    EXPECT_FALSE(preview->Playing());
    EXPECT_FALSE(Tick(10'005'000).camera);
    EXPECT_EQ(preview->PathIndex(), 10);
    preview->Command(kPvwPlay);
    const PreviewEffect e = preview->Unlock();
    EXPECT_TRUE(e.stopped);
    EXPECT_FALSE(preview->Playing() || preview->Locked());
    EXPECT_TRUE(preview->TimeCaption().isEmpty());
}

TEST_F(PreviewFixture, FrameDurationHasAFloorAndARateChangeRestartsTheTiming) {
    Make(1000, 400);
    EXPECT_FLOAT_EQ(preview->FrameDuration(), 2.5f);
    trace.counts.frameRate = 200000; // 0.005 ms would be too short
    preview->Lock();
    EXPECT_FLOAT_EQ(preview->FrameDuration(), 0.01f);
    preview->Command(kPvwPlay);
    Tick(1001); // 100 frames of 0.01 ms
    EXPECT_EQ(preview->PathIndex(), 100);

    preview->Command(kPvwStop);
    preview->Command(kPvwFirst);
    preview->SetFrameRate(25);
    clock.now = 2000;
    preview->Command(kPvwPlay); // index 1
    Tick(2200);                 // 5 frames due
    EXPECT_EQ(preview->PathIndex(), 5);
    preview->SetFrameRate(50); // 20 ms from now on, counted from here
    Tick(2210);
    EXPECT_EQ(preview->PathIndex(), 6); // the restarted timing shows its first frame
    Tick(2250);                         // 2 frames of 20 ms since the restart
    EXPECT_EQ(preview->PathIndex(), 7);
    preview->SetFrameRate(0); // ignored
    EXPECT_FLOAT_EQ(preview->FrameDuration(), 20.0f);
}

TEST_F(PreviewFixture, PreviousPointWhilePlayingNeedsTwoQuickPresses) {
    Make(1000, 25);
    preview->Lock();
    preview->Command(kPvwPlay);
    Tick(1000 + 700 * 40);
    ASSERT_EQ(preview->PointIndex(), 3);

    // Once: back to the start of point 3; again within 500 ms: one point back; later: a new
    // first press. Not playing: always one point back.
    const int32_t waits[] = {10, 499, 500, -1}, want[][2] = {{3, 666}, {2, 333}, {2, 333}, {1, 0}};
    for (int i = 0; i < 4; ++i) {
        if (waits[i] < 0)
            preview->Command(kPvwStop);
        clock.now += std::max(waits[i], 0);
        preview->Command(kPvwPreviousPoint);
        EXPECT_EQ(preview->PointIndex(), want[i][0]) << i;
        EXPECT_EQ(preview->PathIndex(), want[i][1]) << i;
    }
}

TEST_F(PreviewFixture, KeysSendTheCommandsOfEnabledButtons) {
    struct Case {
        PreviewKey key;
        bool shift;
        bool handled;
        int command;
    };
    Make(10);
    EXPECT_EQ(preview->Key(PreviewKey::L, false).lockTo, 1);
    EXPECT_FALSE(preview->Key(PreviewKey::Up, false).handled); // free camera keys
    preview->Lock();                                           // at 0/1
    // At 0/1, then playing from 3/2: keys of disabled buttons are taken but send nothing.
    const Case cases[] = {
        {PreviewKey::Up, false, true, -1},
        {PreviewKey::Down, false, true, kPvwLast},
        {PreviewKey::Left, true, true, -1},
        {PreviewKey::Right, false, true, kPvwNextPoint},
        {PreviewKey::Right, true, true, kPvwNextFrame},
        {PreviewKey::Space, false, true, kPvwPlay},
        {PreviewKey::Escape, false, false, -1},
        {PreviewKey::Other, false, false, -1},
        {PreviewKey::Left, false, true, kPvwPreviousPoint},
        {PreviewKey::Right, true, true, -1},
        {PreviewKey::Space, false, true, kPvwStop},
        {PreviewKey::Escape, false, true, kPvwStop},
        {PreviewKey::Up, false, true, kPvwFirst},
    };
    for (const Case& c : cases) {
        if (&c == &cases[8]) {
            EXPECT_EQ(preview->Key(PreviewKey::L, false).lockTo, 0);
            preview->Command(kPvwNextPoint);
            preview->Command(kPvwPlay);
        }
        const PreviewKeyAction a = preview->Key(c.key, c.shift);
        EXPECT_EQ(a.handled, c.handled) << static_cast<int>(c.key) << c.shift;
        EXPECT_EQ(a.command, c.command) << static_cast<int>(c.key) << c.shift;
    }
}

TEST_F(PreviewFixture, TimeCaptionShowsTheTimeOfTheFrameShown) {
    test::ScopedLocale locale(QLocale::c());
    Make(10, 25); // frames of 0.04 s; points 2, 3 and 4 start at frames 3, 6 and 9
    EXPECT_TRUE(preview->TimeCaption().isEmpty());
    preview->Lock();
    EXPECT_EQ(preview->TimeCaption(), QStringLiteral("Time: 0.00"));
    EXPECT_TRUE(preview->Command(kPvwNextFrame).timeCaption);
    EXPECT_EQ(preview->TimeCaption(), QStringLiteral("Time: 0.04"));
    preview->Command(kPvwNextPoint);
    EXPECT_EQ(preview->TimeCaption(), QStringLiteral("Time: 0.12"));
    preview->Command(kPvwLast);
    EXPECT_EQ(preview->TimeCaption(), QStringLiteral("Time: 0.36"));

    // Playing: every frame shown updates it, not only a new control point (frame 2, point 1).
    preview->Command(kPvwFirst);
    preview->Command(kPvwPlay);
    EXPECT_TRUE(Tick(1000 + 80).timeCaption);
    EXPECT_EQ(preview->TimeCaption(), QStringLiteral("Time: 0.08"));
}

TEST_F(PreviewFixture, TurningEditsTheAnglesTheModifiersAllow) {
    struct Case {
        TurnModifiers m;
        bool roll;
        float pitch, yaw, rollWant;
        bool changed;
    };
    // From pitch 10, yaw 10.004, roll 5; dx = 10, dy = -5: 1.2 on yaw or roll, -0.6 on pitch.
    const Case cases[] = {
        {{}, false, 9.4f, 11.2f, 5, true},
        {{true, false, false}, false, 9.4f, 10.004f, 5, true},
        {{false, true, false}, false, 10, 11.2f, 5, true},
        {{false, false, true}, false, 10, 10.004f, 5, false},
        {{}, true, 10, 10.004f, 6.2f, true},
        {{false, false, true}, true, 10, 10.004f, 6.2f, true},
        {{true, false, false}, true, 10, 10.004f, 5, false},
    };
    Make(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.m.shift << c.m.ctrl << c.m.alt << c.roll);
        PointRecord& p = trace.points.At(kControl, 2);
        std::tie(p.pitch, p.yaw, p.roll) = std::tuple(10.0f, 10.004f, 5.0f);
        preview->Unlock();
        At(4, 2);
        preview->Lock();
        EXPECT_EQ(preview->Turn(10, -5, c.m, c.roll), c.changed);
        EXPECT_EQ((std::array{p.pitch, p.yaw, p.roll}), (std::array{c.pitch, c.yaw, c.rollWant}));
        if (c.changed) {
            EXPECT_EQ(preview->PathIndex(), 3); // the start of the point
            EXPECT_FLOAT_EQ(camera.yaw, 90 - p.yaw);
            EXPECT_FLOAT_EQ(camera.pitch, -p.pitch);
            EXPECT_TRUE(trace.modified);
        }
    }
    // Two decimals, halves to even: 10.004 + 0.12.
    trace.points.At(kControl, 2).yaw = 10.004f;
    preview->Turn(1, 0, {false, true, false}, false);
    EXPECT_FLOAT_EQ(trace.points.At(kControl, 2).yaw, 10.12f);
    // Pitch stops at straight down and up: 10 - 1000 x 0.12 is held at -90, then -90 + 6.
    preview->Turn(0, -1000, {true, false, false}, false);
    preview->Turn(0, 50, {true, false, false}, false);
    EXPECT_FLOAT_EQ(trace.points.At(kControl, 2).pitch, -84);
}

TEST_F(PreviewFixture, ShiftingAndTheWheelMoveThePointLikeTheFreeCamera) {
    struct Case {
        float pitch, yaw;
        double dx, dy;
        float wheel;
        float x, y, z;
    };
    // Yaw 90 looks along +Y, yaw 0 along +X; a pitch of 30 turns the camera 30 degrees up.
    // Shifting moves by -12.5 dx to the right and 12.5 dy up; the wheel v along the view.
    const Case cases[] = {
        {0, 90, 2, 0, 0, 75, 0, 0},    {0, 90, 0, 2, 0, 100, 0, 25},
        {0, 90, 0, 0, 60, 100, 60, 0}, {0, 0, 0, 0, 60, 160, 0, 0},
        {0, 0, 2, 0, 0, 100, 25, 0},   {30, 90, 0, 0, 100, 100, 86.6f, 50},
    };
    Make(10);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pitch << "/" << c.yaw);
        PointRecord& p = trace.points.At(kControl, 2); // at (100, 0, 0)
        std::tie(p.x, p.y, p.z, p.pitch, p.yaw) = std::tuple(100.0f, 0.0f, 0.0f, c.pitch, c.yaw);
        preview->Unlock();
        At(3, 2);
        preview->Lock();
        EXPECT_TRUE(c.wheel != 0 ? preview->Wheel(c.wheel) : preview->Shift(c.dx, c.dy, 1.0f));
        EXPECT_NEAR(std::hypot(p.x - c.x, p.y - c.y, p.z - c.z), 0, 1e-3);
        EXPECT_FLOAT_EQ(camera.tx, -c.x);
        // The drawn path follows at once; its first sample of the point is the point.
        EXPECT_FLOAT_EQ(trace.path[3].x, c.x);
    }
    preview->Command(kPvwPlay);
    EXPECT_FALSE(preview->Wheel(60)); // not while playing
}

TEST_F(PreviewFixture, EditingWhileLockedRebuildsThePathAtTheNextCommand) {
    Make(10);
    At(0, 1);
    preview->Lock();
    const float before = preview->Path()[0].yaw;
    ASSERT_TRUE(preview->Turn(50, 0, {false, true, false}, false));
    const float edited = trace.points.At(kControl, 1).yaw;
    EXPECT_FLOAT_EQ(edited, before + 6);
    EXPECT_TRUE(preview->PathDirty());
    EXPECT_FLOAT_EQ(preview->Path()[0].yaw, before);
    preview->Command(kPvwNextFrame);
    EXPECT_FALSE(preview->PathDirty());
    EXPECT_FLOAT_EQ(preview->Path()[0].yaw, edited);

    // F writes the camera's field of view, within the field's limits.
    EXPECT_TRUE(preview->SetFov(200));
    EXPECT_FLOAT_EQ(trace.points.At(kControl, 1).fov, 179.99f);
    EXPECT_TRUE(preview->PathDirty());
    EXPECT_EQ(preview->PathIndex(), 0);
}

} // namespace
} // namespace kestrova

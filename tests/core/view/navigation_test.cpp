#include "core/files/editor_host.h"
#include "core/model/point_table_ops.h"
#include "core/support_trace.h"
#include "core/view/navigation.h"
#include "support/scoped_locale.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace kestrova {
namespace {

TEST(ZoomTable, EndsDefaultAndInverse) {
    EXPECT_NEAR(ZoomTableEntry(1), 0.01, 1e-12);
    EXPECT_NEAR(ZoomTableEntry(85), 0.018213, 5e-7);
    EXPECT_NEAR(ZoomTableEntry(1000), 10.0, 1e-9);
    for (int32_t i : {1, 2, 85, 500, 999, 1000})
        EXPECT_EQ(FindZoomIndex(ZoomTableEntry(i)), i);
    // Between two entries: the lower one; outside the table: its ends.
    EXPECT_EQ(FindZoomIndex((ZoomTableEntry(300) + ZoomTableEntry(301)) / 2), 300);
    EXPECT_EQ(FindZoomIndex(0.001), 1);
    EXPECT_EQ(FindZoomIndex(50.0), 1000);
}

TEST(VantageCamera, SeesEveryPointFromAboveAndAside) {
    const std::vector<std::vector<std::array<float, 3>>> traces = {
        {{-512, 768, 400}, {150, 300, 520}, {700, -760, 300}},
        {{100, 200, 300}},                             // a single point
        {{0, 0, 0}, {20000, 0, 0}, {0, 20000, -3000}}, // a large flight
    };
    for (float fov : {90.0f, 40.0f}) {
        for (const auto& points : traces) {
            Trace t;
            for (const auto& p : points)
                AppendPointXYZ(t, kControl, p[0], p[1], p[2], std::nullopt, false);
            ViewCamera c;
            c.fov = fov;
            VantageCamera(t, true, c);
            // The view direction of yaw and pitch, as the 3D view turns the camera.
            const double yaw = c.yaw * M_PI / 180, pitch = c.pitch * M_PI / 180;
            const double f[3] = {std::cos(pitch) * std::sin(yaw), std::cos(pitch) * std::cos(yaw),
                                 -std::sin(pitch)};
            EXPECT_GT(c.pitch, 0); // looks down on the flight
            EXPECT_EQ(c.roll, 0);
            double farthest = 0;
            for (const auto& p : points) {
                const double d[3] = {p[0] + c.tx, p[1] + c.ty, p[2] + c.tz}; // from the eye
                const double len = std::hypot(d[0], d[1], d[2]);
                // Inside the cone of the field of view: nothing falls out of the picture.
                EXPECT_GT((d[0] * f[0] + d[1] * f[1] + d[2] * f[2]) / len,
                          std::cos(fov / 2 * M_PI / 180))
                    << points.size() << " " << fov;
                farthest = std::max(farthest, len);
            }
            EXPECT_GT(c.zfar, farthest);
        }
    }
    // Nothing to look at: the camera stays.
    ViewCamera c{5, 0, 0, 0, 33};
    VantageCamera(Trace{}, true, c);
    EXPECT_EQ((std::array{c.tx, c.yaw}), (std::array{5.0f, 33.0f}));
}

struct Nav : ::testing::Test {
    ViewState views;
    ViewNavigator nav{views};
    void SetUp() override {
        nav.metrics.Resize(1000, 800);
        nav.SelectView(0);
    }
};

TEST_F(Nav, WheelStepsAndStaysInsideTheTable) {
    nav.Wheel(1, {});
    EXPECT_EQ(nav.Current().zoomIndex, 85 + 12);
    nav.Wheel(-1, {false, true, false});
    EXPECT_EQ(nav.Current().zoomIndex, 85 + 6);
    nav.Wheel(1, {true, false, false});
    EXPECT_EQ(nav.Current().zoomIndex, 85 + 8);
    EXPECT_DOUBLE_EQ(nav.metrics.scale, ZoomTableEntry(93));

    for (const int32_t end : {1000, 1}) {
        nav.Current().zoomIndex = end;
        nav.Wheel(end == 1 ? -3 : 3, {});
        EXPECT_EQ(nav.Current().zoomIndex, end);
    }
}

TEST_F(Nav, ZoomDragFollowsThePointerUpward) {
    nav.BeginZoomDrag(100.4);
    nav.ZoomDragMove(90);
    EXPECT_EQ(nav.Current().zoomIndex, 95);
    nav.ZoomDragMove(95.6);
    EXPECT_EQ(nav.Current().zoomIndex, 89);
}

TEST_F(Nav, PanningStopsWhereTheWindowMeetsTheWorldLimit) {
    nav.Current().zoomIndex = 500;
    nav.ApplyZoom();
    const double halfW = nav.metrics.visibleWidth / 2;
    nav.PanTo(1e6f, -1e6f);
    EXPECT_TRUE(nav.clampedH && nav.clampedV);
    EXPECT_NEAR(nav.Current().centreH + halfW, 25000, 0.01);
    EXPECT_NEAR(nav.Current().centreV - nav.metrics.visibleHeight / 2, -25000, 0.01);

    // Wider than the world: held at the middle.
    nav.Current().zoomIndex = 1;
    nav.ApplyZoom();
    ASSERT_GT(nav.metrics.visibleWidth, 50000);
    nav.PanTo(300, 0);
    EXPECT_EQ(nav.Current().centreH, 0);
}

TEST_F(Nav, PanDragContinuesFromTheLimitWithoutLag) {
    nav.Current().zoomIndex = 1000; // 10 pixels a unit
    nav.ApplyZoom();
    const float limit = static_cast<float>((50000 - nav.metrics.visibleWidth) / 2);
    nav.Current().centreH = limit - 10;
    nav.BeginPanDrag(500, 400);
    nav.PanDragMove(0, 400); // 50 units to the right: 40 beyond the limit
    EXPECT_FLOAT_EQ(nav.Current().centreH, limit);
    nav.PanDragMove(100, 400); // back 10 units: moves at once
    EXPECT_NEAR(nav.Current().centreH, limit - 10, 1e-3);
    // Dragging down moves the view up (the world follows the pointer).
    nav.PanDragMove(100, 450);
    EXPECT_NEAR(nav.Current().centreV, 5, 1e-4);
}

TEST_F(Nav, FitAllUsesPointsThenTheMap) {
    const PlanView before = nav.Current();
    nav.FitAll(Trace{}, true, nullptr); // nothing to fit
    EXPECT_EQ(nav.Current().zoomIndex, before.zoomIndex);
    EXPECT_EQ(nav.Current().centreH, before.centreH);

    // One point: a box 1 wide centred on it. 800 pixels fit it at 10 pixels a unit (1000);
    // the 20-pixel margin asks 800 / 82 = 9.756, between entries 996 and 997.
    nav.FitAll(test::MakeTrace({{120, -40, 7}}), true, nullptr);
    EXPECT_FLOAT_EQ(nav.Current().centreH, 120.5f);
    EXPECT_FLOAT_EQ(nav.Current().centreV, -39.5f);
    EXPECT_EQ(nav.Current().zoomIndex, 996);

    const MapBoundsArray bounds{{{-1000, 3000}, {0, 2000}, {-50, 50}}};
    nav.FitAll(Trace{}, true, &bounds);
    EXPECT_FLOAT_EQ(nav.Current().centreH, 1000);
    EXPECT_FLOAT_EQ(nav.Current().centreV, 1000);
    EXPECT_LE(nav.metrics.visibleWidth, 4000 * 1.2);
    EXPECT_GE(nav.metrics.visibleWidth, 4000);

    // Hidden control points and reference points (when shown) take part as told.
    Trace t = test::MakeTrace({{0, 0, 0}, {5000, 0, 0}});
    t.points.At(kControl, 2).hide = 1;
    AppendPointXYZ(t, kReference, -400, 0, 0, std::nullopt, false);
    nav.FitAll(t, false, &bounds);
    EXPECT_FLOAT_EQ(nav.Current().centreH, 0.5f);
    nav.FitAll(t, true, &bounds);
    EXPECT_FLOAT_EQ(nav.Current().centreH, -200);
}

TEST_F(Nav, SelectViewKeepsEachPlansOwnState) {
    nav.Wheel(10, {});
    nav.PanTo(40, 50);
    nav.SelectView(1);
    EXPECT_EQ(nav.Current().zoomIndex, 85);
    EXPECT_EQ(nav.Axes().v, 2);
    nav.SelectView(0);
    EXPECT_EQ(nav.Current().zoomIndex, 205);
    EXPECT_EQ(nav.Current().centreH, 40);
    EXPECT_DOUBLE_EQ(nav.metrics.scale, ZoomTableEntry(205));
}

TEST_F(Nav, PresetsSaveApplyAndEmptySlots) {
    NavEffect e;
    EXPECT_FALSE(nav.ApplyPreset(4, e));
    EXPECT_EQ(nav.ActiveView(), 0);

    nav.SelectView(3);
    views.camera = {1, 2, 3, 10, 20, 5, 70, 9000};
    nav.SavePreset(4);
    EXPECT_EQ(views.presets[4].viewMode, kView3D);
    views.camera = {};
    nav.SelectView(2);
    nav.Current().zoomIndex = 300;
    nav.SavePreset(0);
    EXPECT_EQ(views.presets[0].camera.fov, 0); // plans keep no camera

    ASSERT_TRUE(nav.ApplyPreset(4, e));
    EXPECT_EQ(nav.ActiveView(), 3);
    EXPECT_EQ(views.camera.fov, 70);
    EXPECT_EQ(views.camera.ty, 2);
    ASSERT_TRUE(nav.ApplyPreset(0, e));
    EXPECT_EQ(nav.ActiveView(), 2);
    EXPECT_DOUBLE_EQ(nav.metrics.scale, ZoomTableEntry(300));

    nav.ClearPreset(4);
    EXPECT_FALSE(nav.ApplyPreset(4, e));
}

TEST_F(Nav, ArrowKeysHoldTheirMotionUntilReleased) {
    nav.SelectView(3);
    nav.KeyDown3D(NavKey::Up, {});
    EXPECT_FLOAT_EQ(nav.motion.forward, 60);
    EXPECT_TRUE(nav.KeyboardMoving());
    nav.KeyDown3D(NavKey::Down, {}); // Up still held: no reversal
    EXPECT_FLOAT_EQ(nav.motion.forward, 60);
    nav.KeyUp3D(NavKey::Up);
    EXPECT_EQ(nav.motion.forward, 0);
    EXPECT_FALSE(nav.KeyboardMoving());
    nav.KeyDown3D(NavKey::Down, {false, true, false});
    EXPECT_FLOAT_EQ(nav.motion.forward, -30);

    // A mouse pan in progress keeps the strafe keys off.
    nav.BeginShift3D();
    nav.KeyDown3D(NavKey::Left, {});
    EXPECT_FALSE(nav.motion.keepStrafe);
    nav.EndShift3D();
    nav.KeyDown3D(NavKey::Left, {true, false, false});
    EXPECT_FLOAT_EQ(nav.motion.strafe, 10);
    // While moving forward, the wheel does not add to it.
    nav.Wheel3D(1, {});
    EXPECT_FLOAT_EQ(nav.motion.forward, -30);
}

TEST_F(Nav, TheWheelSetsThePendingMoveItDoesNotAddToIt) {
    nav.SelectView(3);
    struct Case {
        float moveSpeed;
        int delta;
        NavModifiers m;
        float forward; // move speed x 5 x delta x step
    };
    const Case cases[] = {
        {1.0f, 1, {}, 60},
        {1.0f, 1, {}, 60}, // the second notch replaces the first
        {1.0f, -2, {false, true, false}, -60},
        {0.5f, 3, {true, false, false}, 15},
        {2.0f, 1, {true, true, false}, 60}, // Ctrl wins over Shift
    };
    for (const Case& c : cases) {
        nav.moveSpeed = c.moveSpeed;
        const NavEffect e = nav.Wheel(c.delta, c.m);
        EXPECT_FLOAT_EQ(nav.motion.forward, c.forward) << c.moveSpeed << " " << c.delta;
        EXPECT_TRUE(e.redraw);
        EXPECT_FALSE(nav.KeyboardMoving()); // applied once, by the next frame
    }
}

TEST_F(Nav, CameraKeysKeepTheirLimits) {
    test::ScopedLocale c(QLocale::c());
    nav.SelectView(3);
    views.camera.fov = 7.5f;
    NavEffect e = nav.KeyDown3D(NavKey::F, {});
    EXPECT_EQ(views.camera.fov, 2); // 2.5 rounds to even
    EXPECT_EQ(e.transient, QStringLiteral("FOV: 2.00"));
    nav.KeyDown3D(NavKey::F, {});
    EXPECT_FLOAT_EQ(views.camera.fov, 0.1f);
    views.camera.fov = 178;
    nav.KeyDown3D(NavKey::F, {true, false, false});
    EXPECT_FLOAT_EQ(views.camera.fov, 179.99f);

    views.camera.zfar = 150;
    // Shift takes 1000 off (down to the floor, 100), Alt adds 100; Ctrl+Z is not ours.
    const NavModifiers zMods[] = {{true, false, false}, {false, false, true}, {false, true, false}};
    const float zfar[] = {100, 200, 200};
    for (int i = 0; i < 3; ++i) {
        nav.KeyDown3D(NavKey::Z, zMods[i]);
        EXPECT_EQ(views.camera.zfar, zfar[i]) << i;
    }

    for (int i = 0; i < 30; ++i)
        nav.KeyDown3D(NavKey::KeypadPlus, {});
    EXPECT_EQ((std::array{nav.moveSpeed, nav.panSpeed}), (std::array{2.0f, 2.0f}));
    e = nav.KeyDown3D(NavKey::KeypadMinus, {});
    EXPECT_EQ(e.transient, QStringLiteral("Move speed: 1.90"));

    e = nav.KeyDown3D(NavKey::Insert, {false, true, false});
    EXPECT_TRUE(e.addPoint && e.addReference);
}

TEST_F(Nav, MouseLookTurnsAndClamps) {
    nav.SelectView(3);
    nav.Look(-100, 1000);
    EXPECT_FLOAT_EQ(views.camera.yaw, 12);
    EXPECT_FLOAT_EQ(views.camera.pitch, -90);
    nav.Look(3200, 0);
    EXPECT_NEAR(views.camera.yaw, std::fmod(12 - 384.0, 360), 1e-4);
    nav.rollHeld = true;
    NavEffect e = nav.Look(10, 0);
    EXPECT_FLOAT_EQ(views.camera.roll, -1.2f);
    EXPECT_TRUE(e.transient.startsWith(QStringLiteral("Roll ")));
}

TEST(CameraMath, PendingMovementFollowsTheViewDirection) {
    // Yaw 0 looks along +Y, yaw 90 along +X, pitch 90 straight down.
    struct Case {
        float yaw, pitch;
        float ex, ey, ez; // where the eye goes for forward 10
    };
    for (const Case& c : {Case{0, 0, 0, 10, 0}, Case{90, 0, 10, 0, 0}, Case{0, 90, 0, 0, -10}}) {
        ViewCamera cam;
        cam.yaw = c.yaw;
        cam.pitch = c.pitch;
        CameraMotion m;
        m.forward = 10;
        ApplyPendingMovement(cam, m, ComputeCameraAxes(cam.yaw, cam.pitch));
        EXPECT_LT(std::hypot(cam.tx + c.ex, cam.ty + c.ey, cam.tz + c.ez), 1e-4)
            << c.yaw << c.pitch;
        EXPECT_EQ(m.forward, 0);
    }
    // Rise goes up, strafe to the left; keepForward keeps moving on every placement.
    ViewCamera cam;
    CameraMotion m;
    m.rise = 5;
    m.strafe = 2;
    m.forward = 1;
    m.keepForward = true;
    const CameraAxes axes = ComputeCameraAxes(0, 0);
    ApplyPendingMovement(cam, m, axes);
    EXPECT_NEAR(-cam.tz, 5, 1e-5);
    EXPECT_NEAR(-cam.tx, -2, 1e-5);
    ApplyPendingMovement(cam, m, axes);
    EXPECT_NEAR(-cam.ty, 2, 1e-5);
    EXPECT_TRUE(m.rise == 0 && m.strafe == 0);
}

TEST(CameraMath, UnProjectTopLeftGivesTheNearPlane) {
    PlanMetrics m;
    m.Resize(400, 300);
    m.SetScale(0.5);
    // Half scale: the 400 x 300 window spans 800 x 600 units around the centre (100, 50).
    const struct {
        int px, py, view;
        float x, y, z;
    } cases[] = {{0, 0, kViewXY, -300, 350, 25000},
                 {0, 0, kViewXZ, -300, -25000, 350},
                 {400, 300, kViewYZ, 25000, 500, -250}};
    for (const auto& c : cases) {
        const auto w = UnProjectPlan(c.px, c.py, m, c.view, 100, 50);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(w[k], (std::array{c.x, c.y, c.z})[k], 1e-2) << c.view << " " << k;
    }
}

TEST(CameraMath, PointAndCameraConvertBothWays) {
    PointRecord p;
    std::tie(p.x, p.y, p.z, p.pitch, p.yaw, p.roll, p.fov) =
        std::tuple(10, -20, 30, 15, 300, 4, 95);
    ViewCamera c;
    CameraFromPoint(p, c);
    EXPECT_EQ((std::array{c.tx, c.pitch, c.yaw}), (std::array{-10.0f, -15.0f, -210.0f}));
    const PointRecord b = PointFromCamera(c);
    EXPECT_EQ((std::array{b.x, b.y, b.z, b.pitch, b.yaw, b.roll, b.fov}),
              (std::array<float, 7>{10, -20, 30, 15, 300, 4, 95}));
}

TEST(ScaleCaption, RightAlignedInNineCharacters) {
    test::ScopedLocale c(QLocale::c());
    EXPECT_EQ(ScaleCaption(QStringLiteral("Scale:"), 43925.0), QStringLiteral("Scale: 43925.00"));
    EXPECT_EQ(ScaleCaption(QStringLiteral("Scale:"), 80.5), QStringLiteral("Scale:    80.50"));
}

TEST(NewTraceCamera, StartsLevelAtTheOrigin) {
    GameState games;
    ViewState views;
    views.camera = {5, 6, 7, 30, 40, 50, 60, 1000};
    EditorTraceHost host(games, views);
    host.ResetForNewTrace(false);
    const ViewCamera& c = views.camera;
    EXPECT_EQ((std::array{c.tx, c.ty, c.tz, c.yaw, c.pitch, c.roll, c.fov, c.zfar}),
              (std::array<float, 8>{0, 0, 0, 0, 0, 0, 90, 50000}));
}

} // namespace
} // namespace kestrova

#include "core/view/dot_thinning.h"

#include <gtest/gtest.h>
#include <vector>

namespace kestrova {
namespace {

PlanMetrics Surface(double scale) {
    PlanMetrics m;
    m.Resize(800, 600);
    m.SetScale(scale);
    return m;
}

ViewCamera EyeAt(float x, float y, float z, float yaw, float pitch) {
    ViewCamera c;
    c.tx = -x;
    c.ty = -y;
    c.tz = -z;
    c.yaw = yaw;
    c.pitch = pitch;
    c.fov = 90;
    c.zfar = 30000;
    return c;
}

TEST(ScreenProjection, PutsWorldPointsOnThePixelsOfEachView) {
    const PlanMetrics plan = Surface(2); // 2 pixels a unit, centre (100, 50) in the middle
    const PlanMetrics wide = Surface(1);
    struct Case {
        const char* what;
        int32_t viewMode;
        ViewCamera camera;
        std::array<float, 3> world;
        bool shown;
        double px, py;
    };
    const Case cases[] = {
        {"X-Y right and down", kViewXY, {}, {110, 40, 0}, true, 420, 280},
        {"X-Z: Z is up", kViewXZ, {}, {110, -700, 60}, true, 420, 320},
        {"Y-Z: Y right, Z up", kViewYZ, {}, {-700, 110, 60}, true, 420, 320},
        // 90 degrees high, 4:3: at 100 units ahead the surface spans 100 up and 133.3 right.
        {"3D half up", kView3D, EyeAt(0, 0, 0, 0, 0), {0, 100, 50}, true, 400, 450},
        {"3D right", kView3D, EyeAt(0, 0, 0, 0, 0), {25, 100, 0}, true, 475, 300},
        {"3D eye moved", kView3D, EyeAt(10, -20, 5, 0, 0), {10, 80, 5}, true, 400, 300},
        {"3D yaw 90 looks along +X", kView3D, EyeAt(0, 0, 0, 90, 0), {100, 0, 0}, true, 400, 300},
        {"3D pitch 90 looks down", kView3D, EyeAt(0, 0, 0, 0, 90), {0, 0, -100}, true, 400, 300},
        {"3D behind the eye", kView3D, EyeAt(0, 0, 0, 0, 0), {0, -100, 0}, false, 0, 0},
        {"3D past the far plane", kView3D, EyeAt(0, 0, 0, 0, 0), {0, 40000, 0}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenProjection view = ScreenProjection::OfView(
            c.viewMode, c.viewMode == kView3D ? wide : plan, 100, 50, c.camera);
        double px = -1, py = -1;
        ASSERT_EQ(view.ToWindow(c.world[0], c.world[1], c.world[2], px, py), c.shown);
        if (c.shown) {
            EXPECT_NEAR(px, c.px, 1e-3);
            EXPECT_NEAR(py, c.py, 1e-3);
        }
    }
}

// Dots of a run along X (or straight ahead in 3D), and the X (or Y) of the ones kept.
TEST(ThinDots, KeepsEndsSpacedDotsAndTheFirstBackOnTheSurface) {
    PlanMetrics m;
    m.Resize(100, 100);
    m.SetScale(1); // pixel = world + 50
    const ScreenProjection plan = ScreenProjection::OfView(kViewXY, m, 0, 0, {});
    const ScreenProjection eye = ScreenProjection::OfView(kView3D, m, 0, 0, EyeAt(0, 0, 0, 0, 0));
    struct Case {
        const char* what;
        const ScreenProjection* view;
        float from, step;
        int count;
        ThinningRule rule;
        std::vector<float> kept;
    };
    const Case cases[] = {
        {"a pixel and a half apart, and the last",
         &plan,
         0,
         0.4f,
         26,
         {1.5, 3},
         {0, 1.6f, 3.2f, 4.8f, 6.4f, 8, 9.6f, 10}},
        {"dots wider apart than the spacing all stay", &plan, 0, 2, 5, {1.5, 3}, {0, 2, 4, 6, 8}},
        // Pixels -10 to 10: the first end stays, then nothing until 2.5 pixels off the edge.
        {"off the surface",
         &plan,
         -60,
         1,
         21,
         {1.5, 2.5},
         {-60, -52, -50, -48, -46, -44, -42, -40}},
        {"the dot before a jump", &plan, 0, 0, 0, {1.5, 3}, {0, 1.2f, 6, 6.8f}},
        // Straight away from the eye every dot falls on the centre of the surface.
        {"3D: one pixel for the whole run", &eye, 10, 10, 10, {1.5, 3}, {10, 100}},
        {"3D: behind the eye, then ahead", &eye, -30, 10, 6, {1.5, 3}, {-30, 10, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool ahead = c.view == &eye;
        std::vector<float> xyz;
        for (int i = 0; i < c.count; ++i) {
            const float v = c.from + c.step * static_cast<float>(i);
            xyz.insert(xyz.end(), {ahead ? 0 : v, ahead ? v : 0, 0});
        }
        if (c.count == 0) // two stretches: 0 to 1.2, then 6 to 6.8
            for (float v : {0.0f, 0.4f, 0.8f, 1.2f, 6.0f, 6.4f, 6.8f})
                xyz.insert(xyz.end(), {v, 0, 0});
        const auto count = static_cast<int32_t>(xyz.size() / 3);
        std::vector<float> out = {9, 9, 9}; // appended to, not replaced
        ThinDots(xyz.data(), count, *c.view, c.rule, out);
        ASSERT_EQ(out.size(), 3 + 3 * c.kept.size());
        for (size_t k = 0; k < c.kept.size(); ++k)
            EXPECT_NEAR(out[3 + 3 * k + (ahead ? 1 : 0)], c.kept[k], 1e-5) << "dot " << k;
    }
}

} // namespace
} // namespace kestrova

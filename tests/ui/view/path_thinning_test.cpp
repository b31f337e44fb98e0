// The views draw only the path dots they can tell apart: the picture stays that of every dot,
// and the thinning is done again only for a new view or new dots.
#include "openarena_maps.h"
#include "ui/map/bsp_map_component.h"
#include "ui/view/gl_view.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

int DifferentPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
}

TEST(PathThinning, LargestMapLooksTheSameInPlanAnd3DAtThreeZooms) {
    // The timings' scene: a spiral of 250 points over the largest OpenArena map.
    const QString path = bench::LargestMap();
    std::unique_ptr<BspMapComponent> map = CreateMapComponent();
    if (path.isEmpty() || !map->LoadMap(path, 4))
        GTEST_SKIP() << "no OpenArena map: install openarena-data (scripts/setup does)";
    Trace trace;
    bench::SpiralOverMap(trace, map->GetBounds());
    ViewState views;
    Settings settings; // grid, rulers, times, arrows and tangents on
    GlView view{trace, views, settings};
    view.resize(1024, 768);
    view.SetMap(map.get(), {0, 0, 0});
    // Against every dot, and the tangents, arrows and times drawn segment by segment, glyph by
    // glyph.
    auto grab = [&](bool thin) {
        view.SetPathThinning(thin);
        view.SetGroupedDrawing(thin);
        return view.grabFramebuffer();
    };
    for (int index : {0, 3}) {
        view.SelectView(index);
        if (index == 3)
            view.LookAtPoints();
        else
            view.FitAll();
        const double fitted = view.Metrics().scale;
        const float fov = views.camera.fov;
        // 4x in and out: a plan's scale, the tangent of the 3D half-angle.
        for (double zoom : {1.0, 4.0, 0.25}) {
            SCOPED_TRACE(testing::Message() << "view " << index << " zoom " << zoom);
            if (index == 3)
                views.camera.fov = static_cast<float>(
                    2 * RadToDeg(std::atan(std::tan(DegToRad(fov / 2.0)) / zoom)));
            else
                view.Navigator().metrics.SetScale(fitted * zoom);
            const QImage full = grab(false);
            ASSERT_FALSE(full.isNull()) << "no OpenGL context";
            const QImage thin = grab(true);
            const int all = full.width() * full.height();
            const int differ = DifferentPixels(full, thin);
            std::printf("[ thinning ] view %d zoom %.2f: %d of %d pixels differ\n", index, zoom,
                        differ, all);
            EXPECT_LE(differ, all / 200);
        }
    }
}

} // namespace
} // namespace kestrova::ui

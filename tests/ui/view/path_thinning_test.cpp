// The views draw only the path dots they can tell apart: the picture stays that of every dot,
// and the thinning is done again only for a new view or new dots.
#include "openarena_maps.h"
#include "ui/map/bsp_map_component.h"
#include "ui/view/gl_view.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

// The timings' scene: a spiral of 250 points over the largest OpenArena map, 40000 path points.
struct LargestMapScene {
    Trace trace;
    ViewState views;
    Settings settings; // grid, rulers, times, arrows and tangents on
    std::unique_ptr<BspMapComponent> map = CreateMapComponent();
    std::unique_ptr<GlView> view;

    bool Load() {
        const QString path = bench::LargestMap();
        if (path.isEmpty() || !map->LoadMap(path, 4))
            return false;
        bench::SpiralOverMap(trace, map->GetBounds());
        view = std::make_unique<GlView>(trace, views, settings);
        view->resize(1024, 768);
        view->SetMap(map.get(), {0, 0, 0});
        return true;
    }
    QImage Grab(bool thin) {
        view->SetPathThinning(thin);
        return view->grabFramebuffer();
    }
};

int DifferentPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
}

TEST(PathThinning, LargestMapLooksTheSameInPlanAnd3DAtThreeZooms) {
    LargestMapScene s;
    if (!s.Load())
        GTEST_SKIP() << "no OpenArena map: install openarena-data (scripts/setup does)";
    for (int view : {0, 3}) {
        s.view->SelectView(view);
        if (view == 3)
            s.view->LookAtPoints();
        else
            s.view->FitAll();
        const double fitted = s.view->Metrics().scale;
        const float fov = s.views.camera.fov;
        // 4x in and out: a plan's scale, the tangent of the 3D half-angle.
        for (double zoom : {1.0, 4.0, 0.25}) {
            SCOPED_TRACE(testing::Message() << "view " << view << " zoom " << zoom);
            if (view == 3)
                s.views.camera.fov = static_cast<float>(
                    2 * RadToDeg(std::atan(std::tan(DegToRad(fov / 2.0)) / zoom)));
            else
                s.view->Navigator().metrics.SetScale(fitted * zoom);
            const QImage full = s.Grab(false);
            ASSERT_FALSE(full.isNull()) << "no OpenGL context";
            const QImage thin = s.Grab(true);
            const int all = full.width() * full.height();
            const int differ = DifferentPixels(full, thin);
            std::printf("[ thinning ] view %d zoom %.2f: %d of %d pixels differ\n", view, zoom,
                        differ, all);
            EXPECT_LE(differ, all / 200);
        }
    }
}

} // namespace
} // namespace kestrova::ui

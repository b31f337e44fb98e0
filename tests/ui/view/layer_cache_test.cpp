// The view draws a kept layer back only where the full redraw would give the same pixels, and
// draws again whatever changed: the trace, the map's look, the view.
#include "core/map/bsp_builder.h"
#include "core/path/point_count.h"
#include "core/settings/language.h"
#include "core/support_trace.h"
#include "ui/map/bsp_map_component.h"
#include "ui/view/gl_view.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

TEST(LayerCache, KeptLayersGiveTheFullRedrawsPixelsAndChangesAreRedrawn) {
    SetLanguageOffset(kLanguageEnglish);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("room.bsp"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(test::RoomWithPatch().Build());
    f.close();
    std::unique_ptr<BspMapComponent> map = CreateMapComponent();
    ASSERT_TRUE(map->LoadMap(path, 4));

    Trace trace = test::MakeTrace({{20, 20, 10}, {100, 60, 20}, {160, 180, 30}}, 200);
    UpdateTimeLabels(trace);
    ViewState views;
    Settings settings; // grid, rulers, times, arrows and tangents on
    GlView view{trace, views, settings};
    view.resize(240, 200);
    view.SetMap(map.get(), {0, 0, 0});
    view.SelectView(0);
    view.FitPlansToMap();

    struct Step {
        const char* what;
        std::function<void()> change;
        bool sceneAtOnce; // the first redraw after the change starts from the kept scene
        bool mapAtOnce;   // ... or from the kept map
    };
    const Step steps[] = {
        {"first picture", [] {}, false, false},
        {"a table selection lies on top", [&] { view.SetTableHighlight(kControl, 1, 2); }, true,
         false},
        {"a moved point redraws the trace over the map",
         [&] { trace.points.rec[kControl][2].y += 30; }, false, true},
        {"a new map colour redraws the map", [&] { map->SetMapColour1(Rgb(200, 120, 120)); }, false,
         false},
        {"a pan redraws everything", [&] { view.Navigator().PanTo(60, 70); }, false, false},
        {"the 3D view", [&] { view.SelectView(3); }, false, false},
        {"in 3D the selection is under the overlay, with the map's depths",
         [&] { view.SetTableHighlight(kControl, 3, 3); }, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.change();
        const LayerCache before = view.Layers();
        const QImage first = view.grabFramebuffer();
        ASSERT_FALSE(first.isNull()) << "no OpenGL context";
        EXPECT_EQ(view.Layers().sceneReused - before.sceneReused, s.sceneAtOnce ? 1 : 0);
        EXPECT_EQ(view.Layers().baseReused - before.baseReused, s.mapAtOnce ? 1 : 0);
        view.grabFramebuffer(); // the same twice: the scene is kept
        const int reused = view.Layers().sceneReused;
        const QImage kept = view.grabFramebuffer();
        EXPECT_EQ(view.Layers().sceneReused, reused + 1) << "the third redraw starts from it";

        view.DropLayers();
        const QImage full = view.grabFramebuffer();
        EXPECT_EQ(view.Layers().sceneReused + view.Layers().baseReused, 0);
        EXPECT_TRUE(first == full) << "first redraw after the change";
        EXPECT_TRUE(kept == full) << "redraw from the kept scene";
        view.grabFramebuffer(); // drawn the same twice again: both layers kept for the next step
    }
    view.SetMap(nullptr, {0, 0, 0});
}

} // namespace
} // namespace kestrova::ui

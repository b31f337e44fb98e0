// What needs a real OpenGL context: the font, unprojection against the driver's own matrices,
// the surface with its map; and the surface's input, toolbar and origin dialog.
#include "core/map/bsp_builder.h"
#include "core/settings/language.h"
#include "core/support_trace.h"
#include "support/scoped_locale.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"
#include "ui/dialogs/map_origin_dialog.h"
#include "ui/map/bsp_map_component.h"
#include "ui/view/gl_view.h"
#include "ui/view/real_gl.h"
#include "ui/view/view_toolbar.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

// A bare surface that runs one drawing function with the views' GL state.
class Probe : public QOpenGLWidget {
public:
    std::function<void(RealGl&)> draw;
    RealGl gl;

protected:
    void initializeGL() override {
        RealGl::InitScene();
        gl.BuildFont();
    }
    void paintGL() override {
        gl.Clear();
        draw(gl);
    }
};

int DarkPixels(const QImage& image, QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}

TEST(GlPixels, BitmapFontDrawsPrintableCharactersOnly) {
    Probe probe;
    probe.resize(120, 40);
    QString text;
    probe.draw = [&](RealGl& gl) {
        gl.MatrixMode(GlMatrix::Projection);
        gl.LoadIdentity();
        gl.Ortho(0, 120, 0, 40, -1, 1);
        gl.MatrixMode(GlMatrix::Modelview);
        gl.LoadIdentity();
        gl.Color(0, 0, 0, 1);
        gl.RasterPos2(10, 10);
        PrintText(gl, text);
    };
    text = QStringLiteral("HH");
    const QImage two = probe.grabFramebuffer();
    ASSERT_FALSE(two.isNull()) << "no OpenGL context";
    // Text sits on the raster position: above window row 10, right of column 10.
    const QRect glyphs(10, 40 - 10 - 12, 20, 12);
    const int dark = DarkPixels(two, glyphs);
    EXPECT_GT(dark, 20);
    EXPECT_EQ(DarkPixels(two, QRect(0, 0, 120, 40)), dark) << "nothing drawn elsewhere";
    text = QStringLiteral("H");
    const int one = DarkPixels(probe.grabFramebuffer(), glyphs);
    EXPECT_EQ(one * 2, dark) << "the second glyph advances by the first one's width";
    text = QStringLiteral("\xe9\xff");
    EXPECT_EQ(DarkPixels(probe.grabFramebuffer(), QRect(0, 0, 120, 40)), 0);
}

TEST(GlPixels, BatchedLabelsLandOnTheBitmapsPixels) {
    Probe probe;
    probe.resize(160, 120);
    const struct {
        const char* what;
        bool perspective;
        std::vector<GlLabel> labels;
        QRect blank; // of a label left out or hidden (top-down image rows)
    } cases[] = {
        {"plan: fractions, one over the right edge, two off the view",
         false,
         {{10.3f, 10.7f, 0, "0.00"},
          {40.5f, 60.4f, 0, "12.34"},
          {150.2f, 100.6f, 0, "99.99"},
          {-3, 50, 0, "7.00"},
          {80.5f, -2, 0, "5"}},
         QRect(0, 56, 24, 18)}, // the one at x -3, y 50
        // Frustum 1..100, half-width 1 at depth 1; a grey wall at depth 5 over the left half.
        {"3D: behind the wall, in front of it, behind the eye, off the side",
         true,
         {{-4, 1, -10, "1.00"},
          {3, 1, -10, "2.00"},
          {-1, -2, -3, "3.00"},
          {0, 0, 5, "4.00"},
          {20, 0, -10, "6.00"}},
         QRect(46, 38, 30, 18)}, // the first: window x 48, y 68 (row 52)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool batched = true;
        probe.draw = [&](RealGl& gl) {
            gl.SetBatchedLabels(batched);
            gl.MatrixMode(GlMatrix::Projection);
            gl.LoadIdentity();
            if (c.perspective)
                gl.Frustum(-1, 1, -0.75, 0.75, 1, 100);
            else
                gl.Ortho(0, 160, 0, 120, -1, 1);
            gl.MatrixMode(GlMatrix::Modelview);
            gl.LoadIdentity();
            if (c.perspective) {
                gl.Enable(GlCap::DepthTest);
                gl.Color(0.6f, 0.6f, 0.6f, 1);
                gl.Begin(GlPrimitive::Quads);
                for (const auto& [x, y] : {std::pair{-10, -10}, {0, -10}, {0, 10}, {-10, 10}})
                    gl.Vertex(static_cast<float>(x), static_cast<float>(y), -5);
                gl.End();
            }
            gl.Color(0, 0, 0, 1);
            gl.Labels(c.labels);
            gl.Disable(GlCap::DepthTest);
        };
        const QImage quads = probe.grabFramebuffer();
        ASSERT_FALSE(quads.isNull()) << "no OpenGL context";
        batched = false;
        const QImage bitmaps = probe.grabFramebuffer();
        EXPECT_GT(DarkPixels(bitmaps, bitmaps.rect()), 60);
        EXPECT_EQ(DarkPixels(quads, c.blank), 0);
        int differ = 0;
        for (int y = 0; y < quads.height(); ++y)
            for (int x = 0; x < quads.width(); ++x)
                differ += quads.pixel(x, y) != bitmaps.pixel(x, y) ? 1 : 0;
        EXPECT_EQ(differ, 0);
    }
}

TEST(GlPixels, UnProjectMatchesTheDriverAtTheTopLeftPixel) {
    Probe probe;
    probe.resize(400, 300);
    SceneInput in;
    in.metrics.Resize(400, 300);
    in.metrics.SetScale(0.5);
    in.centreH = 100;
    in.centreV = -40;
    std::array<double, 3> driver{};
    probe.draw = [&](RealGl& gl) {
        SetProjection(gl, in);
        SetCamera(gl, in);
        GLdouble mv[16], proj[16];
        GLint vp[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, vp);
        gluUnProject(0, vp[3], 0, mv, proj, vp, &driver[0], &driver[1], &driver[2]);
    };
    for (int32_t mode : {kViewXY, kViewXZ, kViewYZ}) {
        in.viewMode = mode;
        ASSERT_FALSE(probe.grabFramebuffer().isNull()) << "no OpenGL context";
        const auto ours = UnProjectPlan(0, 0, in.metrics, mode, in.centreH, in.centreV);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(ours[k], driver[k], 0.01) << "view " << mode << " axis " << k;
        const ViewAxes a = AxesOfView(ViewOfMode(mode));
        EXPECT_NEAR(ours[a.h], 100 - 400, 0.01); // the left visible edge
    }
}

struct ViewFixture : ::testing::Test {
    Trace trace;
    ViewState views;
    Settings settings;
    GlView view{trace, views, settings};

    void SetUp() override {
        settings.showGrid = false;
        settings.showRuler = false;
        view.resize(300, 300);
        view.SelectView(0);
    }
    // The pixel of world plan coordinates (h, v) in the current plan.
    QPoint PixelOf(double h, double v) {
        const PlanMetrics& m = view.Metrics();
        const PlanView& p = view.Navigator().Current();
        return QPoint(static_cast<int>(std::lround((h - p.centreH) * m.scale + 150)),
                      static_cast<int>(std::lround(150 - (v - p.centreV) * m.scale)));
    }
};

TEST_F(ViewFixture, DrawsTheMapUnderTheTraceAtItsOffset) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("room.bsp"));
    test::WriteFile(path, test::RoomWithPatch().Build());
    std::unique_ptr<BspMapComponent> map = CreateMapComponent();
    ASSERT_TRUE(map->LoadMap(path, 4));
    view.SetMap(map.get(), {0, 0, 0});
    view.FitPlansToMap();
    view.Navigator().Wheel(-3, {}); // room around the map

    QImage image = view.grabFramebuffer();
    ASSERT_FALSE(image.isNull()) << "no OpenGL context";
    EXPECT_EQ(image.pixelColor(PixelOf(40, 200)), QColor(215, 215, 215)) << "the floor";
    EXPECT_EQ(image.pixelColor(PixelOf(-30, 100)), QColor(Qt::white)) << "outside the room";

    // Shifted 100 units to the left, the room now covers what was outside.
    view.SetMap(map.get(), {-100, 0, 0});
    image = view.grabFramebuffer();
    EXPECT_EQ(image.pixelColor(PixelOf(-30, 100)), QColor(215, 215, 215));

    // A control point is drawn over the map in black.
    AppendPointXYZ(trace, kControl, 60, 60, 0, std::nullopt, true);
    image = view.grabFramebuffer();
    EXPECT_LT(qGray(image.pixel(PixelOf(60, 60))), 60);
    view.SetMap(nullptr, {0, 0, 0});
}

TEST_F(ViewFixture, WheelAndPresetsUpdateTheCaptions) {
    QSignalSpy captions(&view, &GlView::CaptionChanged);
    QWheelEvent wheel(QPointF(150, 150), view.mapToGlobal(QPointF(150, 150)), QPoint(),
                      QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_EQ(views.plans[0].zoomIndex, 85 + 24);
    EXPECT_GE(captions.count(), 1);

    // A preset shows its view's captions without the transient one.
    view.Navigator().SavePreset(0); // X-Y
    view.SelectView(3);
    view.Navigator().SavePreset(1);

    QTest::keyClick(&view, Qt::Key_F);
    ASSERT_FALSE(view.Caption(2).isEmpty());
    view.ApplyPreset(0);
    EXPECT_TRUE(view.Caption(2).isEmpty());
    EXPECT_EQ(view.Caption(3), QStringLiteral("X-Y View"));
    EXPECT_TRUE(view.Caption(1).startsWith(QStringLiteral("Scale:")));

    view.ApplyPreset(1); // the 3D view has no scale
    EXPECT_TRUE(view.Caption(1).isEmpty());
    EXPECT_EQ(view.Caption(3), QStringLiteral("3D View"));
}

TEST_F(ViewFixture, ThreeDKeysMoveWhileHeldAndInsertAddsAPoint) {
    view.SelectView(3);
    auto* timer = view.findChild<QTimer*>(QStringLiteral("tmrKeyboardMoveUpdate"));
    ASSERT_TRUE(timer);
    QTest::keyPress(&view, Qt::Key_Up);
    EXPECT_TRUE(timer->isActive());
    QTest::keyRelease(&view, Qt::Key_Up);
    EXPECT_FALSE(view.Navigator().KeyboardMoving());

    QTest::keyClick(&view, Qt::Key_F);
    EXPECT_TRUE(view.Caption(2).startsWith(QStringLiteral("FOV: ")));

    views.camera.tx = -10;
    views.camera.ty = -20;
    views.camera.tz = -30;
    views.camera.yaw = 90;
    QSignalSpy edited(&view, &GlView::PointsEdited);
    QTest::keyClick(&view, Qt::Key_Insert);
    ASSERT_EQ(edited.count(), 1);
    ASSERT_EQ(trace.ControlCount(), 1);
    EXPECT_EQ(trace.points.At(kControl, 1).x, 10); // the camera's own place
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(trace.ReferenceCount(), 1);
}

TEST_F(ViewFixture, ToolBarFollowsTheViewKeepsPresetsAndFits) {
    ViewToolBar bar(view, trace);
    bar.ViewButton(3)->click();
    EXPECT_TRUE(bar.Keep4by3()->isEnabled());
    EXPECT_TRUE(bar.ToolButton(kTool3D)->isChecked());

    // An empty preset changes nothing; a saved one brings its view back.
    bar.PresetButton(2)->click();
    EXPECT_TRUE(view.Navigator().Is3D());
    bar.ViewButton(1)->click();
    EXPECT_FALSE(bar.Keep4by3()->isEnabled());
    EXPECT_FALSE(bar.ToolButton(kToolSelect)->isEnabled()) << "no points to select";
    bar.SavePreset(5);
    EXPECT_TRUE(trace.modified);
    EXPECT_TRUE(bar.PresetButton(5)->font().bold());
    bar.ViewButton(0)->click();
    bar.PresetButton(5)->click();
    EXPECT_TRUE(bar.ViewButton(1)->isChecked());
    bar.ClearPreset(5);
    EXPECT_FALSE(bar.PresetButton(5)->font().bold());

    // The zoom tool's double-click fits the plan on the points.
    bar.ViewButton(0)->click();
    AppendPointXYZ(trace, kControl, 2000, 3000, 0, std::nullopt, true);
    bar.UpdateToolButtons();
    QTest::mouseDClick(bar.ToolButton(kToolZoom), Qt::LeftButton);
    EXPECT_FLOAT_EQ(views.plans[0].centreH, 2000.5f);
    EXPECT_FLOAT_EQ(views.plans[0].centreV, 3000.5f);
}

struct OriginDialog : ::testing::Test {
    test::ScopedLocale locale{QLocale::c()};
    test::ScriptedDialogs dialogs;
    FrmBspOrigin dialog{dialogs};
    void SetUp() override {
        dialog.SetOffsets(1.5f, -2, 300.25f);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.Box(0)->setFocus();
        QApplication::processEvents();
    }
};

TEST_F(OriginDialog, EnterValidatesEachBoxAndBadTextBeepsAndHoldsOk) {
    EXPECT_EQ(dialog.Box(2)->text(), QStringLiteral("300.25"));
    dialog.Box(0)->setText(QStringLiteral("12.345"));
    QTest::keyClick(dialog.Box(0), Qt::Key_Return);
    EXPECT_EQ(dialog.Box(0)->text(), QStringLiteral("12.35"));
    EXPECT_TRUE(dialog.Box(1)->hasFocus());
    EXPECT_TRUE(dialog.isVisible()) << "Enter is the box's, not the dialog's";

    dialog.Box(1)->setText(QStringLiteral("abc"));
    QTest::keyClick(dialog.Box(1), Qt::Key_Return);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(dialog.Box(1)->selectedText(), QStringLiteral("abc"));
    dialog.Box(1)->setText(QStringLiteral("-2"));

    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdOk"));
    dialog.Box(2)->setText(QStringLiteral("12a"));
    ok->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_TRUE(dialog.Box(2)->hasFocus());
    dialog.Box(2)->setFocus();
    dialog.Box(2)->setText(QStringLiteral("7"));
    QTest::keyClick(dialog.Box(2), Qt::Key_Return); // the last box's Enter confirms
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Canceled());
    float x, y, z;
    dialog.GetOffsets(x, y, z);
    EXPECT_FLOAT_EQ(x, 12.35f);
    EXPECT_FLOAT_EQ(y, -2);
    EXPECT_FLOAT_EQ(z, 7);

    // Escape closes it as it closes the other small windows, typing and all.
    dialog.show();
    dialog.Box(0)->setFocus();
    dialog.Box(0)->setText(QStringLiteral("99"));
    QTest::keyClick(dialog.Box(0), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.Canceled());
}

} // namespace
} // namespace kestrova::ui

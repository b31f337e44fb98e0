#include "core/map/bsp_builder.h"
#include "support/test_files.h"
#include "ui/map/bsp_map_component.h"

#include <GL/gl.h>
#include <QImage>
#include <QOpenGLWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

// Draws the map as the views do: white background, the view's projection and rotation, then
// the component's drawing sequence.
class MapView : public QOpenGLWidget {
public:
    BspMapComponent* map = nullptr;
    std::function<void()> camera;
    float origin[3] = {0, 0, 0};
    bool depthTestAfter = true;
    bool modelviewKept = false;

protected:
    void paintGL() override {
        glClearColor(1, 1, 1, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glShadeModel(GL_FLAT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_DEPTH_TEST);
        camera();
        map->PrepareRender();
        map->SetRenderOrigin(origin[0], origin[1], origin[2]);
        GLfloat before[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        double unused = 0;
        map->Render(unused);
        // What the view draws next (the trace) must find its own state again.
        depthTestAfter = glIsEnabled(GL_DEPTH_TEST);
        GLfloat after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        modelviewKept = std::equal(before, before + 16, after);
    }
};

// Plans of the 296 x 296 area from -20 to 276 on both axes, 296 pixels wide: 1 unit a pixel.
void PlanXY() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 276, -20, 276, -25000, 25000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void PlanXZ() {
    PlanXY();
    glRotatef(-90, 1, 0, 0);
}

void PlanYZ() {
    PlanXY();
    glRotatef(-90, 0, 1, 0);
    glRotatef(-90, 1, 0, 0);
}

// Straight down from above the middle of the room, inside it.
void LookDown() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.1, 0.1, -0.1, 0.1, 0.1, 10000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-128, -128, -120);
}

class BspMapComponentTest : public testing::Test {
protected:
    void SetUp() override {
        const QString path = dir_.filePath("room.bsp");
        test::WriteFile(path, test::RoomWithPatch().Build());
        map_ = CreateMapComponent();
        ASSERT_TRUE(map_->LoadMap(path, 4)) << map_->LastError().toStdString();
        view_.map = map_.get();
        view_.resize(296, 296);
    }

    // The pixel showing world plan coordinates (h, v).
    QColor At(std::function<void()> camera, int32_t h, int32_t v) {
        view_.camera = std::move(camera);
        const QImage image = view_.grabFramebuffer();
        EXPECT_FALSE(image.isNull()) << "no OpenGL context";
        if (image.isNull())
            return {};
        return image.pixelColor(h + 20, 275 - (v + 20));
    }

    QTemporaryDir dir_;
    std::unique_ptr<BspMapComponent> map_;
    MapView view_;
};

TEST_F(BspMapComponentTest, PlanFromAboveFillsTheFloorAndShadesTheSlopes) {
    EXPECT_EQ(At(PlanXY, 40, 200), QColor(215, 215, 215)) << "floor in colour 1";
    EXPECT_EQ(At(PlanXY, -10, 100), QColor(Qt::white)) << "outside the room";
    const QColor slope = At(PlanXY, 104, 128);
    EXPECT_LT(slope.red(), 212) << "the side of the bump is darker than the floor";
    EXPECT_GT(slope.red(), 160);
    // The walls are seen edge-on: their outlines are the room's border, darker than any face.
    // The line at x = 0 falls on a pixel border: it lights one of the two pixels beside it.
    const int32_t wall = std::min(At(PlanXY, -1, 100).green(), At(PlanXY, 0, 100).green());
    EXPECT_LT(wall, 160);
    EXPECT_FALSE(view_.depthTestAfter) << "the plans draw the trace without depth test";
    EXPECT_TRUE(view_.modelviewKept);
}

TEST_F(BspMapComponentTest, SidePlansShowTheWallFacingTheViewer) {
    // X-Z looks from negative Y: the north wall faces it, in colour 3.
    EXPECT_EQ(At(PlanXZ, 40, 100), QColor(215, 235, 215));
    // Y-Z looks from positive X: the west wall faces it, in colour 2.
    EXPECT_EQ(At(PlanYZ, 40, 100), QColor(235, 215, 215));
    EXPECT_EQ(At(PlanYZ, 40, 200), QColor(Qt::white)) << "above the room";
}

TEST_F(BspMapComponentTest, PerspectiveShadesTheFaces) {
    const QColor floor = At(LookDown, 0, 0);
    // Lit from the fixed light: darker than the plan's flat colour, the same on all channels.
    EXPECT_NEAR(floor.red(), 201, 2);
    EXPECT_EQ(floor.red(), floor.green());
}

TEST_F(BspMapComponentTest, StylesColoursAndOriginChangeTheDrawing) {
    EXPECT_EQ(At(PlanXY, 40, 200), QColor(215, 215, 215));
    map_->SetMapColour1(Rgb(200, 100, 50));
    EXPECT_EQ(At(PlanXY, 40, 200), QColor(200, 100, 50));
    map_->SetMapStyle1(kMapStyleOutline);
    EXPECT_EQ(At(PlanXY, 40, 200), QColor(Qt::white)) << "outline only: no fill";
    map_->SetMapStyle1(3);
    view_.origin[0] = 1000;
    EXPECT_EQ(At(PlanXY, 40, 200), QColor(Qt::white)) << "the map moved away";
}

} // namespace
} // namespace kestrova::ui

#include "ui/map/bsp_map_component.h"

#include <GL/gl.h>
#include <QOpenGLContext>
#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrova::ui {

namespace {

constexpr int32_t kPerspectiveKey = 6;
// Below this the face is seen edge-on in a plan.
constexpr float kEdgeOn = 0.02f;
constexpr float kOutlineShade = 0.55f;
// Shaded faces are darker already: their edges need a deeper shade to show.
constexpr float kOutlineShade3D = 0.35f;
// A light from above and slightly to the side, so that floors, walls and ceilings differ.
constexpr float kLight[3] = {0.3481553f, 0.5222330f, 0.7785474f};

// Lists that could not be deleted because their context was not current: deleted the next
// time that context prepares a map, or never needed once the context itself is gone.
struct DeadList {
    QPointer<QOpenGLContext> context;
    unsigned list;
};
std::vector<DeadList>& Graveyard() {
    static std::vector<DeadList> dead;
    return dead;
}

int32_t FamilyOf(const MapVec3& n) {
    const float ax = std::abs(n[0]);
    const float ay = std::abs(n[1]);
    const float az = std::abs(n[2]);
    if (az >= ax && az >= ay)
        return 0;
    return ax >= ay ? 1 : 2;
}

float Dot(const MapVec3& a, const float* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

struct Colour {
    float r, g, b;
};

Colour Scaled(int32_t rgb, float f) {
    return {(rgb & 0xff) / 255.0f * f, ((rgb >> 8) & 0xff) / 255.0f * f,
            ((rgb >> 16) & 0xff) / 255.0f * f};
}

// Which way the current view looks: a plan seen from one of the six axis directions
// (axis * 2, +1 when seen from the negative side) or the perspective view.
int32_t CurrentViewKey() {
    GLfloat m[16];
    GLfloat p[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    if (p[11] != 0.0f || p[15] != 1.0f)
        return kPerspectiveKey;
    // The eye looks down its -Z: the third row of the modelview points to the viewer.
    const float toViewer[3] = {m[2], m[6], m[10]};
    int32_t axis = 0;
    for (int32_t k = 1; k < 3; ++k) {
        if (std::abs(toViewer[k]) > std::abs(toViewer[axis]))
            axis = k;
    }
    return axis * 2 + (toViewer[axis] < 0 ? 1 : 0);
}

} // namespace

BspMapComponent::BspMapComponent()
    : colours_{Rgb(215, 215, 215), Rgb(235, 215, 215), Rgb(215, 235, 215)} {}

BspMapComponent::~BspMapComponent() {
    ReleaseLists();
}

bool BspMapComponent::LoadMap(const QString& path, int32_t options) {
    ReleaseLists();
    lastError_ = map_.Load(path, options);
    return lastError_.isEmpty();
}

void BspMapComponent::SetColour(int32_t family, int32_t rgb) {
    if (colours_[family] != rgb)
        ReleaseLists();
    colours_[family] = rgb;
}

void BspMapComponent::SetStyle(int32_t family, int32_t style) {
    if (styles_[family] != style)
        ReleaseLists();
    styles_[family] = style;
}

void BspMapComponent::ReleaseLists() {
    ++generation_;
    QOpenGLContext* current = QOpenGLContext::currentContext();
    for (const auto& [key, lists] : lists_) {
        for (unsigned list : {lists.fill, lists.lines}) {
            if (list == 0)
                continue;
            if (context_ && context_ == current)
                glDeleteLists(list, 1);
            else if (context_)
                Graveyard().push_back({context_, list});
        }
    }
    lists_.clear();
}

void BspMapComponent::PrepareRender() {
    QOpenGLContext* current = QOpenGLContext::currentContext();
    if (!current)
        return;
    auto& dead = Graveyard();
    dead.erase(std::remove_if(dead.begin(), dead.end(),
                              [&](const DeadList& d) {
                                  if (d.context == current)
                                      glDeleteLists(d.list, 1);
                                  return d.context.isNull() || d.context == current;
                              }),
               dead.end());
    if (context_ != current) {
        ReleaseLists();
        context_ = current;
    }
}

void BspMapComponent::SetRenderOrigin(float x, float y, float z) {
    origin_ = {x, y, z};
}

BspMapComponent::Lists BspMapComponent::Compile(int32_t viewKey) const {
    const MapGeometry& g = map_.Geometry();
    const bool perspective = viewKey == kPerspectiveKey;
    float toViewer[3] = {0, 0, 0};
    if (!perspective)
        toViewer[viewKey / 2] = (viewKey % 2) ? -1.0f : 1.0f;

    Lists lists;
    lists.fill = glGenLists(1);
    glNewList(lists.fill, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (uint32_t t = 0; t < g.TriangleCount(); ++t) {
        const MapVec3& n = g.triangleNormals[t];
        const int32_t family = FamilyOf(n);
        if (!(styles_[family] & kMapStyleFill))
            continue;
        float shade;
        if (perspective) {
            shade = std::clamp(0.7f + 0.3f * Dot(n, kLight), 0.45f, 1.0f);
        } else {
            const float facing = Dot(n, toViewer);
            if (facing <= kEdgeOn)
                continue;
            // Slopes a little darker than flat floors, so that ramps show.
            shade = 0.8f + 0.2f * facing;
        }
        const Colour c = Scaled(colours_[family], shade);
        glColor3f(c.r, c.g, c.b);
        for (int32_t k = 0; k < 3; ++k)
            glVertex3fv(g.vertices[g.indices[t * 3 + k]].data());
    }
    glEnd();
    glEndList();

    lists.lines = glGenLists(1);
    glNewList(lists.lines, GL_COMPILE);
    glBegin(GL_LINES);
    for (const DrawnSurface& s : g.surfaces) {
        MapVec3 sum{0, 0, 0};
        bool seen = perspective;
        for (uint32_t t = s.firstTriangle; t < s.firstTriangle + s.triangleCount; ++t) {
            const MapVec3& n = g.triangleNormals[t];
            for (int32_t k = 0; k < 3; ++k)
                sum[k] += n[k];
            seen = seen || Dot(n, toViewer) > -kEdgeOn;
        }
        const int32_t family = FamilyOf(sum);
        if (!seen || !(styles_[family] & kMapStyleOutline))
            continue;
        const Colour c = Scaled(colours_[family], perspective ? kOutlineShade3D : kOutlineShade);
        glColor3f(c.r, c.g, c.b);
        for (uint32_t e = s.firstEdge; e < s.firstEdge + s.edgeCount; ++e) {
            glVertex3fv(g.vertices[g.outlineEdges[e * 2]].data());
            glVertex3fv(g.vertices[g.outlineEdges[e * 2 + 1]].data());
        }
    }
    glEnd();
    glEndList();
    return lists;
}

void BspMapComponent::Render(double& /*unused*/) {
    QOpenGLContext* current = QOpenGLContext::currentContext();
    if (!current || !map_.IsLoaded())
        return;
    if (context_ != current)
        PrepareRender();
    const int32_t key = CurrentViewKey();
    auto it = lists_.find(key);
    if (it == lists_.end())
        it = lists_.emplace(key, Compile(key)).first;

    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    // The plans switch depth testing off; the map needs it so that the nearest face shows.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(origin_[0], origin_[1], origin_[2]);
    // Faces pushed back a little so that their outlines stay in front.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glCallList(it->second.fill);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glCallList(it->second.lines);
    glPopMatrix();
    glPopAttrib();
}

void BspMapComponent::SnapToMap(float& x, float& y, float& z, int32_t plane, float radius,
                                bool& found) const {
    found = map_.SnapToMap(x, y, z, plane, radius);
}

std::unique_ptr<BspMapComponent> CreateMapComponent() {
    auto component = std::make_unique<BspMapComponent>();
    component->SetMapColour2(Rgb(235, 215, 215));
    component->SetMapColour3(Rgb(215, 235, 215));
    component->SetMapColour1(Rgb(215, 215, 215));
    component->SetMapStyle2(3);
    component->SetMapStyle3(3);
    component->SetMapStyle1(3);
    return component;
}

} // namespace kestrova::ui

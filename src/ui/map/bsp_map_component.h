#pragma once
// The map component of the views: loads a map, draws it into the caller's OpenGL context,
// reports its bounds and snaps points to it.
//
// Drawing. Every face belongs to the family of the axis its normal leans to most: family 1 the
// floors and ceilings (Z), family 2 the walls facing X, family 3 the walls facing Y. MapColourN
// is the colour of family N and MapStyleN how it is drawn: bit 1 filled, bit 2 outlined
// (3 both, 0 hidden). In a plan the faces turned to the viewer are filled, the nearest in front,
// and the outlines of those and of the faces seen edge-on (the walls of a floor plan) are drawn in
// a darker shade. In the 3D view every face is filled, shaded by a fixed light so that depth
// reads, with the same darker outlines.
//
// The geometry is compiled into display lists of the current context the first time a kind of
// view draws it; they are never rebuilt per frame.

#include "core/map/bsp_map.h"

#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <memory>

class QOpenGLContext;

namespace kestrova::ui {

// A colour as the system stores it in a Long: red in the low byte.
constexpr int32_t Rgb(int32_t r, int32_t g, int32_t b) {
    return r | (g << 8) | (b << 16);
}

inline constexpr int32_t kMapStyleFill = 1;
inline constexpr int32_t kMapStyleOutline = 2;

class BspMapComponent {
public:
    BspMapComponent();
    ~BspMapComponent();
    BspMapComponent(const BspMapComponent&) = delete;
    BspMapComponent& operator=(const BspMapComponent&) = delete;

    // path: a ".bsp" file (or "archive.pk3:maps/x.bsp"); options: 4 tessellates the curved
    // patches. False when the file is not a readable map (LastError says why).
    bool LoadMap(const QString& path, int32_t options);
    const QString& LastError() const { return lastError_; }

    // The drawing sequence: PrepareRender, SetRenderOrigin, Render, in a context made current
    // by the caller, with the caller's projection and modelview.
    void PrepareRender();
    // The map is drawn shifted by this origin (the views always pass 0, 0, 0 and translate
    // by the map's offset themselves).
    void SetRenderOrigin(float x, float y, float z);
    void Render(double& unused);

    void SetMapColour1(int32_t rgb) { SetColour(0, rgb); }
    void SetMapColour2(int32_t rgb) { SetColour(1, rgb); }
    void SetMapColour3(int32_t rgb) { SetColour(2, rgb); }
    void SetMapStyle1(int32_t style) { SetStyle(0, style); }
    void SetMapStyle2(int32_t style) { SetStyle(1, style); }
    void SetMapStyle3(int32_t style) { SetStyle(2, style); }

    // Plane 0 X-Y, 1 X-Z, 2 Y-Z; see BspMap::SnapToMap.
    void SnapToMap(float& x, float& y, float& z, int32_t plane, float radius, bool& found) const;
    // [axis][0 minimum, 1 maximum] of the drawn geometry; see BspMap::GetBounds.
    MapBoundsArray GetBounds() const { return map_.GetBounds(); }

    const BspMap& Map() const { return map_; }
    // Changes whenever what Render draws may change (a load, a colour, a style, a context).
    uint64_t Generation() const { return generation_; }

private:
    struct Lists {
        unsigned fill = 0; // display list names; 0 when empty
        unsigned lines = 0;
    };

    void SetColour(int32_t family, int32_t rgb);
    void SetStyle(int32_t family, int32_t style);
    void ReleaseLists();
    Lists Compile(int32_t viewKey) const;

    BspMap map_;
    QString lastError_;
    std::array<int32_t, 3> colours_;
    std::array<int32_t, 3> styles_{3, 3, 3};
    std::array<float, 3> origin_{0, 0, 0};
    QPointer<QOpenGLContext> context_; // the context the lists belong to
    std::map<int32_t, Lists> lists_;   // by kind of view
    uint64_t generation_ = 0;
};

// A new component with the colours and styles the views use.
std::unique_ptr<BspMapComponent> CreateMapComponent();

} // namespace kestrova::ui

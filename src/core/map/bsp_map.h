#pragma once
// A loaded map: its drawn geometry, bounds and snapping, without any drawing.

#include "core/map/clearance.h"
#include "core/map/map_geometry.h"
#include "core/map/snap_index.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

namespace kestrova {

// Bounds by world axis (0 X, 1 Y, 2 Z), then 0 minimum, 1 maximum.
using MapBoundsArray = std::array<std::array<float, 2>, 3>;

class BspMap {
public:
    // Reads a ".bsp" file or "archive.pk3:maps/x.bsp". Returns an empty string on success, else
    // the reason; a failed load leaves the map empty.
    QString Load(const QString& path, int32_t options);
    // The same from the bytes of a map already in memory.
    QString LoadFromBytes(const QByteArray& bytes, int32_t options);

    bool IsLoaded() const { return loaded_; }
    const MapGeometry& Geometry() const { return geometry_; }

    // The box of every vertex of the drawn surfaces (tool, sky and hidden surfaces left out, and
    // brush models such as doors too). All zero when nothing is loaded or nothing is drawn.
    MapBoundsArray GetBounds() const;

    // Plane 0 X-Y, 1 X-Z, 2 Y-Z: the nearest drawn vertex in the plane's two axes within
    // radius, and of vertices at the same place the one nearest the plan's viewer. On success
    // x, y and z take its position; otherwise they are left alone.
    bool SnapToMap(float& x, float& y, float& z, int32_t plane, float radius) const;

    // The world's solid brushes for the clearance check. A map whose brushes cannot be read
    // still loads and draws; the index is empty then and BrushError says why.
    const ClearanceIndex& Clearances() const { return *clearance_; }
    // The same, shared with a check still running when the map goes.
    std::shared_ptr<const ClearanceIndex> SharedClearances() const { return clearance_; }
    const QString& BrushError() const { return brushError_; }

private:
    MapGeometry geometry_;
    std::shared_ptr<const ClearanceIndex> clearance_ = std::make_shared<ClearanceIndex>();
    QString brushError_;
    MapSnapper snapper_;
    bool loaded_ = false;
};

} // namespace kestrova

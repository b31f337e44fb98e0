#pragma once
// The map's drawn world as a Wavefront ".obj": game units and axes (x, y, z with z up), one
// group per shader, shifted by the map's origin offset so that it lies where the editor draws it,
// in the same space as the exported camera.

#include "core/map/map_geometry.h"

#include <QByteArray>
#include <array>

namespace kestrova {

// Every drawn surface of the geometry (brush faces, tessellated patches, triangle meshes; the
// reader already left out sky, hint, clip and other tool surfaces). Faces keep the winding the
// views draw; only vertices that a face uses are written.
QByteArray ObjFileText(const MapGeometry& geometry, const std::array<float, 3>& offset,
                       const QString& mapName = {});

} // namespace kestrova

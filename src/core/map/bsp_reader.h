#pragma once
// Reader of id Tech 3 ".bsp" files: "IBSP" version 46 (Quake 3, Defrag) and 47 (Enemy
// Territory). Every offset, length, count and index is checked before use; a malformed file
// gives an error text, never a crash.

#include "core/map/map_geometry.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace kestrova {

// Load option: tessellate the Bézier patches (curved walls, arches, pipes). Without it only
// planar surfaces and triangle soups are kept.
inline constexpr int32_t kMapOptionPatches = 4;

inline constexpr int32_t kBspHeaderSize = 8 + 17 * 8;

// The most geometry a map may expand to, so that loading any file stays within a few hundred
// megabytes and a couple of seconds. Real maps stay far below (the largest OpenArena map draws
// 32 thousand triangles over 54 thousand vertices); surfaces that reuse one range of vertices
// let a tiny file ask for any amount.
inline constexpr int64_t kMaxMapTriangles = 2'000'000;
inline constexpr int64_t kMaxMapVertices = 1'000'000;

// Reads the world geometry of a map held in memory. Returns an empty string on success, else
// what is wrong with the file; `out` is complete only on success.
QString ReadBsp(QByteArrayView data, int32_t options, MapGeometry& out);

} // namespace kestrova

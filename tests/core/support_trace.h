#pragma once
// Small traces built the way the editor builds them.

#include "core/model/point_table_ops.h"
#include "core/model/trace.h"
#include "core/path/build_path.h"

#include <initializer_list>

namespace kestrova::test {

struct P {
    double x, y, z;
};

// Control points appended in order through the editor's own operation (tangents kept up).
inline Trace MakeTrace(std::initializer_list<P> pts, int32_t pointCount = 1000) {
    Trace t;
    t.counts.pointCount = pointCount;
    for (const P& p : pts)
        AppendPointXYZ(t, kControl, p.x, p.y, p.z, std::nullopt, false);
    RebuildPath(t);
    return t;
}

} // namespace kestrova::test

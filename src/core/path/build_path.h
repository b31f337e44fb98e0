#pragma once
// The path: one point per game frame through the control points. Positions follow a cubic
// Hermite curve per segment from the handles, angles/fov/timescale a uniform Catmull-Rom
// spline per channel, and an optional random offset ("wiggle") is added segment by segment.

#include "core/model/trace.h"
#include "core/path/random.h"

#include <QString>
#include <optional>
#include <vector>

namespace kestrova {

// Cubic, square, linear and constant terms per axis. Terms too large for a float are kept in
// double (wide), so that finite control points never give an infinite or undefined path.
struct PositionCoefficients {
    float term[4][3]{};
    bool useWide = false;
    double wide[4][3]{};
};

// Cubic, square, linear and constant terms, all doubled; wide as above.
struct ChannelCoefficients {
    float c[4]{};
    bool useWide = false;
    double wide[4]{};
};

// floor(total / (controlCount - 1)), 0 with fewer than two control points.
int32_t StepsPerSegment(int32_t total, int32_t controlCount);

void HermiteCoefficients(const PointTables& t, int i, PositionCoefficients& out);
void HermiteEvaluate(const PositionCoefficients& k, float t, PointRecord& out);
// values: the channel's samples indexed 0..n+1 (phantoms at both ends).
void CatmullRomCoefficients(const float* values, int i, ChannelCoefficients& out);
float CatmullRomEvaluate(const ChannelCoefficients& k, float t);

// Builds the path from the control points (at least two). pointCount: -1 for the trace's
// setting; on return it holds that count minus one. upper receives the last index.
// The control table's phantoms are refreshed and wiggle intervals too long for the path are
// lowered, as part of the build.
void BuildPath(PointTables& t, int32_t settingCount, std::vector<PointRecord>& path,
               bool keepPitchSign, int32_t& pointCount, int32_t& upper,
               UniformRandom& rng = AppRandom());

// A path value that is not a finite number, by the control point that starts its segment and
// the field's name ("x", "yaw", ...).
struct PathValueFault {
    int32_t controlPoint = 0;
    QString field;
};
std::optional<PathValueFault> FindNonFinitePathValue(const std::vector<PointRecord>& path);
// What the script, the export and the path listing say instead of writing such a path.
QString NonFinitePathMessage(const PathValueFault& fault);

// The editor's rebuild: pitch as shown, the trace's own point count; no path with fewer than
// two control points.
void RebuildPath(Trace& trace, UniformRandom& rng = AppRandom());

} // namespace kestrova

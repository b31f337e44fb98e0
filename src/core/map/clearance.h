#pragma once
// Wall clearance: which path points lie inside a solid brush of the world, or closer to one than
// a clearance distance. A camera there shows the void in the demo. Inside: strictly behind every
// plane of a brush. Near: strictly behind every plane moved out by the distance (as the game's
// collision grows brushes for a box), and not inside.

#include "core/map/solid_brushes.h"

#include <cstdint>
#include <vector>

namespace kestrova {

inline constexpr float kDefaultClearance = 8;
// Larger distances are taken as this: a query box larger than a room says nothing useful.
inline constexpr float kMaxClearance = 1024;

enum class Clearance : uint8_t { Clear = 0, Near = 1, Inside = 2 };

// The brushes of a map, ready to be checked against a path. The path's points are split into
// ever smaller boxes, and each box keeps only the brushes that can reach it: a brush stays out
// as soon as one of its planes has the whole box in front of it, and a brush holding the whole
// box decides it at once. So the work follows the brushes near the path, not their number or
// their size, however many huge brushes overlap. Immutable: checks may run on other threads.
class ClearanceIndex {
public:
    ClearanceIndex() = default;
    explicit ClearanceIndex(SolidBrushes brushes);

    bool Empty() const { return brushes_.brushes.empty(); }
    size_t BrushCount() const { return brushes_.brushes.size(); }
    // Brushes left out by the reader (no sides, a plane that is not a number or has no normal).
    int32_t SkippedBrushes() const { return brushes_.skippedBrushes; }

    // One verdict per point; the distance is clamped to 0..kMaxClearance.
    std::vector<Clearance> Classify(const std::vector<MapVec3>& points, float distance) const;

private:
    // What sorting out a box needs of a brush, packed so that long lists of brushes stream.
    struct Cull {
        MapVec3 min, max;
        BrushPlane first;     // its first plane that is not axial; slanted planes come first
        uint32_t slanted = 0; // how many there are (the box stands for the axial ones)
    };
    friend class ClearanceWalker;

    SolidBrushes brushes_;
    std::vector<Cull> cull_;
};

// A run of consecutive path points that are near or inside.
struct ClearanceStretch {
    int32_t first = 0; // path indices, both included
    int32_t last = 0;
    bool inside = false; // at least one point is inside a brush
};

struct ClearanceReport {
    std::vector<int32_t> inside; // path indices, ascending
    std::vector<int32_t> near;
    std::vector<ClearanceStretch> stretches;
    int32_t skippedBrushes = 0; // brushes the check could not use
};

ClearanceReport SummariseClearance(const std::vector<Clearance>& verdicts);

} // namespace kestrova

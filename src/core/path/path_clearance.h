#pragma once
// Wall clearance along a trace's path: the path points taken into the map's space (the map is
// shown shifted by its origin offset), checked against its solid brushes.

#include "core/map/clearance.h"
#include "core/model/trace.h"
#include "core/path/random.h"

#include <QObject>
#include <QThreadPool>
#include <array>
#include <memory>
#include <vector>

namespace kestrova {

// Path points 0..upper as map positions: each minus the map's origin offset.
std::vector<MapVec3> PathPositions(const std::vector<PointRecord>& path, int32_t upper,
                                   const std::array<float, 3>& mapOffset);

// The path the camera scripts are written from (their point count and pitch sign); false with
// fewer than two control points.
bool BuildScriptPath(Trace& trace, UniformRandom& rng, std::vector<PointRecord>& path,
                     int32_t& upper);

// The check of the path the views show, run on a worker thread so that a large path or a
// hostile map never holds up the window. The last answer is kept while the path, the map and the
// distance stay the same, so the views can ask at every redraw. A request for other input drops
// the answer at once (a stale one is never shown) and checks again; Ready() tells when the
// answer for the latest request has arrived.
class PathClearanceCheck : public QObject {
    Q_OBJECT
public:
    explicit PathClearanceCheck(QObject* parent = nullptr);
    ~PathClearanceCheck() override;

    // Asks for the check of path points 0..upper (nothing without an index).
    void Request(std::shared_ptr<const ClearanceIndex> index, const std::vector<PointRecord>& path,
                 int32_t upper, const std::array<float, 3>& mapOffset, float distance);
    // The answer to the latest request; nullptr without an index or while it is checked.
    const ClearanceReport* Report() const { return ready_ ? &report_ : nullptr; }
    bool Pending() const { return index_ && !ready_; }
    // Another map (which may live where the last one did) or other brushes.
    void Invalidate() { Request(nullptr, {}, -1, {0, 0, 0}, 0); }
    // Blocks until the answer to the latest request is in (tests, and callers with no loop).
    void Wait();
    int32_t Computed() const { return computed_; } // how many answers were taken (tests read it)

signals:
    void Ready();

private:
    void Start();
    void Finished(uint64_t generation, ClearanceReport report);

    QThreadPool pool_; // one worker: a newer request waits for the running one, then replaces it
    std::shared_ptr<const ClearanceIndex> index_;
    std::vector<MapVec3> positions_;
    float distance_ = -1;
    uint64_t generation_ = 0; // of the latest request
    bool running_ = false;
    bool ready_ = false;
    ClearanceReport report_;
    int32_t computed_ = 0;
};

} // namespace kestrova

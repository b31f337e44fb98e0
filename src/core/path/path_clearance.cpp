#include "core/path/path_clearance.h"

#include "core/path/build_path.h"
#include "core/path/point_count.h"

#include <QCoreApplication>
#include <algorithm>

namespace kestrova {

std::vector<MapVec3> PathPositions(const std::vector<PointRecord>& path, int32_t upper,
                                   const std::array<float, 3>& mapOffset) {
    std::vector<MapVec3> out;
    const int32_t n = std::min<int32_t>(upper + 1, int32_t(path.size()));
    out.reserve(size_t(std::max(n, 0)));
    for (int32_t i = 0; i < n; ++i) {
        const PointRecord& p = path[size_t(i)];
        out.push_back({p.x - mapOffset[0], p.y - mapOffset[1], p.z - mapOffset[2]});
    }
    return out;
}

bool BuildScriptPath(Trace& trace, UniformRandom& rng, std::vector<PointRecord>& path,
                     int32_t& upper) {
    upper = -1;
    path.clear();
    if (trace.ControlCount() < 2)
        return false;
    int32_t setting = trace.counts.pointCount;
    if (setting > kMaxPathPoints)
        setting = FindFeasiblePointCount(setting, trace.ControlCount());
    int32_t count = -1;
    BuildPath(trace.points, setting, path, false, count, upper, rng);
    return upper >= 0;
}

PathClearanceCheck::PathClearanceCheck(QObject* parent) : QObject(parent) {
    pool_.setMaxThreadCount(1);
}

PathClearanceCheck::~PathClearanceCheck() {
    // The worker posts its answer to this object: it must be done before the object goes.
    pool_.waitForDone();
}

void PathClearanceCheck::Request(std::shared_ptr<const ClearanceIndex> index,
                                 const std::vector<PointRecord>& path, int32_t upper,
                                 const std::array<float, 3>& mapOffset, float distance) {
    if (!index) {
        if (index_)
            ++generation_; // an answer on its way is dropped
        index_.reset();
        ready_ = false;
        positions_.clear();
        return;
    }
    std::vector<MapVec3> positions = PathPositions(path, upper, mapOffset);
    if (index == index_ && distance == distance_ && positions == positions_)
        return;
    index_ = std::move(index);
    distance_ = distance;
    positions_ = std::move(positions);
    ++generation_;
    ready_ = false;
    if (!running_)
        Start();
}

void PathClearanceCheck::Start() {
    running_ = true;
    pool_.start([this, index = index_, positions = positions_, distance = distance_,
                 generation = generation_] {
        ClearanceReport r = SummariseClearance(index->Classify(positions, distance));
        r.skippedBrushes = index->SkippedBrushes();
        QMetaObject::invokeMethod(
            this,
            [this, generation, r = std::move(r)]() mutable { Finished(generation, std::move(r)); },
            Qt::QueuedConnection);
    });
}

void PathClearanceCheck::Finished(uint64_t generation, ClearanceReport report) {
    running_ = false;
    if (!index_ || ready_)
        return;
    if (generation != generation_) {
        Start(); // the input changed meanwhile: check the latest
        return;
    }
    report_ = std::move(report);
    ready_ = true;
    ++computed_;
    emit Ready();
}

void PathClearanceCheck::Wait() {
    while (running_) {
        pool_.waitForDone();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

} // namespace kestrova

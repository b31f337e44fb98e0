#include "core/view/preview.h"

#include "core/model/point_fields.h"
#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/path/tangents.h"
#include "core/view/navigation.h"
#include "core/view/view_math.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

// Nearest, halves to even, without the 32-bit limit (0.01 ms frames count fast).
int64_t RoundFrames(double v) {
    return static_cast<int64_t>(std::nearbyint(v));
}

} // namespace

bool PreviewButtons::Enabled(int command) const {
    switch (command) {
    case kPvwFirst:
        return first;
    case kPvwPreviousPoint:
        return previousPoint;
    case kPvwPreviousFrame:
        return previousFrame;
    case kPvwPlay:
    case kPvwStop:
        return startStop;
    case kPvwNextFrame:
        return nextFrame;
    case kPvwNextPoint:
        return nextPoint;
    case kPvwLast:
        return last;
    default:
        return false;
    }
}

PreviewEffect& PreviewEffect::operator|=(const PreviewEffect& o) {
    camera |= o.camera;
    selectRow |= o.selectRow;
    timeCaption |= o.timeCaption;
    started |= o.started;
    stopped |= o.stopped;
    unlocked |= o.unlocked;
    return *this;
}

PathPreview::PathPreview(Trace& trace, ViewCamera& camera, const PreviewClock& clock)
    : trace_(trace), camera_(camera), clock_(clock) {
    SetFrameRate(trace.counts.frameRate);
}

void PathPreview::SetFrameRate(int32_t framesPerSecond) {
    if (framesPerSecond < 1)
        return;
    frameDuration_ = std::max(kMinFrameDurationMs, 1000.0f / static_cast<float>(framesPerSecond));
}

void PathPreview::Rebuild() {
    dirty_ = false;
    if (ControlCount() < 2) {
        path_.clear();
        lastIndex_ = -1;
        return;
    }
    int32_t setting = trace_.counts.pointCount;
    if (setting > kMaxPathPoints)
        setting = FindFeasiblePointCount(setting, ControlCount());
    int32_t count = -1;
    BuildPath(trace_.points, setting, path_, true, count, lastIndex_);
}

void PathPreview::RebuildIfDirty() {
    if (!dirty_)
        return;
    Rebuild();
    if (lastIndex_ < 0)
        return;
    // Points may have gone meanwhile (undo, a file): stay on the path.
    if (pathIndex() > lastIndex_) {
        pathIndex() = lastIndex_;
        pointIndex() = path_[lastIndex_].segment;
    }
    pointIndex() = std::clamp(pointIndex(), 1, ControlCount());
}

int32_t PathPreview::FirstPathPointOf(int32_t point) const {
    // At constant speed a segment without length has no point of its own: its end stands for it.
    for (int32_t i = 0; i <= lastIndex_; ++i)
        if (path_[i].segment >= point)
            return i;
    return 0;
}

void PathPreview::Place() {
    const int32_t n = ControlCount();
    int32_t& k = pathIndex();
    int32_t& p = pointIndex();
    if (k < 1) {
        if (p < 1 || p > n) {
            k = 0;
            p = 1;
        } else if (p == n) {
            k = lastIndex_;
        } else {
            k = FirstPathPointOf(p);
        }
    } else if (k == lastIndex_) {
        p = n;
    } else if (k < lastIndex_) {
        p = path_[k].segment;
    } else {
        k = 0;
        p = 1;
    }
}

void PathPreview::PlaceCamera() {
    if (pathIndex() >= 0 && pathIndex() <= lastIndex_)
        CameraFromPoint(path_[pathIndex()], camera_);
}

bool PathPreview::ReleaseIfNoPath(PreviewEffect& e) {
    if (lastIndex_ >= 0)
        return false;
    e |= Unlock();
    e.unlocked = true;
    return true;
}

PreviewEffect PathPreview::Lock() {
    PreviewEffect e;
    Rebuild();
    if (ReleaseIfNoPath(e))
        return e;
    SetFrameRate(trace_.counts.frameRate);
    Place();
    locked_ = true;
    PlaceCamera();
    e.camera = e.selectRow = e.timeCaption = true;
    return e;
}

PreviewEffect PathPreview::GoTo(int32_t index) {
    PreviewEffect e;
    if (!locked_)
        return e;
    RebuildIfDirty();
    if (ReleaseIfNoPath(e))
        return e;
    if (playing_)
        e |= StopPlaying();
    const int32_t oldPoint = pointIndex();
    pathIndex() = std::clamp(index, 0, lastIndex_);
    pointIndex() = pathIndex() == lastIndex_ ? ControlCount() : path_[pathIndex()].segment;
    PlaceCamera();
    e.camera = e.timeCaption = true;
    e.selectRow = pointIndex() != oldPoint;
    return e;
}

PreviewEffect PathPreview::Unlock() {
    PreviewEffect e;
    if (playing_)
        e |= StopPlaying();
    locked_ = false;
    e.timeCaption = true;
    return e;
}

PreviewEffect PathPreview::StopPlaying() {
    PreviewEffect e;
    playing_ = false;
    e.stopped = true;
    return e;
}

PreviewEffect PathPreview::Command(int command) {
    PreviewEffect e;
    if (!locked_)
        return e;
    RebuildIfDirty();
    if (ReleaseIfNoPath(e))
        return e;
    const int32_t n = ControlCount();
    const int32_t oldPath = pathIndex();
    const int32_t oldPoint = pointIndex();
    int32_t& k = pathIndex();
    int32_t& p = pointIndex();
    switch (command) {
    case kPvwFirst:
        p = 1;
        k = 0;
        break;
    case kPvwPreviousPoint: {
        // While playing, one press goes back to the start of the point and a quick second
        // press one point further.
        const int64_t now = clock_.NowMs();
        const bool quick = lastStepTick_ != std::numeric_limits<int64_t>::min() &&
                           now - lastStepTick_ < kDoubleStepMs;
        if (p > 1 && (quick || !playing_))
            --p;
        k = FirstPathPointOf(p);
        lastStepTick_ = now;
        break;
    }
    case kPvwPreviousFrame:
        if (k > 0) {
            --k;
            p = path_[k].segment;
        }
        break;
    case kPvwPlay:
        if (playing_)
            return e;
        if (k >= lastIndex_) {
            k = 0;
            p = 1;
        }
        playing_ = true;
        playStart_ = clock_.NowMs();
        framesDue_ = 1;
        framesShown_ = 0;
        playDuration_ = frameDuration_;
        e.started = true;
        e |= PlayStep();
        break;
    case kPvwStop:
        e |= StopPlaying();
        break;
    case kPvwNextFrame:
        if (k < lastIndex_) {
            ++k;
            p = k == lastIndex_ ? n : path_[k].segment;
        }
        break;
    case kPvwNextPoint:
        if (p < n) {
            ++p;
            k = FirstPathPointOf(p);
        }
        break;
    case kPvwLast:
        p = n;
        k = FirstPathPointOf(p);
        break;
    default:
        return e;
    }
    e.timeCaption = true;
    if (k != oldPath && !playing_) {
        PlaceCamera();
        e.camera = true;
    }
    if (p != oldPoint)
        e.selectRow = true;
    return e;
}

PreviewEffect PathPreview::PlayStep() {
    PreviewEffect e;
    if (frameDuration_ != playDuration_) {
        playStart_ = clock_.NowMs();
        framesDue_ = 1;
        framesShown_ = 0;
        playDuration_ = frameDuration_;
    }
    if (framesDue_ <= framesShown_)
        return e;
    const int64_t step = framesDue_ - framesShown_;
    framesShown_ = framesDue_;
    if (pathIndex() + step > lastIndex_) {
        pathIndex() = lastIndex_;
        pointIndex() = ControlCount();
        PlaceCamera();
        e |= StopPlaying();
        e.camera = e.timeCaption = true;
        e.selectRow = autoSelect;
        return e;
    }
    pathIndex() += static_cast<int32_t>(step);
    PlaceCamera();
    e.camera = e.timeCaption = true;
    const int32_t segment = path_[pathIndex()].segment;
    if (segment != pointIndex()) {
        pointIndex() = segment;
        e.selectRow = autoSelect;
    }
    return e;
}

PreviewEffect PathPreview::Tick() {
    if (!playing_)
        return {};
    framesDue_ = RoundFrames(static_cast<double>(clock_.NowMs() - playStart_) / frameDuration_);
    return PlayStep();
}

PreviewButtons PathPreview::Buttons() const {
    PreviewButtons b;
    const bool l = locked_;
    const int32_t k = PathIndex();
    b.first = b.previousPoint = l && k > 0;
    b.previousFrame = l && !playing_ && k > 0;
    b.startStop = b.nextPoint = b.last = l && PointIndex() < ControlCount();
    b.nextFrame = l && !playing_ && k < lastIndex_;
    return b;
}

QString PathPreview::TimeCaption() const {
    if (!locked_)
        return {};
    const int32_t rate = std::max(trace_.counts.frameRate, 1);
    return QStringLiteral("Time: ") + FormatLocaleFixed(static_cast<double>(PathIndex()) / rate, 2);
}

PreviewKeyAction PathPreview::Key(PreviewKey key, bool shift) const {
    PreviewKeyAction a;
    if (key == PreviewKey::L) {
        a.handled = true;
        if (locked_)
            a.lockTo = 0;
        else if (ControlCount() >= 2)
            a.lockTo = 1;
        return a;
    }
    if (!locked_)
        return a;
    const PreviewButtons b = Buttons();
    auto send = [&](int command) {
        a.handled = true;
        if (b.Enabled(command))
            a.command = command;
    };
    switch (key) {
    case PreviewKey::Up:
        send(kPvwFirst);
        break;
    case PreviewKey::Down:
        send(kPvwLast);
        break;
    case PreviewKey::Left:
        if (!shift)
            send(kPvwPreviousPoint);
        else if (!playing_)
            send(kPvwPreviousFrame);
        else
            a.handled = true;
        break;
    case PreviewKey::Right:
        if (!shift)
            send(kPvwNextPoint);
        else if (!playing_)
            send(kPvwNextFrame);
        else
            a.handled = true;
        break;
    case PreviewKey::Space:
        send(playing_ ? kPvwStop : kPvwPlay);
        break;
    case PreviewKey::Escape:
        if (playing_) {
            a.handled = true;
            a.command = kPvwStop;
        }
        break;
    default:
        break;
    }
    return a;
}

bool PathPreview::Turn(double dx, double dy, TurnModifiers m, bool rollHeld) {
    const int32_t p = PointIndex();
    if (!locked_ || playing_ || p < 1 || p > ControlCount())
        return false;
    PointRecord& r = trace_.points.At(kControl, p);
    const bool all = !m.shift && !m.ctrl && !m.alt;
    bool changed = false;
    if (rollHeld) {
        if (all || m.alt) {
            r.roll = static_cast<float>(RoundTo2(r.roll + dx * kLookDegreesPerPixel));
            changed = true;
        }
    } else {
        if (all || m.shift) {
            // Straight up and straight down are as far as the camera turns.
            r.pitch = static_cast<float>(
                std::clamp(RoundTo2(r.pitch + dy * kLookDegreesPerPixel), -90.0, 90.0));
            changed = true;
        }
        if (all || m.ctrl) {
            r.yaw = static_cast<float>(RoundTo2(r.yaw + dx * kLookDegreesPerPixel));
            changed = true;
        }
    }
    if (changed)
        FinishEdit(false);
    return changed;
}

bool PathPreview::MovePoint(float strafe, float forward, float rise) {
    const int32_t p = PointIndex();
    if (!locked_ || playing_ || p < 1 || p > ControlCount())
        return false;
    PointRecord& r = trace_.points.At(kControl, p);
    ViewCamera seen;
    CameraFromPoint(r, seen);
    const CameraAxes axes = ComputeCameraAxes(seen.yaw, seen.pitch);
    float d[3];
    for (int i = 0; i < 3; ++i)
        d[i] = strafe * axes.right[i] + forward * axes.back[i] + rise * axes.up[i];
    // The camera's translation is the negated position, hence the signs.
    r.x = static_cast<float>(RoundTo2(r.x + d[0]));
    r.y = static_cast<float>(RoundTo2(r.y + d[1]));
    r.z = static_cast<float>(RoundTo2(r.z - d[2]));
    FinishEdit(true);
    return true;
}

bool PathPreview::Shift(double dx, double dy, float panSpeed) {
    const double k = panSpeed * 12.5;
    return MovePoint(static_cast<float>(-k * dx), 0.0f, static_cast<float>(-k * dy));
}

bool PathPreview::Wheel(float v) {
    return MovePoint(0.0f, -v, 0.0f);
}

bool PathPreview::SetFov(float fov) {
    const int32_t p = PointIndex();
    if (!locked_ || p < 1 || p > ControlCount())
        return false;
    SetPointField(trace_.points, kControl, p, kFieldFov, fov);
    FinishEdit(false);
    return true;
}

void PathPreview::FinishEdit(bool positionChanged) {
    const int32_t p = PointIndex();
    if (positionChanged)
        UpdateTangentsAround(trace_.points, p);
    trace_.modified = true;
    dirty_ = true;
    // The views show the edited curve at once; the preview's own path waits for a command.
    RebuildPath(trace_);
    pathIndex() = FirstPathPointOf(p);
    CameraFromPoint(trace_.points.At(kControl, p), camera_);
}

} // namespace kestrova

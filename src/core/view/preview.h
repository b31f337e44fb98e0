#pragma once
// The path preview: the 3D camera locked to the generated path, stepped point by point or frame
// by frame, or played in real time at the demo's frame rate. While locked, turning and shifting
// the view edit the current control point. The widgets bind to this machine; a timer of the
// event loop calls Tick() while it plays, and the clock behind it is replaceable for tests.

#include "core/model/trace.h"
#include "core/view/view_state.h"

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <limits>
#include <vector>

namespace kestrova {

// Milliseconds from an arbitrary start.
class PreviewClock {
public:
    virtual ~PreviewClock() = default;
    virtual int64_t NowMs() const = 0;
};

class ElapsedPreviewClock : public PreviewClock {
public:
    ElapsedPreviewClock() { timer_.start(); }
    int64_t NowMs() const override { return timer_.elapsed(); }

private:
    QElapsedTimer timer_;
};

// The preview commands (`cmdPreview(k)` sends command k).
enum PreviewCommand : int {
    kPvwFirst = 0,
    kPvwPreviousPoint = 1,
    kPvwPreviousFrame = 2,
    kPvwPlay = 3,
    kPvwStop = 4,
    kPvwNextFrame = 5,
    kPvwNextPoint = 6,
    kPvwLast = 7,
};

// Enabled states of the preview buttons.
struct PreviewButtons {
    bool first = false;         // cmdPreview(0)
    bool previousPoint = false; // cmdPreview(1)
    bool previousFrame = false; // cmdPreview(2)
    bool startStop = false;     // cmdPvwStartStop
    bool nextFrame = false;     // cmdPreview(5)
    bool nextPoint = false;     // cmdPreview(6)
    bool last = false;          // cmdPreview(7)

    // The button of a command (3 and 4 share the start/stop button).
    bool Enabled(int command) const;
    bool operator==(const PreviewButtons&) const = default;
};

// What the widgets do after a preview step.
struct PreviewEffect {
    bool camera = false;      // the camera was placed: projection and redraw
    bool selectRow = false;   // select row PointIndex() of the control table
    bool timeCaption = false; // the time caption changed
    bool started = false;     // playback began (stop picture, menu items disabled)
    bool stopped = false;     // playback ended (play picture, menu items back)
    bool unlocked = false;    // the lock could not stay on and was released

    PreviewEffect& operator|=(const PreviewEffect& o);
};

enum class PreviewKey { Up, Down, Left, Right, Space, Escape, L, Other };

// What a key of the 3D view does to the preview.
struct PreviewKeyAction {
    bool handled = false; // the key belongs to the preview (even when it does nothing now)
    int command = -1;     // the command to send, -1 none
    int lockTo = -1;      // 1 lock, 0 unlock, -1 leave
};

// Which angles a turn through the lock may change (no modifier: all of them).
struct TurnModifiers {
    bool shift = false; // pitch only
    bool ctrl = false;  // yaw only
    bool alt = false;   // roll only
};

constexpr float kMinFrameDurationMs = 0.01f;
// Two previous-point commands closer than this go back one point while playing.
constexpr int64_t kDoubleStepMs = 500;

class PathPreview {
public:
    PathPreview(Trace& trace, ViewCamera& camera, const PreviewClock& clock);

    bool Locked() const { return locked_; }
    bool Playing() const { return playing_; }
    int32_t PathIndex() const { return trace_.preview.index; }
    int32_t PointIndex() const { return trace_.preview.segment; }
    int32_t LastIndex() const { return lastIndex_; }
    const std::vector<PointRecord>& Path() const { return path_; }
    float FrameDuration() const { return frameDuration_; }
    bool PathDirty() const { return dirty_; }

    // The row of the points table follows playback (the auto-select box, with the table shown).
    bool autoSelect = false;

    // Any change of the trace that affects the path: rebuilt at the next command.
    void MarkPathDirty() { dirty_ = true; }
    // The demo's frame rate; a change while playing restarts the timing.
    void SetFrameRate(int32_t framesPerSecond);

    PreviewEffect Lock();
    PreviewEffect Unlock();
    PreviewEffect Command(int command);
    // One turn of the play loop; does nothing unless playing.
    PreviewEffect Tick();
    // Straight to a path point (a place picked in a list); stops playing. Locked only.
    PreviewEffect GoTo(int32_t pathIndex);

    PreviewButtons Buttons() const;
    // "Time: " and the time of the frame shown (path index / frame rate); empty while unlocked.
    QString TimeCaption() const;
    // A key of the 3D view; L locks only with two control points or more.
    PreviewKeyAction Key(PreviewKey key, bool shift) const;

    // Editing the current control point through the lock; false when nothing changed.
    // dx, dy: pointer displacement since the last movement, the first measured from the press
    // (previous - position); pitch stays within -90..90.
    bool Turn(double dx, double dy, TurnModifiers m, bool rollHeld);
    // Right button: the point moves as the free camera would (k = panning speed * 12.5).
    bool Shift(double dx, double dy, float panSpeed);
    // Wheel: v = move speed * 5 * delta * step; the point moves along the view direction.
    bool Wheel(float v);
    // F: the camera's new field of view is written into the point.
    bool SetFov(float fov);

    // First path point of control point p (0 when none).
    int32_t FirstPathPointOf(int32_t point) const;

private:
    void RebuildIfDirty();
    void Rebuild();
    // The lock cannot hold without a path to fly along: releases it (in e) and says so.
    bool ReleaseIfNoPath(PreviewEffect& e);
    void Place();
    void PlaceCamera();
    PreviewEffect PlayStep();
    PreviewEffect StopPlaying();
    bool MovePoint(float strafe, float forward, float rise);
    void FinishEdit(bool positionChanged);
    int32_t ControlCount() const { return trace_.ControlCount(); }
    int32_t& pathIndex() { return trace_.preview.index; }
    int32_t& pointIndex() { return trace_.preview.segment; }

    Trace& trace_;
    ViewCamera& camera_;
    const PreviewClock& clock_;
    std::vector<PointRecord> path_;
    int32_t lastIndex_ = -1;
    bool dirty_ = true;
    bool locked_ = false;
    bool playing_ = false;
    float frameDuration_ = 40.0f;
    float playDuration_ = 40.0f; // the frame duration the timing started with
    int64_t playStart_ = 0;
    int64_t framesDue_ = 0;
    int64_t framesShown_ = 0;
    int64_t lastStepTick_ = std::numeric_limits<int64_t>::min();
};

} // namespace kestrova

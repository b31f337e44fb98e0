#pragma once
// The "advancedfx Cam" text file that compositing tools (Blender, After Effects, Cinema 4D,
// Nuke) import: a header, then one line per frame with the time in seconds, the position, the
// rotations as roll, pitch and yaw in degrees with the game's signs (pitch positive looking
// down), and the horizontal field of view.

#include "core/model/trace.h"
#include "core/path/random.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace kestrova {

// A camera file holds at most as many frames as a path has points.
constexpr int32_t kMaxCamFrames = 40000;

// One frame as the file means it: pitch with the scripts' sign, fov horizontal and unscaled.
struct CamFrame {
    double time = 0;
    double x = 0, y = 0, z = 0;
    double roll = 0, pitch = 0, yaw = 0;
    double fov = 90;
};

// Version 2 text for path points 0..last: point i at i / frameRate seconds.
QByteArray CamFileText(const std::vector<PointRecord>& path, int32_t frameRate);

// The path the camera scripts play (their point count, constant speed and wiggle, script pitch)
// as a camera file. effectivePoints receives its frame count; a path that is not made of finite
// numbers gives no text and its message in problem.
QByteArray TraceCamFileText(const Trace& trace, UniformRandom& rng,
                            int32_t* effectivePoints = nullptr, QString* problem = nullptr);

// Reads versions 1 and 2. Version 1's "scaleFov none" stores the fov of a 4:3 picture; it is
// widened to the real horizontal fov for a picture of aspect (width / height). Returns an
// empty string on success, else the reason, naming the line at fault.
QString ReadCamFile(const QByteArray& bytes, std::vector<CamFrame>& frames,
                    double aspect = 16.0 / 9.0);

} // namespace kestrova

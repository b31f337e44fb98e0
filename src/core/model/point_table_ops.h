#pragma once
// Adding, inserting, duplicating and deleting points, keeping phantoms, tangents and path.

#include "core/dialogs.h"
#include "core/model/trace.h"

#include <optional>

namespace kestrova {

struct Angles {
    float pitch = 0, yaw = 0, roll = 0;
};

// True while the kind holds fewer than 250 points; otherwise says "Limit of points reached".
bool CanAddPoint(const Trace& trace, int kind, const QString& title, Dialogs& dialogs);

// Adds a point after the last one with the view plane's two coordinates (view: 1 X-Y,
// 2 X-Z, 4 Y-Z); the third coordinate is kept from the previous last point.
bool AppendPoint(Trace& trace, int kind, int32_t view, double h, double v, bool refresh);
bool AppendPointXYZ(Trace& trace, int kind, double x, double y, double z,
                    std::optional<Angles> angles, bool refresh);

// Adds a control point in the middle (t = 0.5) of segment i, 1 <= i < n.
bool InsertPointInSegment(Trace& trace, int i);
// Inserts a copy of the point right after it.
bool DuplicatePoint(Trace& trace, int kind, int index);
void DeletePoint(Trace& trace, int kind, int index, bool refresh);
// Opens countChange slots at first (shifting the rest up) and sets the new count.
bool MakeRoom(Trace& trace, int kind, int first, int countChange);

// Control points: shown unless hidden; reference points: while their display is on.
void RefreshVisibleFlags(Trace& trace);

} // namespace kestrova

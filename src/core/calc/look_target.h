#pragma once
// Aiming control points at a target: a typed position, the next control point, or selected
// reference points paired in order with the selected control points.

#include "core/files/document.h"
#include "core/model/table_selection.h"

#include <array>
#include <optional>

namespace kestrova {

enum LookMode : int { kLookTyped = 0, kLookNextPoint = 1, kLookReferences = 2 };

// The pitch and yaw from a point to a target, before any unwinding.
struct LookAngles {
    float pitch = 0;
    float yaw = 0;
};
LookAngles AnglesTowards(const PointRecord& from, double tx, double ty, double tz);

// value moved by whole turns so that it stays within limit of previous.
float Unwind(float value, float previous, float limit);

// The angle columns written: 4 (pitch), 5 (yaw) or both, from any selected columns.
void NarrowToAngleColumns(TableSelection& s);

// Writes the angles of the selected control points (columns narrowed as above); the selected
// reference rows are used in mode 2 only, the typed target in mode 0 only.
bool ComputeLookAngles(Document& doc, int mode, TableSelection control,
                       const TableSelection& reference, const std::array<double, 3>& target);

// The typed target as numbers by the regional rules; a box that holds no number is named to
// the user (x, y or z) and nothing is returned.
std::optional<std::array<double, 3>> ReadLookTarget(Dialogs& dialogs,
                                                    const std::array<QString, 3>& texts);

// The button: in mode 2 the two selections must hold as many rows, or the reference selection
// one row that every selected control point looks at; else the user is told.
bool ApplyLookTarget(Document& doc, int mode, const TableSelection& control,
                     const TableSelection& reference, const std::array<double, 3>& target);

// The option kept when the chosen one becomes disabled: the first enabled one in index order
// (the chosen one when none is enabled).
int FirstEnabledLookMode(const std::array<bool, 3>& enabled, int chosen);

} // namespace kestrova

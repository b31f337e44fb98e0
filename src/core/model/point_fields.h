#pragma once
// Field-level access to point records by field number, with the value rules.

#include "core/model/trace.h"

namespace kestrova {

// Field 16 and numbers outside 1..20 give 0; integer fields come back as floats.
float GetPointField(const PointTables& t, int kind, int index, int field);
// Stores with the value rules (clamps, wiggle coupling, integer rounding). Fields 7-9 always
// address the control table. Numbers outside 1..20 and field 16 are ignored.
void SetPointField(PointTables& t, int kind, int index, int field, float value);
// A typed value: rounded to two decimals, stored, and the stored value returned for display.
float SetTypedPointField(PointTables& t, int kind, int index, int field, double typed);

} // namespace kestrova

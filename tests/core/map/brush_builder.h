#pragma once
// The map builder writes brushes too; kept for the tests that include this name.
#include "core/map/bsp_builder.h"

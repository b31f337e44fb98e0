#pragma once
// The start-up check of OpenGL, before any view is made.

#include "core/dialogs.h"

namespace kestrova::ui {

// Start-up check that an OpenGL context with the views' format can be made current. On failure
// the user is told why (title "OpenGL Error") and the program ends.
bool CheckOpenGl(Dialogs& dialogs);

} // namespace kestrova::ui

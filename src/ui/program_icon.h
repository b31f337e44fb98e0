#pragma once
// The program's icon, drawn rather than loaded, so that it needs no file at run time.

#include <QIcon>

namespace kestrova::ui {

// The program's icon, drawn at the sizes window managers ask for.
QIcon ProgramIcon();

} // namespace kestrova::ui

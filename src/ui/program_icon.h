#pragma once

#include <QIcon>

namespace kestrova::ui {

// The program's icon, drawn at the sizes window managers ask for.
QIcon ProgramIcon();

} // namespace kestrova::ui

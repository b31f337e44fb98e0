#pragma once
// The main window's title line.

#include <QString>

namespace kestrova::ui {

// "Kestrova 3D - *example [Defrag]": the trace's name (none for a new trace), a star before it
// while changes are unsaved, and the current game.
QString MainWindowTitle(const QString& traceName, bool modified, const QString& game);

} // namespace kestrova::ui

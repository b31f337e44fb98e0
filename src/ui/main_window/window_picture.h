#pragma once
// A picture of the main window as the user sees it, for the batch screenshots.

#include <QImage>
#include <QString>

namespace kestrova::ui {

class FrmMain;

// The window's own grab leaves the OpenGL surface out; its frame buffer is painted in.
QImage WindowPicture(FrmMain& window);

// Saves the picture; on failure returns the message to show (empty on success).
QString SaveWindowPicture(FrmMain& window, const QString& file);

} // namespace kestrova::ui

#include "ui/main_window/window_title.h"

namespace kestrova::ui {

QString MainWindowTitle(const QString& traceName, bool modified, const QString& game) {
    const QString star = modified ? QStringLiteral("*") : QString();
    QString title = QStringLiteral("Kestrova 3D");
    title = traceName.isEmpty() ? star + title : title + QStringLiteral(" - ") + star + traceName;
    if (!game.isEmpty())
        title += QStringLiteral(" [") + game + QLatin1Char(']');
    return title;
}

} // namespace kestrova::ui

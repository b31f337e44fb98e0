#include "ui/gl_format.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QSurfaceFormat>

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(kestrova::ui::DefaultGlFormat());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QApplication::setApplicationName(QStringLiteral("Kestrova3D"));
    kestrova::ui::FrmMain window;
    window.show();
    return QApplication::exec();
}

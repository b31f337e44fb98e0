#include "ui/gl_format.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSurfaceFormat>
#include <QTimer>

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(kestrova::ui::DefaultGlFormat());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QApplication::setApplicationName(QStringLiteral("Kestrova3D"));

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Render the main window into FILE and exit."),
                                  QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("trace"), QStringLiteral("A trace to open."));
    parser.process(app);

    kestrova::ui::FrmMain window;
    window.show();
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(300, &window, [&window, file] {
            const bool ok = window.grab().save(file);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    return QApplication::exec();
}

#include "ui/gl_format.h"
#include "ui/main_window.h"
#include "ui/program_icon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSurfaceFormat>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(kestrova::ui::DefaultGlFormat());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillbrook"));
    QApplication::setApplicationName(QStringLiteral("Kestrova3D"));
    QApplication::setWindowIcon(kestrova::ui::ProgramIcon());

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Render the main window into FILE and exit."),
                                  QStringLiteral("FILE"));
    parser.addOption(screenshot);
    QCommandLineOption tab(
        QStringLiteral("tab"),
        QStringLiteral("Show tool tab N (0 Calcul., 1 Curve, 2 Script, 3 Game)."),
        QStringLiteral("N"));
    parser.addOption(tab);
    parser.addPositionalArgument(QStringLiteral("trace"), QStringLiteral("A trace to open."));
    parser.process(app);

    kestrova::ui::FrmMain window;
    kestrova::ui::StartupOptions startup;
    startup.traceFile = parser.positionalArguments().value(0);
    // A picture of the window alone: no splash over it.
    startup.splash = !parser.isSet(screenshot);
    window.show();
    window.Form_Load(startup);
    if (parser.isSet(tab)) {
        if (auto* tools = window.findChild<QTabWidget*>(QStringLiteral("tabTools")))
            tools->setCurrentIndex(parser.value(tab).toInt());
    }
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(300, &window, [&window, file] {
            const bool ok = window.grab().save(file);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    return QApplication::exec();
}

#include "ui/gl_format.h"
#include "ui/main_window.h"
#include "ui/program_icon.h"
#include "ui/qt_dialogs.h"
#include "ui/view/gl_check.h"
#include "ui/view/gl_view.h"
#include "ui/view/view_area.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPainter>
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
    QCommandLineOption view(
        QStringLiteral("view"),
        QStringLiteral("Show view INDEX after start-up: 0 X-Y, 1 X-Z, 2 Y-Z, 3 3D."),
        QStringLiteral("INDEX"));
    parser.addOption(view);
    QCommandLineOption fit(QStringLiteral("fit"),
                           QStringLiteral("Fit the plan shown to the trace after start-up."));
    parser.addOption(fit);
    parser.addPositionalArgument(QStringLiteral("trace"), QStringLiteral("A trace to open."));
    parser.process(app);

    {
        kestrova::ui::QtDialogs dialogs(nullptr);
        if (!kestrova::ui::CheckOpenGl(dialogs))
            return 1;
    }

    kestrova::ui::FrmMain window;
    kestrova::ui::StartupOptions startup;
    startup.traceFile = parser.positionalArguments().value(0);
    // A picture of the window alone: no splash over it.
    startup.splash = !parser.isSet(screenshot);
    window.PrepareStartup(startup);
    window.show();
    window.Form_Load(startup);
    if (parser.isSet(tab)) {
        if (auto* tools = window.findChild<QTabWidget*>(QStringLiteral("tabTools")))
            tools->setCurrentIndex(parser.value(tab).toInt());
    }
    kestrova::ui::GlView* glView = window.Views3D()->View();
    if (parser.isSet(view))
        glView->SelectView(parser.value(view).toInt());
    if (parser.isSet(fit) && !glView->Navigator().Is3D())
        glView->FitAll();
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(500, &window, [&window, glView, file] {
            // The window's own grab leaves the OpenGL surface out: paint its frame buffer in.
            QImage shot = window.grab().toImage();
            const QImage frame = glView->grabFramebuffer();
            if (!frame.isNull()) {
                QPainter p(&shot);
                p.drawImage(QRect(glView->mapTo(&window, QPoint(0, 0)), glView->size()), frame);
            }
            const bool ok = shot.save(file);
            QApplication::exit(ok ? 0 : 1);
        });
    }
    return QApplication::exec();
}

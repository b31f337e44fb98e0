#include "core/dialogs.h"
#include "core/settings/registry.h"
#include "ui/gl_format.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/window_picture.h"
#include "ui/program_icon.h"
#include "ui/qt_dialogs.h"
#include "ui/view/gl_check.h"
#include "ui/view/gl_view.h"
#include "ui/view/view_area.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSurfaceFormat>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

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
    QCommandLineOption mapFolder(QStringLiteral("map-folder"),
                                 QStringLiteral("Look for the maps of both games in FOLDER."),
                                 QStringLiteral("FOLDER"));
    parser.addOption(mapFolder);
    QCommandLineOption language(QStringLiteral("language"),
                                QStringLiteral("Speak language N (0 English, 1 French)."),
                                QStringLiteral("N"));
    parser.addOption(language);
    parser.addPositionalArgument(QStringLiteral("trace"), QStringLiteral("A trace to open."));
    parser.process(app);

    // A batch picture never waits on anyone and leaves the user's settings as they were.
    const bool batch = parser.isSet(screenshot);
    kestrova::BatchDialogs batchDialogs([](const QString& text) {
        std::fputs(text.toLocal8Bit().constData(), stderr);
        std::fputc('\n', stderr);
    });
    if (batch)
        kestrova::RegKeepInMemory(true);
    {
        kestrova::ui::QtDialogs dialogs(nullptr);
        if (!kestrova::ui::CheckOpenGl(batch ? static_cast<kestrova::Dialogs&>(batchDialogs)
                                             : dialogs))
            return 1;
    }

    kestrova::ui::FrmMain window;
    if (batch)
        window.SetDialogs(&batchDialogs);
    kestrova::ui::StartupOptions startup;
    startup.traceFile = parser.positionalArguments().value(0);
    // A picture of the window alone: no splash over it.
    startup.splash = !parser.isSet(screenshot);
    startup.about = !batch;
    startup.mapFolder = parser.value(mapFolder);
    if (parser.isSet(language))
        startup.languageIndex = parser.value(language).toInt();
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
        QTimer::singleShot(500, &window, [&window, &batchDialogs, file] {
            const QString problem = kestrova::ui::SaveWindowPicture(window, file);
            if (!problem.isEmpty())
                batchDialogs.Inform(QString(), problem);
            QApplication::exit(problem.isEmpty() ? 0 : 2);
        });
    }
    return QApplication::exec();
}

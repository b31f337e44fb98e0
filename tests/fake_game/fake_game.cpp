// A stand-in for the game under a test display: a window with the game's title that writes every
// key it receives, the clipboard it reads on Ctrl+V and its close to a log file.
//   kestrova_fake_game LOG_FILE [TITLE]
// Started by the editor as an engine (its arguments begin with "+"), it takes the log file and
// the title from KESTROVA_FAKE_GAME_LOG and KESTROVA_FAKE_GAME_TITLE and logs each argument.
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class FakeGame : public QWidget {
public:
    explicit FakeGame(const QString& logPath) : log_(logPath) {
        log_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        setFocusPolicy(Qt::StrongFocus);
        resize(320, 240);
    }

    void Write(const QString& line) {
        log_.write((line + QLatin1Char('\n')).toUtf8());
        log_.flush();
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        Write(QStringLiteral("press %1").arg(e->key(), 0, 16));
        if (e->key() == Qt::Key_V && (e->modifiers() & Qt::ControlModifier))
            Write(QStringLiteral("paste ") + QGuiApplication::clipboard()->text());
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (!e->isAutoRepeat())
            Write(QStringLiteral("release %1").arg(e->key(), 0, 16));
    }
    void closeEvent(QCloseEvent* e) override {
        Write(QStringLiteral("closed"));
        e->accept();
        qApp->quit();
    }

private:
    QFile log_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const bool engine = argv[1][0] == '+';
    const QString log =
        engine ? qEnvironmentVariable("KESTROVA_FAKE_GAME_LOG") : QString::fromLocal8Bit(argv[1]);
    FakeGame game(log);
    if (engine) {
        for (int i = 1; i < argc; ++i)
            game.Write(QStringLiteral("arg ") + QString::fromLocal8Bit(argv[i]));
        game.setWindowTitle(
            qEnvironmentVariable("KESTROVA_FAKE_GAME_TITLE", QStringLiteral("Stand-in Engine")));
    } else {
        game.setWindowTitle(argc > 2 ? QString::fromUtf8(argv[2])
                                     : QStringLiteral("Quake 3: Arena"));
    }
    game.show();
    // Ready once the window is on the screen, so the editor can find it.
    auto* poll = new QTimer(&game);
    QObject::connect(poll, &QTimer::timeout, &game, [&game, poll] {
        if (game.windowHandle() && game.windowHandle()->isExposed()) {
            poll->stop();
            game.Write(QStringLiteral("ready"));
        }
    });
    poll->start(20);
    // Never outlive a test that failed to close it.
    QTimer::singleShot(60000, &app, &QApplication::quit);
    return app.exec();
}

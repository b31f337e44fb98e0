#pragma once
// A window system for tests: a game window that is there or not, and a log of every call.

#include "core/game/game_window.h"

#include <QStringList>

namespace kestrova::test {

class FakeGameWindows : public GameWindowSystem {
public:
    bool CanDrive() const override { return canDrive; }
    GameWindow FindWindow(const QString& title) override {
        log.append(QStringLiteral("find ") + title);
        return !runningTitle.isEmpty() && title.compare(runningTitle, Qt::CaseInsensitive) == 0
                   ? runningWindow
                   : 0;
    }
    GameWindow FindWindowOfProcess(qint64 pid) override {
        log.append(QStringLiteral("find process %1").arg(pid));
        return pid == runningPid ? runningWindow : 0;
    }
    void Activate(GameWindow window) override {
        log.append(QStringLiteral("activate %1").arg(window));
    }
    bool SetClipboardText(const QString& text) override {
        log.append(QStringLiteral("clipboard ") + text);
        return clipboardWorks;
    }
    void Wait(int milliseconds) override {
        log.append(QStringLiteral("wait %1").arg(milliseconds));
    }
    void SendKeys(const QList<ScanKey>& keys) override {
        QStringList parts;
        for (const ScanKey& k : keys)
            parts.append(QStringLiteral("%1%2").arg(k.press ? '+' : '-').arg(k.scanCode, 0, 16));
        log.append(QStringLiteral("keys ") + parts.join(QLatin1Char(' ')));
    }
    void RequestClose(GameWindow window) override {
        log.append(QStringLiteral("close %1").arg(window));
    }
    bool StartDetached(const QString& program, const QStringList& arguments,
                       const QString& workingFolder, qint64* pid) override {
        log.append(QStringLiteral("start ") + program);
        startedArguments = arguments;
        startedFolder = workingFolder;
        if (pid)
            *pid = startWorks ? 4321 : 0;
        return startWorks;
    }

    bool canDrive = true;
    QString runningTitle; // the title of the window that exists; empty: no game running
    GameWindow runningWindow = 0x4200007;
    qint64 runningPid = -1; // the process that owns runningWindow
    bool clipboardWorks = true;
    bool startWorks = true;
    QStringList log;
    QStringList startedArguments;
    QString startedFolder;
};

// The key sequence typed into the console, as FakeGameWindows logs it.
inline const QString kConsoleKeysLog =
    QStringLiteral("keys +29 -29 +e -e +1d +2f -2f -1d +1c -1c +29 -29");

} // namespace kestrova::test

#pragma once
// Runs the kestrova3d-cli binary as a user would and collects what it prints.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kestrova::test {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliResult RunCli(const QStringList& args, const QString& workDir = {}) {
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(KESTROVA_CLI), args);
    CliResult r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace kestrova::test

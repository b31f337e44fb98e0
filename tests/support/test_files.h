#pragma once
// Files the tests make on disk and read back.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>

namespace kestrova::test {

// Writes (or empties) the file, making its folders; a failure fails the test that asked.
inline void WriteFile(const QString& path, const QByteArray& bytes = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

// The file's bytes, or a marker naming it when it cannot be read.
inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing " + path.toLocal8Bit() + ">";
    return f.readAll();
}

} // namespace kestrova::test

#pragma once
// Points the settings store at a fresh file of its own for one test and back afterwards.

#include "core/settings/registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>

namespace kestrova::test {

class TempRegistry {
public:
    TempRegistry() : previous_(qgetenv("KESTROVA3D_REGISTRY")) {
        path_ = dir_.filePath(QStringLiteral("registry.json"));
        qputenv("KESTROVA3D_REGISTRY", path_.toLocal8Bit());
    }
    ~TempRegistry() {
        TakeRegistryNotice(); // a notice of this test's store is not the next test's
        qputenv("KESTROVA3D_REGISTRY", previous_);
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const QString& path() const { return path_; }
    QString dir() const { return dir_.path(); }

    QByteArray FileText() const {
        QFile f(path_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void WriteFile(const QByteArray& bytes) const {
        QFile f(path_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private:
    QTemporaryDir dir_;
    QString path_;
    QByteArray previous_;
};

} // namespace kestrova::test

// The editor's batch picture (--screenshot), run as a user would run it.

#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(BatchScreenshot, EndsOnItsOwnAndLeavesTheSettingsAlone) {
    const struct {
        const char* name;
        bool storeExists;   // a store with the user's values, else none at all
        bool writableImage; // the picture's folder exists
        int exitCode;
    } cases[] = {
        // The example's map is nowhere: the map-folder question must not hold the run.
        {"fresh store", false, true, 0},
        {"user's store", true, true, 0},
        {"picture into a missing folder", true, false, 2},
    };
    const QString example = QStringLiteral(KESTROVA_EXAMPLES "/example.dfkv");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString store = dir.filePath(QStringLiteral("registry.json"));
        QByteArray before;
        if (c.storeExists) {
            // Recent files that the example is not the first of, and a window state.
            before = "{\n    \"format\": \"Kestrova3D registry\",\n    \"roots\": [\n"
                     "        {\"keys\": [{\"keys\": [{\"keys\": [{\"keys\": [], \"name\": "
                     "\"Defrag\", \"values\": [{\"data\": \"/tmp/a.dfkv\", \"name\": "
                     "\"RecentFile1\", \"type\": 1}]}], \"name\": \"Kestrova3D\", \"values\": "
                     "[{\"data\": 4000, \"name\": \"MainWidth\", \"type\": 4}]}], "
                     "\"name\": \"Quillbrook\", \"values\": []}], \"name\": \"Software\", "
                     "\"values\": []}], \"name\": \"HKEY_LOCAL_MACHINE\", \"values\": []}\n"
                     "    ],\n    \"version\": 1\n}\n";
            test::WriteFile(store, before);
        }
        const QString picture = c.writableImage
                                    ? dir.filePath(QStringLiteral("shot.png"))
                                    : dir.filePath(QStringLiteral("no-such-folder/shot.png"));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTROVA3D_REGISTRY"), store);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(KESTROVA_EDITOR),
                {QStringLiteral("--screenshot"), picture, example});
        // A run that waits on a dialog never ends by itself.
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "still running after 30 s";
            continue;
        }
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), c.exitCode) << err.toStdString();

        if (c.writableImage) {
            const QImage shot(picture);
            EXPECT_GE(shot.width(), 520);
            EXPECT_GE(shot.height(), 513);
        } else {
            EXPECT_FALSE(QFileInfo::exists(picture));
            EXPECT_TRUE(err.contains(QStringLiteral("no-such-folder/shot.png")))
                << err.toStdString();
        }
        if (c.storeExists) {
            EXPECT_EQ(test::ReadBytes(store), before);
        } else {
            EXPECT_FALSE(QFileInfo::exists(store));
        }
        // Nothing else appears beside the store (no settings file moved aside, no trace saved).
        const QStringList left =
            QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& name : left)
            EXPECT_TRUE(name == QStringLiteral("registry.json") ||
                        name == QStringLiteral("shot.png"))
                << name.toStdString();
    }
}

} // namespace
} // namespace kestrova::test

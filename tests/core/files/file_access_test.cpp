#include "core/files/file_access.h"
#include "core/files/text_file.h"
#include "core/map/bsp_map.h"
#include "support/device_nodes.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

namespace kestrova::test {
namespace {

const char kNotAFile[] = "Not a file: a device, a pipe or a socket";

struct DevicesAndPipes : ::testing::Test {
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(name); }
    void SetUp() override {
        if (!MakeCharDevice(Path("zero"), 1, 5) || !MakeCharDevice(Path("nulldev"), 1, 3) ||
            !MakeCharDevice(Path("fulldev"), 1, 7))
            GTEST_SKIP() << "making device nodes is not permitted here";
        ASSERT_TRUE(MakeFifo(Path("fifo")));
        ASSERT_TRUE(QFile::link(Path("zero"), Path("zero.bsp")));
        ASSERT_TRUE(QFile::link(Path("fifo"), Path("fifo.dfkv")));
        WriteFile(Path("five"), "12345");
    }
};

TEST_F(DevicesAndPipes, ReadersTakeOnlyRegularFilesAndNeverWait) {
    const struct {
        const char* name;
        qint64 max;
        const char* reason; // empty: read
    } cases[] = {
        {"zero", 100, kNotAFile},           {"zero.bsp", 100, kNotAFile}, // a link is followed
        {"fifo", 100, kNotAFile},           {"fifo.dfkv", 100, kNotAFile},
        {".", 100, "Is a directory"},       {"none", 100, "No such file or directory"},
        {"five", 4, "Larger than 4 bytes"}, {"five", 5, ""},
    };
    for (const auto& c : cases) {
        QByteArray bytes = "old";
        EXPECT_EQ(ReadRegularFile(Path(c.name), c.max, bytes), QString(c.reason)) << c.name;
        EXPECT_EQ(bytes, *c.reason ? QByteArray() : QByteArray("12345")) << c.name;
    }
    BspMap map;
    EXPECT_EQ(map.Load(Path("zero.bsp"), 0), "cannot read " + Path("zero.bsp") + ": " + kNotAFile);
}

TEST_F(DevicesAndPipes, WritersWriteIntoDevicesAndPipesAndNeverRenameOverThem) {
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    QString reason;
    EXPECT_TRUE(WriteWholeFile(Path("nulldev"), "trace", &reason)) << reason.toStdString();
    FileReplacer scripts;
    EXPECT_TRUE(scripts.Replace(Path("nulldev"), "wait;", "exec next"));
    EXPECT_FALSE(WriteWholeFile(Path("fulldev"), "trace", &reason));
    EXPECT_EQ(reason, "No space left on device");
    EXPECT_FALSE(scripts.Replace(Path("fifo"), "wait;"));
    EXPECT_EQ(scripts.LastError(), "No program is reading from this pipe");
    EXPECT_FALSE(WriteWholeFile(dir.path(), "trace", &reason));
    EXPECT_EQ(reason, "Is a directory");

    // With a reader, the pipe gets the bytes as any program's output.
    const int reader = ::open(QFile::encodeName(Path("fifo")).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(WriteWholeFile(Path("fifo.dfkv"), "through the pipe", &reason));
    char got[32] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 16);
    EXPECT_STREQ(got, "through the pipe");
    ::close(reader);

    ASSERT_TRUE(QFile::link(Path("five"), Path("link.cfg")));
    EXPECT_TRUE(scripts.Replace(Path("link.cfg"), "wait;"));
    EXPECT_EQ(ReadBytes(Path("five")), "wait;");
    EXPECT_TRUE(QFileInfo(Path("link.cfg")).isSymLink());

    for (const char* name : {"nulldev", "fulldev"})
        EXPECT_EQ(KindAt(Path(name)), 'c') << name;
    EXPECT_EQ(KindAt(Path("fifo")), 'p');
    // Nothing beside a device or a pipe; the spare beside the file replaced.
    QStringList added = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    for (const QString& name : before)
        added.removeOne(name);
    const QString spare = ".kestrova-" + QString::number(QCoreApplication::applicationPid());
    EXPECT_EQ(added, (QStringList{spare + ".tmp", "link.cfg"}));
}

TEST(FileAccess, PseudoFileSystemsAreNeverADialogsFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link("/proc/self", dir.filePath("self")));
    const struct {
        QString path;
        bool pseudo;
    } cases[] = {
        {"/proc", true},        {"/proc/kmsg", true},
        {"/sys/kernel", true},  {"/dev", true},
        {"/dev/null", true},    {dir.filePath("self"), true},
        {"/procedures", false}, {"/device", false},
        {dir.path(), false},    {dir.filePath("no/such"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPseudoFileSystemPath(c.path), c.pseudo) << c.path.toStdString();
        EXPECT_EQ(SafeDialogFolder(c.path), c.pseudo ? QDir::homePath() : c.path)
            << c.path.toStdString();
    }
}

} // namespace
} // namespace kestrova::test

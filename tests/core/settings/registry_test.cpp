#include "core/settings/registry.h"

#include "support/device_nodes.h"
#include "support/scoped_file_size_limit.h"
#include "support/temp_registry.h"
#include "support/test_files.h"

#include <unistd.h>

namespace kestrova::test {
namespace {

const QString kKey = "HKLM\\Software\\Quillbrook\\Kestrova3D";

QStringList AsideFiles(const TempRegistry& reg) {
    return QDir(reg.dir()).entryList({"registry.json.bad-*"}, QDir::Files);
}

TEST(RegistryPath, RootNamesAbbreviationsAndCase) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue("HKEY_LOCAL_MACHINE\\A", "v", RegType::Dword, 7));
    // Every spelling of the local machine reaches the same key; the perf root is the same key.
    for (const char* path : {"hklm\\A", "HKEY_PERF_ROOT\\A", "HKPR\\a\\", "Hkey_Local_Machine\\A"})
        EXPECT_EQ(RegReadValue(path, "V").Dword(), 7) << path;
    EXPECT_TRUE(RegReadValue("HKCU\\A", "v").IsEmpty()); // other roots are other trees
    for (const char* full :
         {"HKEY_CLASSES_ROOT:hkcr", "HKEY_CURRENT_USER:hkcu", "HKEY_USERS:hku",
          "HKEY_PERFORMANCE_DATA:hkpd", "HKEY_CURRENT_CONFIG:hkcc", "HKEY_DYN_DATA:hkdd"}) {
        const QStringList names = QString::fromLatin1(full).split(':');
        ASSERT_TRUE(RegWriteValue(names[0] + "\\K", "n", RegType::Sz, names[0]));
        EXPECT_EQ(RegReadValue(names[1] + "\\K", "n").String(), names[0]);
    }
    // The root alone is a key; one trailing "\" is ignored, the subkey text is kept as given.
    ASSERT_TRUE(ParseRegPath("HKCU").has_value());
    const auto p = ParseRegPath("hkcu\\Software\\Mixed Case\\");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->root, RegRoot::CurrentUser);
    EXPECT_EQ(p->subkeys, (QStringList{"Software", "Mixed Case"}));
    for (const char* bad : {"HKXX\\Software", "Software\\Quillbrook", "", "HKLM\\a\\\\b"}) {
        EXPECT_FALSE(ParseRegPath(bad).has_value()) << bad;
        EXPECT_FALSE(RegWriteValue(bad, "v", RegType::Sz, "x"));
        EXPECT_TRUE(RegReadValue(bad, "v").IsEmpty());
        EXPECT_FALSE(RegDeleteValue(bad, "v"));
        EXPECT_FALSE(RegListValueNames(bad).ok);
    }
}

TEST(RegistryValues, EachTypeReadsBackAsItsKind) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kKey, "s", RegType::Sz, "C:\\Jeux\\été"));
    ASSERT_TRUE(RegWriteValue(kKey, "e", RegType::ExpandSz, "%HOME%\\x"));
    ASSERT_TRUE(RegWriteValue(kKey, "b", RegType::Binary, QByteArray("\x00\xff\x10", 3)));
    ASSERT_TRUE(RegWriteValue(kKey, "d", RegType::Dword, -5));
    ASSERT_TRUE(RegWriteValue(kKey, "m", RegType::MultiSz, QStringList{"one", "", "two"}));
    ASSERT_TRUE(RegWriteValue(kKey, "z", RegType::Sz, QString("ab") + QChar(0) + "cd"));
    EXPECT_EQ(RegReadValue(kKey, "s").String(), "C:\\Jeux\\été");
    EXPECT_EQ(RegReadValue(kKey, "e").String(), "%HOME%\\x"); // not expanded
    EXPECT_EQ(RegReadValue(kKey, "b").Binary(), QByteArray("\x00\xff\x10", 3));
    ASSERT_TRUE(RegReadValue(kKey, "d").IsDword());
    EXPECT_EQ(RegReadValue(kKey, "d").Dword(), -5);
    // Strings end at a zero, string arrays at their first empty part.
    EXPECT_EQ(RegReadValue(kKey, "m").MultiString(), QStringList{"one"});
    EXPECT_EQ(RegReadValue(kKey, "z").String(), "ab");
    EXPECT_TRUE(RegReadValue(kKey, "absent").IsEmpty());
    EXPECT_TRUE(RegReadValue(kKey + "\\Nope", "s").IsEmpty());

    // Doubles go to the nearest integer, halves to even; beyond 32 bits nothing is written.
    ASSERT_TRUE(RegWriteValue(kKey, "d", RegType::Dword, 2.5));
    EXPECT_EQ(RegReadValue(kKey, "d").Dword(), 2);
    ASSERT_TRUE(RegWriteValue(kKey, "d", RegType::Dword, "3.5"));
    EXPECT_FALSE(RegWriteValue(kKey, "d", RegType::Dword, 4294967296.0));
    EXPECT_FALSE(RegWriteValue(kKey, "d", RegType::Dword, "abc"));
    EXPECT_EQ(RegReadValue(kKey, "d").Dword(), 4);

    // The settings' conversions of what was read.
    EXPECT_EQ(RegValueToInt16(RegValue(int32_t{40000})), std::nullopt);
    EXPECT_EQ(RegValueToInt16(RegValue(QString(" 12 "))), std::optional<int16_t>(12));
    EXPECT_EQ(RegValueToLong(RegValue(QString("word"))), std::nullopt);
    EXPECT_FALSE(RegValueToFlag(RegValue(int32_t{-1})));
    EXPECT_FALSE(RegValueToFlag(RegValue(QString("yes"))));
}

TEST(RegistryValues, CreationOrderNamesAndDeletion) {
    TempRegistry reg;
    const QString key = kKey + "\\Deep\\Er\\Key";
    EXPECT_FALSE(RegListValueNames(key).ok);
    ASSERT_TRUE(RegWriteValue(key, "Zeta", RegType::Sz, "1"));
    ASSERT_TRUE(RegWriteValue(key, "alpha", RegType::Dword, 2));
    ASSERT_TRUE(RegWriteValue(key, "Mid", RegType::Sz, "3"));
    // Writing a value again, under another case, keeps its place and its first name.
    ASSERT_TRUE(RegWriteValue(key, "ZETA", RegType::Dword, 9));
    const RegValueNames listed = RegListValueNames(key);
    EXPECT_EQ(listed.names, (QStringList{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(listed.types, (std::vector<int>{4, 4, 1}));
    EXPECT_EQ(RegReadValue(key, "zeta").Dword(), 9);
    EXPECT_FALSE(RegListValueNames(kKey + "\\deep\\er").ok); // levels between hold no values

    EXPECT_TRUE(RegDeleteValue(key, "ALPHA"));
    EXPECT_FALSE(RegDeleteValue(key, "alpha"));
    EXPECT_FALSE(RegDeleteValue(kKey + "\\None", "Mid"));
    EXPECT_EQ(RegListValueNames(key).names, (QStringList{"Zeta", "Mid"}));
}

TEST(RegistryStore, ValuesSurviveInTheFileWrittenOnceAtTheEndOfABatch) {
    TempRegistry reg;
    {
        RegistryBatch outer;
        ASSERT_TRUE(RegWriteValue(kKey + "\\Defrag", "ModPath", RegType::Sz, "/games/q3/defrag"));
        {
            RegistryBatch inner;
            ASSERT_TRUE(RegWriteValue(kKey, "Language", RegType::Dword, 1));
        }
        EXPECT_FALSE(QFileInfo::exists(reg.path()));
        EXPECT_EQ(RegReadValue(kKey, "Language").Dword(), 1);
    }
    ASSERT_TRUE(RegLastWriteOk());
    const QByteArray text = reg.FileText();

    // Another store file with the same content reads the same values.
    TempRegistry other;
    other.WriteFile(text);
    EXPECT_EQ(RegReadValue(kKey + "\\defrag", "modpath").String(), "/games/q3/defrag");
    ASSERT_TRUE(RegReadValue(kKey, "Language").IsDword());
    EXPECT_EQ(RegReadValue(kKey, "Language").Dword(), 1);
    // A change made to the file outside the program is seen by the next read.
    other.WriteFile(QByteArray("{\"format\":\"Kestrova3D registry\",\"roots\":[]}"));
    EXPECT_TRUE(RegReadValue(kKey, "Language").IsEmpty());
}

TEST(RegistryStore, LongListsKeepNamesOrderAndValuesThroughDeletions) {
    // Item1..Item3000 under one key, then a second "ITEM7" that the first one hides.
    QByteArray values;
    for (int i = 1; i <= 3000; ++i)
        values += "{\"name\":\"Item" + QByteArray::number(i) + "\",\"type\":1,\"data\":\"v" +
                  QByteArray::number(i) + "\"},";
    TempRegistry reg;
    reg.WriteFile("{\"format\":\"Kestrova3D registry\",\"roots\":[{\"name\":\"HKEY_LOCAL_MACHINE\","
                  "\"values\":[],\"keys\":[{\"name\":\"Long\",\"values\":[" +
                  values + "{\"name\":\"ITEM7\",\"type\":1,\"data\":\"hidden\"}],\"keys\":[]}]}]}");
    const QString key = "HKLM\\long";
    EXPECT_EQ(RegReadValue(key, "item7").String(), "v7");

    // Removing every value not divisible by 3 leaves the rest in order.
    {
        RegistryBatch batch;
        for (int i = 1; i <= 3000; ++i)
            if (i % 3 != 0) {
                ASSERT_TRUE(RegDeleteValue(key, QStringLiteral("item%1").arg(i))) << i;
            }
    }
    QStringList expected;
    for (int i = 3; i <= 3000; i += 3)
        expected.append(QStringLiteral("Item%1").arg(i));
    EXPECT_EQ(RegListValueNames(key).names, expected);
    const auto all = RegReadAllValues(key); // the whole list in one read, holes left out
    ASSERT_EQ(all.size(), 1000u);
    EXPECT_EQ(all.front().first, "Item3");
    EXPECT_EQ(all.back().second.String(), "v3000");

    // A removed name written again comes last; one still there keeps its place.
    ASSERT_TRUE(RegWriteValue(key, "Item1", RegType::Dword, 1));
    ASSERT_TRUE(RegWriteValue(key, "item3", RegType::Dword, 3));
    expected.append("Item1");
    TempRegistry copy;
    copy.WriteFile(reg.FileText());
    EXPECT_EQ(RegListValueNames(key).names, expected);
    EXPECT_EQ(RegReadValue(key, "ITEM3").Dword(), 3);
}

TEST(RegistryStore, CorruptFileIsKeptAsideAndReportedOnce) {
    for (const QByteArray& bad :
         {QByteArray("{\"format\": \"Kestrova3D registry\", \"roots\": [ {"),
          QByteArray("[1, 2, 3]"), QByteArray()}) {
        TempRegistry reg;
        reg.WriteFile(bad);
        EXPECT_TRUE(RegReadValue(kKey, "Language").IsEmpty());
        const QStringList aside = AsideFiles(reg);
        ASSERT_EQ(aside.size(), 1) << bad.constData();
        EXPECT_EQ(ReadBytes(QDir(reg.dir()).filePath(aside.first())), bad);
        const auto notice = TakeRegistryNotice();
        ASSERT_TRUE(notice.has_value());
        EXPECT_TRUE(notice->contains(aside.first())) << notice->toStdString();
        EXPECT_FALSE(TakeRegistryNotice().has_value());
        // The program goes on with a fresh store.
        EXPECT_TRUE(RegWriteValue(kKey, "Language", RegType::Dword, 1));
        EXPECT_EQ(AsideFiles(reg).size(), 1);
    }
}

TEST(RegistryStore, UnreadableFileIsNeitherLostNorOverwritten) {
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    TempRegistry reg;
    reg.WriteFile(QByteArray("{\"format\":\"Kestrova3D registry\",\"roots\":[]}"));
    QFile::setPermissions(reg.path(), QFileDevice::Permissions());
    EXPECT_TRUE(RegReadValue(kKey, "x").IsEmpty());
    EXPECT_TRUE(TakeRegistryNotice().has_value());
    EXPECT_EQ(AsideFiles(reg).size(), 1);
    EXPECT_TRUE(RegWriteValue(kKey, "x", RegType::Dword, 3));
}

TEST(RegistryStore, ADeviceOrAPipeIsNeitherReadNorMovedNorReplaced) {
    for (const char kind : {'p', 'c'}) {
        TempRegistry reg;
        if (kind == 'p' ? !MakeFifo(reg.path()) : !MakeCharDevice(reg.path(), 1, 5))
            GTEST_SKIP() << "making device nodes is not permitted here";
        EXPECT_TRUE(RegReadValue(kKey, "Language").IsEmpty()); // at once, with defaults
        const auto notice = TakeRegistryNotice();
        ASSERT_TRUE(notice.has_value());
        EXPECT_TRUE(notice->contains("(Not a file: a device, a pipe or a socket)"))
            << notice->toStdString();
        EXPECT_FALSE(RegWriteValue(kKey, "Language", RegType::Dword, 1));
        EXPECT_EQ(KindAt(reg.path()), kind);
    }
}

TEST(RegistryStore, AFailedWriteKeepsThePreviousFile) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kKey, "Language", RegType::Dword, 1));
    const QByteArray before = reg.FileText();
    {
        const ScopedFileSizeLimit limit(static_cast<rlim_t>(before.size()));
        RegWriteValue(kKey, "Big", RegType::Sz, QString(4000, QLatin1Char('x')));
        EXPECT_FALSE(RegLastWriteOk());
    }
    EXPECT_EQ(reg.FileText(), before);
    EXPECT_EQ(QDir(reg.dir()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(RegistryStore, KeptInMemoryNeitherWritesNorMovesTheFile) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kKey, "Kept", RegType::Dword, 1));
    const QByteArray before = reg.FileText();
    RegKeepInMemory(true);
    // Changes are seen by the run that made them, not by the file.
    EXPECT_TRUE(RegWriteValue(kKey, "New", RegType::Sz, "n"));
    EXPECT_TRUE(RegDeleteValue(kKey, "Kept"));
    EXPECT_EQ(RegReadValue(kKey, "New").String(), "n");
    EXPECT_TRUE(RegReadValue(kKey, "Kept").IsEmpty());
    EXPECT_EQ(reg.FileText(), before);
    // A store that cannot be read stays where it is.
    TempRegistry broken;
    broken.WriteFile(QByteArray("not json"));
    EXPECT_TRUE(RegReadValue(kKey, "x").IsEmpty());
    EXPECT_TRUE(TakeRegistryNotice().has_value());
    EXPECT_TRUE(AsideFiles(broken).isEmpty());
    EXPECT_EQ(broken.FileText(), QByteArray("not json"));
    RegKeepInMemory(false);
}

TEST(RegistryStore, DefaultFileFollowsXdgConfigHome) {
    const QByteArray previous = qgetenv("KESTROVA3D_REGISTRY");
    qunsetenv("KESTROVA3D_REGISTRY");
    const QString path = RegistryFilePath();
    qputenv("KESTROVA3D_REGISTRY", previous);
    EXPECT_TRUE(path.endsWith("/Quillbrook/Kestrova3D/registry.json")) << path.toStdString();
}

} // namespace
} // namespace kestrova::test

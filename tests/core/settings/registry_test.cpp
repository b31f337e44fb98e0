#include "core/settings/registry.h"

#include "support/scoped_file_size_limit.h"
#include "support/temp_registry.h"
#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <unistd.h>

namespace kestrova::test {
namespace {

const QString kKey = QStringLiteral("HKLM\\Software\\Quillbrook\\Kestrova3D");

QStringList AsideFiles(const TempRegistry& reg) {
    return QDir(reg.dir()).entryList({QStringLiteral("registry.json.bad-*")}, QDir::Files);
}

TEST(RegistryPath, RootNamesAbbreviationsAndCase) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(QStringLiteral("HKEY_LOCAL_MACHINE\\A"), QStringLiteral("v"),
                              RegType::Dword, 7));
    // Every spelling of the local machine reaches the same key; the perf root is the same key.
    for (const char* path :
         {"HKLM\\A", "hklm\\A", "HKEY_PERF_ROOT\\A", "HKPR\\a\\", "Hkey_Local_Machine\\A"})
        EXPECT_EQ(RegReadValue(QString::fromLatin1(path), QStringLiteral("V")).Dword(), 7) << path;
    // Other roots are other trees.
    EXPECT_TRUE(RegReadValue(QStringLiteral("HKCU\\A"), QStringLiteral("v")).IsEmpty());

    const std::pair<const char*, const char*> names[] = {
        {"HKEY_CLASSES_ROOT", "HKCR"},   {"HKEY_CURRENT_USER", "HKCU"},
        {"HKEY_USERS", "HKU"},           {"HKEY_PERFORMANCE_DATA", "HKPD"},
        {"HKEY_CURRENT_CONFIG", "HKCC"}, {"HKEY_DYN_DATA", "HKDD"}};
    for (const auto& [full, abbreviation] : names) {
        const QString fullKey = QString::fromLatin1(full) + QStringLiteral("\\K");
        ASSERT_TRUE(
            RegWriteValue(fullKey, QStringLiteral("n"), RegType::Sz, QString::fromLatin1(full)));
        EXPECT_EQ(RegReadValue(QString::fromLatin1(abbreviation).toLower() + QStringLiteral("\\K"),
                               QStringLiteral("n"))
                      .String(),
                  QString::fromLatin1(full));
    }
}

TEST(RegistryPath, UnknownRootOrBrokenPathFailsEverything) {
    TempRegistry reg;
    for (const char* bad : {"HKXX\\Software", "Software\\Quillbrook", "", "HKLM\\a\\\\b"}) {
        const QString path = QString::fromLatin1(bad);
        EXPECT_FALSE(ParseRegPath(path).has_value()) << bad;
        EXPECT_FALSE(RegWriteValue(path, QStringLiteral("v"), RegType::Sz, QStringLiteral("x")));
        EXPECT_TRUE(RegReadValue(path, QStringLiteral("v")).IsEmpty());
        EXPECT_FALSE(RegDeleteValue(path, QStringLiteral("v")));
        EXPECT_FALSE(RegListValueNames(path).ok);
    }
    // The root alone is a key; one trailing "\" is ignored, the subkey text is kept as given.
    ASSERT_TRUE(ParseRegPath(QStringLiteral("HKCU")).has_value());
    const auto p = ParseRegPath(QStringLiteral("hkcu\\Software\\Mixed Case\\"));
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->root, RegRoot::CurrentUser);
    EXPECT_EQ(p->subkeys, (QStringList{QStringLiteral("Software"), QStringLiteral("Mixed Case")}));
}

TEST(RegistryValues, EachTypeReadsBackAsItsKind) {
    TempRegistry reg;
    ASSERT_TRUE(
        RegWriteValue(kKey, QStringLiteral("s"), RegType::Sz, QStringLiteral("C:\\Jeux\\été")));
    ASSERT_TRUE(
        RegWriteValue(kKey, QStringLiteral("e"), RegType::ExpandSz, QStringLiteral("%HOME%\\x")));
    ASSERT_TRUE(
        RegWriteValue(kKey, QStringLiteral("b"), RegType::Binary, QByteArray("\x00\xff\x10", 3)));
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("d"), RegType::Dword, -5));
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("m"), RegType::MultiSz,
                              QStringList{QStringLiteral("one"), QStringLiteral("two")}));

    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("s")).String(), QStringLiteral("C:\\Jeux\\été"));
    // An expandable string is not expanded.
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("e")).String(), QStringLiteral("%HOME%\\x"));
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("b")).Binary(), QByteArray("\x00\xff\x10", 3));
    const RegValue d = RegReadValue(kKey, QStringLiteral("d"));
    ASSERT_TRUE(d.IsDword());
    EXPECT_EQ(d.Dword(), -5);
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("m")).MultiString(),
              (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_TRUE(RegReadValue(kKey, QStringLiteral("absent")).IsEmpty());
    EXPECT_TRUE(RegReadValue(kKey + QStringLiteral("\\Nope"), QStringLiteral("s")).IsEmpty());
}

TEST(RegistryValues, StringsCutAtZeroAndNumbersConvert) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("z"), RegType::Sz,
                              QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")));
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("z")).String(), QStringLiteral("ab"));
    // A string array ends at its first empty part.
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("m"), RegType::MultiSz,
                              QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("m")).MultiString(),
              QStringList{QStringLiteral("a")});

    // Doubles go to the nearest integer, halves to even; beyond 32 bits nothing is written.
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("d"), RegType::Dword, 2.5));
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("d")).Dword(), 2);
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("d"), RegType::Dword, QStringLiteral("3.5")));
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("d")).Dword(), 4);
    EXPECT_FALSE(RegWriteValue(kKey, QStringLiteral("d"), RegType::Dword, 4294967296.0));
    EXPECT_FALSE(RegWriteValue(kKey, QStringLiteral("d"), RegType::Dword, QStringLiteral("abc")));
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("d")).Dword(), 4);

    // The settings' conversions of what was read.
    EXPECT_EQ(RegValueToInt16(RegValue(int32_t{40000})), std::nullopt);
    EXPECT_EQ(RegValueToInt16(RegValue(QStringLiteral(" 12 "))), std::optional<int16_t>(12));
    EXPECT_EQ(RegValueToLong(RegValue(QStringLiteral("word"))), std::nullopt);
    EXPECT_TRUE(RegValueToFlag(RegValue(int32_t{5})));
    EXPECT_FALSE(RegValueToFlag(RegValue(int32_t{0})));
    EXPECT_FALSE(RegValueToFlag(RegValue(int32_t{-1})));
    EXPECT_FALSE(RegValueToFlag(RegValue(QStringLiteral("yes"))));
}

TEST(RegistryValues, CreationOrderNamesAndDeletion) {
    TempRegistry reg;
    const QString key = kKey + QStringLiteral("\\Deep\\Er\\Key");
    EXPECT_FALSE(RegListValueNames(key).ok);
    ASSERT_TRUE(RegWriteValue(key, QStringLiteral("Zeta"), RegType::Sz, QStringLiteral("1")));
    ASSERT_TRUE(RegWriteValue(key, QStringLiteral("alpha"), RegType::Dword, 2));
    ASSERT_TRUE(RegWriteValue(key, QStringLiteral("Mid"), RegType::Sz, QStringLiteral("3")));
    // Writing a value again, under another case, keeps its place and its first name.
    ASSERT_TRUE(RegWriteValue(key, QStringLiteral("ZETA"), RegType::Dword, 9));
    const RegValueNames listed = RegListValueNames(key);
    ASSERT_TRUE(listed.ok);
    EXPECT_EQ(listed.names, (QStringList{QStringLiteral("Zeta"), QStringLiteral("alpha"),
                                         QStringLiteral("Mid")}));
    EXPECT_EQ(listed.types, (std::vector<int>{4, 4, 1}));
    EXPECT_EQ(RegReadValue(key, QStringLiteral("zeta")).Dword(), 9);

    // Levels in between exist now but hold no values.
    EXPECT_FALSE(RegListValueNames(kKey + QStringLiteral("\\deep\\er")).ok);

    EXPECT_TRUE(RegDeleteValue(key, QStringLiteral("ALPHA")));
    EXPECT_FALSE(RegDeleteValue(key, QStringLiteral("alpha")));
    EXPECT_FALSE(RegDeleteValue(kKey + QStringLiteral("\\None"), QStringLiteral("Mid")));
    EXPECT_EQ(RegListValueNames(key).names,
              (QStringList{QStringLiteral("Zeta"), QStringLiteral("Mid")}));
    EXPECT_TRUE(RegDeleteValue(key, QStringLiteral("Zeta")));
    EXPECT_TRUE(RegDeleteValue(key, QStringLiteral("Mid")));
    EXPECT_FALSE(RegListValueNames(key).ok);
}

TEST(RegistryStore, ValuesSurviveInTheFileWithTheirTypes) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kKey + QStringLiteral("\\Defrag"), QStringLiteral("ModPath"),
                              RegType::Sz, QStringLiteral("/games/q3/defrag")));
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("Language"), RegType::Dword, 1));
    ASSERT_TRUE(RegLastWriteOk());
    const QByteArray text = reg.FileText();
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(QJsonDocument::fromJson(text).isObject());

    // Another store file with the same content reads the same values.
    TempRegistry other;
    other.WriteFile(text);
    EXPECT_EQ(RegReadValue(kKey + QStringLiteral("\\defrag"), QStringLiteral("modpath")).String(),
              QStringLiteral("/games/q3/defrag"));
    const RegValue language = RegReadValue(kKey, QStringLiteral("Language"));
    ASSERT_TRUE(language.IsDword());
    EXPECT_EQ(language.Dword(), 1);

    // A change made to the file outside the program is seen by the next read.
    other.WriteFile(QByteArray("{\"format\":\"Kestrova3D registry\",\"roots\":[]}"));
    EXPECT_TRUE(RegReadValue(kKey, QStringLiteral("Language")).IsEmpty());
    EXPECT_FALSE(TakeRegistryNotice().has_value());
}

TEST(RegistryStore, BatchWritesTheFileOnceAtTheEnd) {
    TempRegistry reg;
    {
        RegistryBatch outer;
        ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("a"), RegType::Dword, 1));
        {
            RegistryBatch inner;
            ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("b"), RegType::Dword, 2));
        }
        EXPECT_FALSE(QFileInfo::exists(reg.path()));
        EXPECT_EQ(RegReadValue(kKey, QStringLiteral("b")).Dword(), 2);
    }
    ASSERT_TRUE(QFileInfo::exists(reg.path()));
    TempRegistry copy;
    copy.WriteFile(reg.FileText());
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("a")).Dword(), 1);
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("b")).Dword(), 2);
}

// A long list as a file holds it: Item1..Item3000 under one key, then a second "ITEM7" that the
// first one hides.
QByteArray LongListFile() {
    QByteArray values;
    for (int i = 1; i <= 3000; ++i)
        values += "{\"name\":\"Item" + QByteArray::number(i) + "\",\"type\":1,\"data\":\"v" +
                  QByteArray::number(i) + "\"},";
    values += "{\"name\":\"ITEM7\",\"type\":1,\"data\":\"hidden\"}";
    return "{\"format\":\"Kestrova3D registry\",\"roots\":[{\"name\":\"HKEY_LOCAL_MACHINE\","
           "\"values\":[],\"keys\":[{\"name\":\"Long\",\"values\":[" +
           values + "],\"keys\":[]}]}]}";
}

TEST(RegistryStore, LongListsKeepNamesOrderAndValuesThroughDeletions) {
    TempRegistry reg;
    reg.WriteFile(LongListFile());
    const QString key = QStringLiteral("HKLM\\long");
    EXPECT_EQ(RegReadValue(key, QStringLiteral("item7")).String(), QStringLiteral("v7"));
    EXPECT_EQ(RegReadValue(key, QStringLiteral("ITEM2999")).String(), QStringLiteral("v2999"));
    EXPECT_EQ(RegListValueNames(key).names.size(), 3000);

    // Removing two thirds of them (every value not divisible by 3) leaves the rest in order.
    {
        RegistryBatch batch;
        for (int i = 1; i <= 3000; ++i) {
            if (i % 3 == 0)
                continue;
            ASSERT_TRUE(RegDeleteValue(key, QStringLiteral("item%1").arg(i))) << i;
        }
    }
    QStringList expected;
    for (int i = 3; i <= 3000; i += 3)
        expected.append(QStringLiteral("Item%1").arg(i));
    EXPECT_EQ(RegListValueNames(key).names, expected);
    EXPECT_EQ(RegReadValue(key, QStringLiteral("Item2997")).String(), QStringLiteral("v2997"));
    EXPECT_TRUE(RegReadValue(key, QStringLiteral("Item2998")).IsEmpty());
    EXPECT_FALSE(RegDeleteValue(key, QStringLiteral("Item1")));
    // The whole list in one read, holes left out.
    const auto all = RegReadAllValues(key);
    ASSERT_EQ(all.size(), 1000u);
    EXPECT_EQ(all.front().first, QStringLiteral("Item3"));
    EXPECT_EQ(all.back().second.String(), QStringLiteral("v3000"));

    // A removed name written again comes last; one still there keeps its place.
    ASSERT_TRUE(RegWriteValue(key, QStringLiteral("Item1"), RegType::Dword, 1));
    ASSERT_TRUE(RegWriteValue(key, QStringLiteral("item3"), RegType::Dword, 3));
    expected.append(QStringLiteral("Item1"));
    EXPECT_EQ(RegListValueNames(key).names, expected);

    // What the file holds now reads back the same from another store.
    TempRegistry copy;
    copy.WriteFile(reg.FileText());
    EXPECT_EQ(RegListValueNames(key).names, expected);
    EXPECT_EQ(RegReadValue(key, QStringLiteral("ITEM3")).Dword(), 3);
    EXPECT_EQ(RegReadValue(key, QStringLiteral("Item30")).String(), QStringLiteral("v30"));
}

TEST(RegistryStore, CorruptFileIsKeptAsideAndReportedOnce) {
    for (const QByteArray& bad :
         {QByteArray("{\"format\": \"Kestrova3D registry\", \"roots\": [ {"),
          QByteArray("[1, 2, 3]"), QByteArray("\xff\xfe garbage"), QByteArray()}) {
        TempRegistry reg;
        reg.WriteFile(bad);
        EXPECT_TRUE(RegReadValue(kKey, QStringLiteral("Language")).IsEmpty());
        const QStringList aside = AsideFiles(reg);
        ASSERT_EQ(aside.size(), 1) << bad.constData();
        EXPECT_EQ(ReadBytes(QDir(reg.dir()).filePath(aside.first())), bad);

        const auto notice = TakeRegistryNotice();
        ASSERT_TRUE(notice.has_value());
        EXPECT_TRUE(notice->contains(aside.first())) << notice->toStdString();
        EXPECT_FALSE(TakeRegistryNotice().has_value());

        // The program goes on with a fresh store.
        ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("Language"), RegType::Dword, 1));
        EXPECT_EQ(RegReadValue(kKey, QStringLiteral("Language")).Dword(), 1);
        EXPECT_EQ(AsideFiles(reg).size(), 1);
    }
}

TEST(RegistryStore, UnreadableFileIsNeitherLostNorOverwritten) {
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    TempRegistry reg;
    reg.WriteFile(QByteArray("{\"format\":\"Kestrova3D registry\",\"roots\":[]}"));
    QFile::setPermissions(reg.path(), QFileDevice::Permissions());
    EXPECT_TRUE(RegReadValue(kKey, QStringLiteral("x")).IsEmpty());
    EXPECT_TRUE(TakeRegistryNotice().has_value());
    EXPECT_EQ(AsideFiles(reg).size(), 1);
    EXPECT_TRUE(RegWriteValue(kKey, QStringLiteral("x"), RegType::Dword, 3));
}

TEST(RegistryStore, AFailedWriteKeepsThePreviousFile) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("Language"), RegType::Dword, 1));
    const QByteArray before = reg.FileText();
    {
        const ScopedFileSizeLimit limit(static_cast<rlim_t>(before.size()));
        RegWriteValue(kKey, QStringLiteral("Big"), RegType::Sz, QString(4000, QLatin1Char('x')));
        EXPECT_FALSE(RegLastWriteOk());
    }
    EXPECT_EQ(reg.FileText(), before);
    EXPECT_EQ(QDir(reg.dir()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(RegistryStore, KeptInMemoryNeitherWritesNorMovesTheFile) {
    TempRegistry reg;
    ASSERT_TRUE(RegWriteValue(kKey, QStringLiteral("Kept"), RegType::Dword, 1));
    const QByteArray before = reg.FileText();
    RegKeepInMemory(true);
    // Changes are seen by the run that made them, not by the file.
    EXPECT_TRUE(RegWriteValue(kKey, QStringLiteral("Kept"), RegType::Dword, 2));
    EXPECT_TRUE(RegWriteValue(kKey, QStringLiteral("New"), RegType::Sz, QStringLiteral("n")));
    EXPECT_TRUE(RegDeleteValue(kKey, QStringLiteral("Kept")));
    EXPECT_TRUE(RegLastWriteOk());
    EXPECT_EQ(RegReadValue(kKey, QStringLiteral("New")).String(), QStringLiteral("n"));
    EXPECT_TRUE(RegReadValue(kKey, QStringLiteral("Kept")).IsEmpty());
    EXPECT_EQ(reg.FileText(), before);

    // A store that cannot be read stays where it is.
    TempRegistry broken;
    broken.WriteFile(QByteArray("not json"));
    EXPECT_TRUE(RegReadValue(kKey, QStringLiteral("x")).IsEmpty());
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
    EXPECT_TRUE(path.endsWith(QStringLiteral("/Quillbrook/Kestrova3D/registry.json")))
        << path.toStdString();
    TempRegistry reg;
    EXPECT_EQ(RegistryFilePath(), reg.path());
}

} // namespace
} // namespace kestrova::test

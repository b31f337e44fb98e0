#pragma once
// The registry access layer. Paths are written the Windows way ("HKLM\Software\...", one
// trailing "\" ignored); on this platform they address one typed JSON store file, by default
// $XDG_CONFIG_HOME/Quillbrook/Kestrova3D/registry.json or the file named by KESTROVA3D_REGISTRY.
// Values keep their type and their order of creation; key and value names match whatever their
// case, like the registry's.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace kestrova {

// The registry value types the program knows; the numbers are the registry's.
enum class RegType : int { Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4, MultiSz = 7 };

// A value read from the store: empty, or one of the kinds below.
class RegValue {
public:
    using Data = std::variant<std::monostate, QString, QByteArray, int32_t, QStringList>;

    RegValue() = default;
    explicit RegValue(Data data) : data_(std::move(data)) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(data_); }
    bool IsString() const { return std::holds_alternative<QString>(data_); }
    bool IsDword() const { return std::holds_alternative<int32_t>(data_); }
    bool IsBinary() const { return std::holds_alternative<QByteArray>(data_); }
    bool IsMultiString() const { return std::holds_alternative<QStringList>(data_); }

    QString String() const;
    int32_t Dword() const;
    QByteArray Binary() const;
    QStringList MultiString() const;

    // The value as text: a string as is, a number in decimal, a string array joined with blanks,
    // bytes as Latin-1.
    QString Text() const;

    const Data& data() const { return data_; }

private:
    Data data_;
};

// Conversions of a present value as the settings make them; nullopt when it does not convert.
// A string converts when it holds a number (regional or "." form), rounded halves to even.
std::optional<int32_t> RegValueToLong(const RegValue& value);
std::optional<int16_t> RegValueToInt16(const RegValue& value);
// A check mark: an integer of at least 1; anything that does not convert is false.
bool RegValueToFlag(const RegValue& value);

// The roots of the path syntax; the perf root is the local machine.
enum class RegRoot {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData
};

// The root of a path and its subkey components; nullopt when the root name is unknown or the
// subkey path has an empty component.
struct RegPath {
    RegRoot root = RegRoot::LocalMachine;
    QStringList subkeys;
};
std::optional<RegPath> ParseRegPath(const QString& keyPath);

RegValue RegReadValue(const QString& keyPath, const QString& valueName);
// Creates every missing level of the key path. A Dword is the value converted to a 32-bit
// integer (halves to even); strings keep their characters; Binary takes a QByteArray and MultiSz
// a QStringList.
bool RegWriteValue(const QString& keyPath, const QString& valueName, RegType type,
                   const QVariant& value);
bool RegDeleteValue(const QString& keyPath, const QString& valueName);

struct RegValueNames {
    QStringList names;
    std::vector<int> types;
    bool ok = false; // false when the key does not exist or holds no values
};
RegValueNames RegListValueNames(const QString& keyPath);

// Every value of a key with its name, in the enumeration order; empty when the key does not
// exist. One pass for a long list instead of one lookup per value.
std::vector<std::pair<QString, RegValue>> RegReadAllValues(const QString& keyPath);

// Whether the last write or delete reached the file (the store keeps it in memory otherwise).
bool RegLastWriteOk();

// Keeps every later change in memory only: the file is read but never written or moved aside
// (batch runs that must leave the user's settings as they found them).
void RegKeepInMemory(bool on);

// The store file in use (the environment variable, else the XDG default).
QString RegistryFilePath();

// A store file that could not be read is renamed aside and the program runs with empty
// settings. The message describing it is handed out once; afterwards this returns nothing.
std::optional<QString> TakeRegistryNotice();

// Inside a batch the store is written once, when the outermost batch ends (settings are saved
// value by value; one atomic file write for all of them is enough).
class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;
};

} // namespace kestrova

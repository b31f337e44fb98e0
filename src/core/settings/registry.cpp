#include "core/settings/registry.h"

#include "core/files/file_access.h"
#include "core/files/text_file.h"
#include "core/numbers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>

namespace kestrova {

namespace {
// Far beyond any settings this program writes; a larger file is not its own.
constexpr qint64 kMaxSettingsBytes = 64LL * 1024 * 1024;
} // namespace

// ---------------------------------------------------------------------------------------------
// RegValue

QString RegValue::String() const {
    const QString* s = std::get_if<QString>(&data_);
    return s ? *s : QString();
}
int32_t RegValue::Dword() const {
    const int32_t* v = std::get_if<int32_t>(&data_);
    return v ? *v : 0;
}
QByteArray RegValue::Binary() const {
    const QByteArray* b = std::get_if<QByteArray>(&data_);
    return b ? *b : QByteArray();
}
QStringList RegValue::MultiString() const {
    const QStringList* l = std::get_if<QStringList>(&data_);
    return l ? *l : QStringList();
}
QString RegValue::Text() const {
    if (IsString())
        return String();
    if (IsDword())
        return QString::number(Dword());
    if (IsBinary())
        return QString::fromLatin1(Binary());
    if (IsMultiString())
        return MultiString().join(QLatin1Char(' '));
    return QString();
}

std::optional<int32_t> RegValueToLong(const RegValue& value) {
    if (value.IsDword())
        return value.Dword();
    if (!value.IsString())
        return std::nullopt;
    const QString text = value.String().trimmed();
    bool ok = false;
    double v = ParseLocaleNumber(text, &ok);
    if (!ok)
        v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    const double r = std::nearbyint(v);
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return static_cast<int32_t>(r);
}

std::optional<int16_t> RegValueToInt16(const RegValue& value) {
    const auto v = RegValueToLong(value);
    if (!v || *v < -32768 || *v > 32767)
        return std::nullopt;
    return static_cast<int16_t>(*v);
}

bool RegValueToFlag(const RegValue& value) {
    const auto v = RegValueToLong(value);
    return v && *v >= 1;
}

// ---------------------------------------------------------------------------------------------
// Path syntax

namespace {

struct RootName {
    const char* full;
    const char* abbreviation;
    RegRoot root;
};

constexpr std::array<RootName, 8> kRootNames{{
    {"HKEY_CLASSES_ROOT", "HKCR", RegRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", RegRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", RegRoot::LocalMachine},
    {"HKEY_PERF_ROOT", "HKPR", RegRoot::LocalMachine},
    {"HKEY_USERS", "HKU", RegRoot::Users},
    {"HKEY_PERFORMANCE_DATA", "HKPD", RegRoot::PerformanceData},
    {"HKEY_CURRENT_CONFIG", "HKCC", RegRoot::CurrentConfig},
    {"HKEY_DYN_DATA", "HKDD", RegRoot::DynData},
}};

constexpr int kRootCount = 7;

// The name a root is stored under in the file.
QString StoredRootName(RegRoot root) {
    for (const RootName& r : kRootNames)
        if (r.root == root)
            return QString::fromLatin1(r.full);
    return QString();
}

} // namespace

std::optional<RegPath> ParseRegPath(const QString& keyPath) {
    QString path = keyPath;
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    const QString rootName = (slash < 0 ? path : path.left(slash)).toUpper();
    RegPath result;
    bool found = false;
    for (const RootName& r : kRootNames) {
        if (rootName == QLatin1String(r.full) || rootName == QLatin1String(r.abbreviation)) {
            result.root = r.root;
            found = true;
            break;
        }
    }
    if (!found)
        return std::nullopt;
    if (slash >= 0) {
        result.subkeys = path.mid(slash + 1).split(QLatin1Char('\\'));
        for (const QString& part : result.subkeys)
            if (part.isEmpty())
                return std::nullopt;
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// The store

namespace {

struct StoredValue {
    QString name;
    int type = 0;
    QJsonValue data;
    bool removed = false;
};

// Names match whatever their case; the indexes are keyed by the folded name so that a store
// of tens of thousands of values loads and reads in linear time.
QString FoldedName(const QString& name) {
    return name.toCaseFolded();
}

struct Key {
    QString name;
    std::vector<std::unique_ptr<Key>> subkeys;

    Key* Child(const QString& childName) const { return children_.value(FoldedName(childName)); }
    Key* AddChild(const QString& childName) {
        auto made = std::make_unique<Key>();
        made->name = childName;
        Key* child = made.get();
        subkeys.push_back(std::move(made));
        children_.insert(FoldedName(childName), child);
        return child;
    }

    StoredValue* Value(const QString& valueName) {
        const auto it = valueIndex_.constFind(FoldedName(valueName));
        return it == valueIndex_.cend() ? nullptr : &values_[*it];
    }
    void AddValue(StoredValue value) {
        valueIndex_.insert(FoldedName(value.name), values_.size());
        values_.push_back(std::move(value));
    }
    // A removed value leaves a hole, so that emptying a long list stays linear; the holes are
    // squeezed out once they are the majority.
    bool RemoveValue(const QString& valueName) {
        const auto it = valueIndex_.constFind(FoldedName(valueName));
        if (it == valueIndex_.cend())
            return false;
        values_[*it] = StoredValue{{}, 0, {}, true};
        valueIndex_.erase(it);
        if (++holes_ * 2 > values_.size())
            Compact();
        return true;
    }
    bool HasValues() const { return values_.size() > holes_; }
    // Every present value in its order of creation.
    template <typename F> void ForEachValue(F&& f) const {
        for (const StoredValue& v : values_)
            if (!v.removed)
                f(v);
    }

private:
    void Compact() {
        std::erase_if(values_, [](const StoredValue& v) { return v.removed; });
        holes_ = 0;
        valueIndex_.clear();
        for (size_t i = 0; i < values_.size(); ++i)
            valueIndex_.insert(FoldedName(values_[i].name), i);
    }

    std::vector<StoredValue> values_;
    size_t holes_ = 0;
    QHash<QString, size_t> valueIndex_;
    QHash<QString, Key*> children_;
};

QJsonObject KeyToJson(const Key& key) {
    QJsonObject o;
    o.insert(QStringLiteral("name"), key.name);
    QJsonArray values;
    key.ForEachValue([&](const StoredValue& v) {
        QJsonObject vo;
        vo.insert(QStringLiteral("name"), v.name);
        vo.insert(QStringLiteral("type"), v.type);
        vo.insert(QStringLiteral("data"), v.data);
        values.append(vo);
    });
    o.insert(QStringLiteral("values"), values);
    QJsonArray keys;
    for (const auto& k : key.subkeys)
        keys.append(KeyToJson(*k));
    o.insert(QStringLiteral("keys"), keys);
    return o;
}

// Lenient: entries that are not well formed are dropped, the rest is kept.
void KeyFromJson(const QJsonObject& o, Key& key) {
    for (const QJsonValue& item : o.value(QStringLiteral("values")).toArray()) {
        const QJsonObject vo = item.toObject();
        const QJsonValue name = vo.value(QStringLiteral("name"));
        const QJsonValue type = vo.value(QStringLiteral("type"));
        if (!name.isString() || !type.isDouble() || key.Value(name.toString()))
            continue;
        key.AddValue({name.toString(), type.toInt(), vo.value(QStringLiteral("data"))});
    }
    for (const QJsonValue& item : o.value(QStringLiteral("keys")).toArray()) {
        const QJsonObject ko = item.toObject();
        const QJsonValue name = ko.value(QStringLiteral("name"));
        if (!name.isString() || name.toString().isEmpty() || key.Child(name.toString()))
            continue;
        KeyFromJson(ko, *key.AddChild(name.toString()));
    }
}

const QString kFormatName = QStringLiteral("Kestrova3D registry");

class Store {
public:
    // Brings the memory copy in line with the file (another writer, a deleted file, a new path).
    void Sync() {
        const QString path = RegistryFilePath();
        const QFileInfo info(path);
        const bool exists = info.exists();
        const QDateTime stamp = exists ? info.lastModified() : QDateTime();
        const qint64 size = exists ? info.size() : -1;
        if (loaded_ && path == path_ && stamp == stamp_ && size == size_)
            return;
        if (loaded_ && dirty_)
            return; // unsaved changes of a batch win over the file until the batch ends
        Load(path);
    }

    Key* Find(const RegPath& p) {
        Key* key = &roots_[static_cast<int>(p.root)];
        for (const QString& part : p.subkeys) {
            key = key->Child(part);
            if (!key)
                return nullptr;
        }
        return key;
    }

    Key* FindOrCreate(const RegPath& p) {
        Key* key = &roots_[static_cast<int>(p.root)];
        for (const QString& part : p.subkeys) {
            Key* child = key->Child(part);
            key = child ? child : key->AddChild(part);
        }
        return key;
    }

    // Called after every change.
    bool Changed() {
        if (batchDepth_ > 0) {
            dirty_ = true;
            return true;
        }
        lastWriteOk_ = Write();
        return lastWriteOk_;
    }

    void BeginBatch() { ++batchDepth_; }
    void EndBatch() {
        if (--batchDepth_ == 0 && dirty_) {
            dirty_ = false;
            lastWriteOk_ = Write();
        }
    }

    bool lastWriteOk() const { return lastWriteOk_; }
    void KeepInMemory(bool on) { memoryOnly_ = on; }
    std::optional<QString> TakeNotice() { return std::exchange(notice_, std::nullopt); }

private:
    void Clear() {
        for (int i = 0; i < kRootCount; ++i) {
            roots_[i] = Key();
            roots_[i].name = StoredRootName(static_cast<RegRoot>(i));
        }
    }

    void Load(const QString& path) {
        Clear();
        path_ = path;
        loaded_ = true;
        readOnly_ = false;
        dirty_ = false;
        const QFileInfo info(path);
        if (!info.exists()) {
            Remember();
            return;
        }
        QByteArray bytes;
        QString problem = ReadRegularFile(path, kMaxSettingsBytes, bytes);
        if (!info.isFile()) {
            // A device, a pipe or a folder is not ours to move aside nor to write.
            readOnly_ = true;
            notice_ = QStringLiteral("The settings file \"%1\" could not be read (%2). The "
                                     "program starts with default settings and will not save "
                                     "them.")
                          .arg(QDir::toNativeSeparators(path), problem);
            Remember();
            return;
        }
        if (problem.isEmpty()) {
            QJsonParseError error{};
            const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
            if (error.error != QJsonParseError::NoError)
                problem = error.errorString();
            else if (!doc.isObject() ||
                     doc.object().value(QStringLiteral("format")).toString() != kFormatName)
                problem = QStringLiteral("not a settings file of this program");
            else
                FromJson(doc.object());
        }
        if (!problem.isEmpty())
            PutAside(path, problem);
        Remember();
    }

    // A bad file is never overwritten: it is renamed, or, if that fails, the store stops writing.
    void PutAside(const QString& path, const QString& problem) {
        Clear();
        const QString stamp =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString aside = path + QStringLiteral(".bad-") + stamp;
        for (int n = 2; QFileInfo::exists(aside); ++n)
            aside = path + QStringLiteral(".bad-") + stamp + QLatin1Char('-') + QString::number(n);
        if (!memoryOnly_ && QFile::rename(path, aside)) {
            notice_ =
                QStringLiteral("The settings file \"%1\" could not be read (%2). It was kept "
                               "as \"%3\" and the program starts with default settings.")
                    .arg(QDir::toNativeSeparators(path), problem, QDir::toNativeSeparators(aside));
        } else {
            readOnly_ = true;
            notice_ = QStringLiteral("The settings file \"%1\" could not be read (%2) nor moved "
                                     "aside. The program starts with default settings and will "
                                     "not save them.")
                          .arg(QDir::toNativeSeparators(path), problem);
        }
    }

    void FromJson(const QJsonObject& doc) {
        for (const QJsonValue& item : doc.value(QStringLiteral("roots")).toArray()) {
            const QJsonObject ro = item.toObject();
            const auto parsed = ParseRegPath(ro.value(QStringLiteral("name")).toString());
            if (!parsed || !parsed->subkeys.isEmpty())
                continue;
            KeyFromJson(ro, roots_[static_cast<int>(parsed->root)]);
        }
    }

    bool Write() {
        if (memoryOnly_)
            return true;
        if (readOnly_)
            return false;
        QJsonArray roots;
        for (const Key& root : roots_)
            if (root.HasValues() || !root.subkeys.empty())
                roots.append(KeyToJson(root));
        QJsonObject doc;
        doc.insert(QStringLiteral("format"), kFormatName);
        doc.insert(QStringLiteral("version"), 1);
        doc.insert(QStringLiteral("roots"), roots);
        QDir().mkpath(QFileInfo(path_).absolutePath());
        const bool ok = WriteWholeFile(path_, QJsonDocument(doc).toJson(QJsonDocument::Indented));
        Remember();
        return ok;
    }

    void Remember() {
        const QFileInfo info(path_);
        stamp_ = info.exists() ? info.lastModified() : QDateTime();
        size_ = info.exists() ? info.size() : -1;
    }

    std::array<Key, kRootCount> roots_;
    QString path_;
    QDateTime stamp_;
    qint64 size_ = -1;
    bool loaded_ = false;
    bool readOnly_ = false;
    bool dirty_ = false;
    bool lastWriteOk_ = true;
    bool memoryOnly_ = false;
    int batchDepth_ = 0;
    std::optional<QString> notice_;
};

std::recursive_mutex& StoreMutex() {
    static std::recursive_mutex m;
    return m;
}

Store& TheStore() {
    static Store store;
    return store;
}

// The data of a write, or nothing when the value cannot take the type.
std::optional<QJsonValue> EncodeValue(RegType type, const QVariant& value) {
    switch (type) {
    case RegType::Sz:
    case RegType::ExpandSz:
        return QJsonValue(value.toString());
    case RegType::Dword: {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return std::nullopt;
        const double r = std::nearbyint(v);
        if (r < -2147483648.0 || r > 2147483647.0)
            return std::nullopt;
        return QJsonValue(static_cast<int>(r));
    }
    case RegType::Binary:
        return QJsonValue(QString::fromLatin1(value.toByteArray().toHex()));
    case RegType::MultiSz:
        return QJsonValue(QJsonArray::fromStringList(value.toStringList()));
    }
    return std::nullopt;
}

RegValue DecodeValue(const StoredValue& v) {
    switch (v.type) {
    case static_cast<int>(RegType::Sz):
    case static_cast<int>(RegType::ExpandSz): {
        if (!v.data.isString())
            return {};
        QString s = v.data.toString();
        const qsizetype zero = s.indexOf(QChar(0));
        if (zero >= 0)
            s.truncate(zero);
        return RegValue(s);
    }
    case static_cast<int>(RegType::Binary):
        if (!v.data.isString())
            return {};
        return RegValue(QByteArray::fromHex(v.data.toString().toLatin1()));
    case static_cast<int>(RegType::Dword): {
        if (!v.data.isDouble())
            return {};
        const double d = v.data.toDouble();
        if (d != std::floor(d) || d < -2147483648.0 || d > 2147483647.0)
            return {};
        return RegValue(static_cast<int32_t>(d));
    }
    case static_cast<int>(RegType::MultiSz): {
        if (!v.data.isArray())
            return {};
        QStringList parts;
        for (const QJsonValue& part : v.data.toArray()) {
            const QString s = part.toString();
            if (s.isEmpty())
                break; // the list ends at the empty part
            parts.append(s);
        }
        return RegValue(parts);
    }
    default:
        return {};
    }
}

} // namespace

QString RegistryFilePath() {
    const QString fromEnv = qEnvironmentVariable("KESTROVA3D_REGISTRY");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quillbrook/Kestrova3D/registry.json");
}

RegValue RegReadValue(const QString& keyPath, const QString& valueName) {
    const auto p = ParseRegPath(keyPath);
    if (!p)
        return {};
    std::lock_guard lock(StoreMutex());
    Store& store = TheStore();
    store.Sync();
    Key* key = store.Find(*p);
    if (!key)
        return {};
    const StoredValue* v = key->Value(valueName);
    return v ? DecodeValue(*v) : RegValue();
}

bool RegWriteValue(const QString& keyPath, const QString& valueName, RegType type,
                   const QVariant& value) {
    const auto p = ParseRegPath(keyPath);
    if (!p)
        return false;
    const auto data = EncodeValue(type, value);
    if (!data)
        return false;
    std::lock_guard lock(StoreMutex());
    Store& store = TheStore();
    store.Sync();
    Key* key = store.FindOrCreate(*p);
    if (StoredValue* existing = key->Value(valueName)) {
        // A value written again keeps its place in the enumeration order.
        existing->type = static_cast<int>(type);
        existing->data = *data;
    } else {
        key->AddValue({valueName, static_cast<int>(type), *data});
    }
    return store.Changed();
}

bool RegDeleteValue(const QString& keyPath, const QString& valueName) {
    const auto p = ParseRegPath(keyPath);
    if (!p)
        return false;
    std::lock_guard lock(StoreMutex());
    Store& store = TheStore();
    store.Sync();
    Key* key = store.Find(*p);
    if (!key)
        return false;
    return key->RemoveValue(valueName) && store.Changed();
}

RegValueNames RegListValueNames(const QString& keyPath) {
    RegValueNames result;
    const auto p = ParseRegPath(keyPath);
    if (!p)
        return result;
    std::lock_guard lock(StoreMutex());
    Store& store = TheStore();
    store.Sync();
    Key* key = store.Find(*p);
    if (!key || !key->HasValues())
        return result;
    key->ForEachValue([&](const StoredValue& v) {
        result.names.append(v.name);
        result.types.push_back(v.type);
    });
    result.ok = true;
    return result;
}

std::vector<std::pair<QString, RegValue>> RegReadAllValues(const QString& keyPath) {
    std::vector<std::pair<QString, RegValue>> result;
    const auto p = ParseRegPath(keyPath);
    if (!p)
        return result;
    std::lock_guard lock(StoreMutex());
    Store& store = TheStore();
    store.Sync();
    if (const Key* key = store.Find(*p))
        key->ForEachValue(
            [&](const StoredValue& v) { result.emplace_back(v.name, DecodeValue(v)); });
    return result;
}

bool RegLastWriteOk() {
    std::lock_guard lock(StoreMutex());
    return TheStore().lastWriteOk();
}

void RegKeepInMemory(bool on) {
    std::lock_guard lock(StoreMutex());
    TheStore().KeepInMemory(on);
}

std::optional<QString> TakeRegistryNotice() {
    std::lock_guard lock(StoreMutex());
    Store& store = TheStore();
    store.Sync();
    return store.TakeNotice();
}

RegistryBatch::RegistryBatch() {
    std::lock_guard lock(StoreMutex());
    TheStore().BeginBatch();
}

RegistryBatch::~RegistryBatch() {
    std::lock_guard lock(StoreMutex());
    TheStore().EndBatch();
}

} // namespace kestrova

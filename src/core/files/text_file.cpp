#include "core/files/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cstdio>

namespace kestrova {

namespace {

// Windows-1252 at 0x80..0x9F; the undefined codes keep their own value.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char EncodeChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighTable[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QString FromFileBytes(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        d[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighTable[b - 0x80] : char16_t(b));
    }
    return out;
}

void AppendFileBytes(QByteArray& out, const QString& text) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* d = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = EncodeChar(text[i].unicode());
}

QByteArray ToFileBytes(const QString& text) {
    QByteArray out;
    AppendFileBytes(out, text);
    return out;
}

QStringList SplitLines(const QByteArray& bytes) {
    QStringList lines;
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (i > start)
            lines.append(FromFileBytes(bytes.constData() + start, i - start));
        start = i + 1;
    }
    return lines;
}

QStringList SplitLinesKeepEmpty(const QByteArray& bytes) {
    QStringList lines;
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.append(FromFileBytes(bytes.constData() + start, i - start));
        if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    lines.append(FromFileBytes(bytes.constData() + start, n - start));
    return lines;
}

std::optional<QByteArray> ReadTextFileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = f.size();
    if (size < 1 || size > kMaxTextFileBytes)
        return std::nullopt;
    QByteArray bytes = f.readAll();
    if (bytes.isEmpty() || bytes.contains('\0'))
        return std::nullopt;
    return bytes;
}

std::optional<QStringList> ReadFileLines(const QString& path) {
    const std::optional<QByteArray> bytes = ReadTextFileBytes(path);
    if (!bytes)
        return std::nullopt;
    QStringList lines = SplitLines(*bytes);
    if (lines.isEmpty())
        return std::nullopt;
    return lines;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool ReplaceFile(const QString& path, const QByteArray& a, const QByteArray& b) {
    const QFileInfo info(path);
    QTemporaryFile tmp(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                       QStringLiteral(".XXXXXX"));
    if (!tmp.open())
        return false;
    if (tmp.write(a) != a.size() || tmp.write(b) != b.size() || !tmp.flush())
        return false;
    // The temporary file is private to its owner; the script gets what a plain create gives.
    tmp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString tmpName = tmp.fileName();
    tmp.close();
#ifdef Q_OS_WIN
    QFile::remove(path);
    if (!QFile::rename(tmpName, path))
        return false;
#else
    // rename(2) replaces the old file in one step.
    if (std::rename(QFile::encodeName(tmpName).constData(), QFile::encodeName(path).constData()) !=
        0)
        return false;
#endif
    tmp.setAutoRemove(false);
    return true;
}

} // namespace kestrova

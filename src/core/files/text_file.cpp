#include "core/files/text_file.h"

#include "core/files/file_access.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// The file a write replaces: through a link, the file it names, as QSaveFile does (a link to
// nothing is replaced itself).
QString FileToReplace(const QString& path) {
    const QFileInfo link(path);
    const QString resolved = link.isSymLink() ? link.canonicalFilePath() : QString();
    return resolved.isEmpty() ? path : resolved;
}

#ifndef Q_OS_WIN
// Writes a new file beside path, flushed to disk, then renames it over path: the old file stays
// whole until the new one is. Through a link, the file it names is replaced. The system's
// words for a failure go to reason (QSaveFile says only "Unknown error" for a full disk).
bool ReplaceDurably(const QString& path, const QByteArray& bytes, QString& reason) {
    const QFileInfo info(FileToReplace(path));
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    static std::atomic<int> serial{0};
    const QByteArray temp = QFile::encodeName(
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".") +
        QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
        QString::number(++serial) + QStringLiteral(".new"));
    struct stat old {};
    const bool hadFile = ::stat(target.constData(), &old) == 0;
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = SystemReason(errno);
        return false;
    }
    // The new file keeps the old one's permissions.
    bool ok = (!hadFile || ::fchmod(fd, old.st_mode & 07777) == 0) && WriteAll(fd, bytes) &&
              ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temp.constData(), target.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.constData());
        reason = SystemReason(error);
    }
    return ok;
}

#endif

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

std::optional<QByteArray> ReadTextFileBytes(const QString& path, QString* reason) {
    QByteArray bytes;
    if (QString e = ReadRegularFile(path, kMaxTextFileBytes, bytes); !e.isEmpty()) {
        if (reason)
            *reason = e;
        return std::nullopt;
    }
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

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* reason) {
    QString why;
    const bool ok = [&] {
        if (bytes.isEmpty())
            return false;
        switch (ClassifyWriteTarget(path, &why)) {
        case WriteTarget::Refused:
            return false;
        case WriteTarget::Stream:
            return WriteIntoStream(path, bytes, {}, &why);
        case WriteTarget::Replace:
            break;
        }
#ifndef Q_OS_WIN
        return ReplaceDurably(path, bytes, why);
#else
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            why = f.errorString();
            return false;
        }
        // QSaveFile commits even when its buffered write failed at the flush (a full disk):
        // check both, or the old file would be replaced by a cut one.
        if (f.write(bytes) != bytes.size() || !f.flush()) {
            why = f.errorString();
            f.cancelWriting();
            return false;
        }
        if (!f.commit()) {
            why = f.errorString();
            return false;
        }
        return true;
#endif
    }();
    if (!ok && reason)
        *reason = why;
    return ok;
}

FileReplacer::~FileReplacer() {
    if (!spare_.isEmpty())
        QFile::remove(spare_);
}

bool FileReplacer::Replace(const QString& path, const QByteArray& a, const QByteArray& b) {
    error_.clear();
    switch (ClassifyWriteTarget(path, &error_)) {
    case WriteTarget::Refused:
        return false;
    case WriteTarget::Stream:
        return WriteIntoStream(path, a, b, &error_);
    case WriteTarget::Replace:
        break;
    }
    const QString file = FileToReplace(path);
    const QFileInfo info(file);
    const QString spare = info.absolutePath() + QStringLiteral("/.kestrova-") +
                          QString::number(QCoreApplication::applicationPid()) +
                          QStringLiteral(".tmp");
    if (spare != spare_ && !spare_.isEmpty())
        QFile::remove(spare_); // another folder
    spare_ = spare;
#ifdef Q_OS_WIN
    QFile tmp(spare);
    bool ok = tmp.open(QIODevice::WriteOnly | QIODevice::Truncate) && tmp.write(a) == a.size() &&
              tmp.write(b) == b.size() && tmp.flush();
    tmp.close();
    ok = ok && (!QFile::exists(file) || QFile::remove(file)) && QFile::rename(spare, file);
    if (!ok)
        error_ = tmp.errorString();
#else
    const QByteArray sparePath = QFile::encodeName(spare);
    const QByteArray target = QFile::encodeName(file);
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error_ = SystemReason(EISDIR); // an exchange would move the folder aside
        return false;
    }
    const int fd = ::open(sparePath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error_ = SystemReason(errno);
        return false;
    }
    bool ok = WriteAll(fd, a) && WriteAll(fd, b);
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok) {
#ifdef RENAME_EXCHANGE
        // The old text stays in the spare for the next file; without an old file (or where the
        // file system cannot exchange) a plain rename replaces it in one step too.
        if (::renameat2(AT_FDCWD, sparePath.constData(), AT_FDCWD, target.constData(),
                        RENAME_EXCHANGE) == 0)
            return true;
#endif
        ok = std::rename(sparePath.constData(), target.constData()) == 0;
        error = ok ? 0 : errno;
    }
    if (!ok)
        error_ = SystemReason(error);
#endif
    if (!ok)
        QFile::remove(spare);
    return ok;
}

QString MessageWithFile(const QString& message, const QString& path) {
    return message + QStringLiteral("\n") + QDir::toNativeSeparators(path);
}

QString WithReason(const QString& message, const QString& reason) {
    return reason.isEmpty() ? message : message + QStringLiteral("\n") + reason;
}

} // namespace kestrova

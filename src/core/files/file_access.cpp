#include "core/files/file_access.h"

#include "core/settings/language.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrova {

namespace {

QString NotAFile() {
    return fStr(184);
}

QString TooLarge(qint64 maxBytes) {
    return fStr(185, QString::number(maxBytes));
}

bool Under(const QString& path, const QString& top) {
    return path == top || path.startsWith(top + QLatin1Char('/'));
}

} // namespace

#ifndef Q_OS_WIN
bool WriteAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}
#endif

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

#ifndef Q_OS_WIN

QString OpenRegularFile(const QString& path, qint64 maxBytes, QFile& file) {
    const QByteArray native = QFile::encodeName(path);
    // Looked at before opening: opening some devices already does something.
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return SystemReason(errno);
    if (S_ISDIR(st.st_mode))
        return SystemReason(EISDIR);
    if (!S_ISREG(st.st_mode))
        return NotAFile();
    // Without waiting: what was a file a moment ago may be a pipe by now. The flag stays on,
    // so a pseudo file that says it is regular (/proc/kmsg) fails a read instead of hanging.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return SystemReason(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return NotAFile();
    }
    if (st.st_size > maxBytes) {
        ::close(fd);
        return TooLarge(maxBytes);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return {};
}

#else

QString OpenRegularFile(const QString& path, qint64 maxBytes, QFile& file) {
    const QFileInfo info(path);
    if (info.isDir())
        return SystemReason(EISDIR);
    if (info.exists() && !info.isFile())
        return NotAFile();
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (file.size() > maxBytes) {
        file.close();
        return TooLarge(maxBytes);
    }
    return {};
}

#endif

QString ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    bytes.clear();
    QFile file;
    if (QString e = OpenRegularFile(path, maxBytes, file); !e.isEmpty())
        return e;
    // The size only sizes the buffer: pseudo files say 0 and files grow while being read.
    bytes.resize(qsizetype(std::min(file.size(), maxBytes)) + 1);
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes) {
                bytes.clear();
                return TooLarge(maxBytes);
            }
            bytes.resize(qsizetype(std::min<qint64>(qint64(done) * 2 + 4096, maxBytes + 1)));
        }
        const qint64 n = file.read(bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            const QString reason = file.errorString();
            bytes.clear();
            return reason;
        }
        if (n == 0)
            break;
        done += qsizetype(n);
    }
    bytes.truncate(done);
    return {};
}

#ifndef Q_OS_WIN

WriteTarget ClassifyWriteTarget(const QString& path, QString* reason) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT)
            return WriteTarget::Replace; // a new file, or a link to one
        if (reason)
            *reason = SystemReason(errno);
        return WriteTarget::Refused;
    }
    // /dev/stdout or /proc/self/fd/1 sent into a file: that file is the shell's, opened by it
    // (maybe to append), so it is written into, never replaced.
    const QString given = QDir::cleanPath(path);
    const bool descriptor =
        Under(given, QStringLiteral("/dev")) || Under(given, QStringLiteral("/proc"));
    if (S_ISREG(st.st_mode) && !descriptor)
        return WriteTarget::Replace;
    if (S_ISREG(st.st_mode) || S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))
        return WriteTarget::Stream;
    if (reason)
        *reason = S_ISDIR(st.st_mode) ? SystemReason(EISDIR) : NotAFile();
    return WriteTarget::Refused;
}

bool WriteIntoStream(const QString& path, const QByteArray& a, const QByteArray& b,
                     QString* reason) {
    // Never created nor cut short: it is the device's or the pipe's own. Appended to, as a
    // file behind /dev/stdout was opened by the shell and may hold what came before.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (reason)
            *reason = errno == ENXIO ? fStr(186) : SystemReason(errno);
        return false;
    }
    // A reader is there: wait for it as a pipe's writer does.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    bool ok = WriteAll(fd, a) && WriteAll(fd, b);
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok && reason)
        *reason = SystemReason(error);
    return ok;
}

#else

WriteTarget ClassifyWriteTarget(const QString& path, QString* reason) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return WriteTarget::Replace;
    if (reason)
        *reason = info.isDir() ? SystemReason(EISDIR) : NotAFile();
    return WriteTarget::Refused;
}

bool WriteIntoStream(const QString&, const QByteArray&, const QByteArray&, QString* reason) {
    if (reason)
        *reason = NotAFile();
    return false;
}

#endif

bool IsPseudoFileSystemPath(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    const QString given = QDir::cleanPath(info.absoluteFilePath());
    const QString canonical = info.canonicalFilePath();
    for (const char* top : {"/proc", "/sys", "/dev"}) {
        const QString t = QLatin1String(top);
        if (Under(given, t) || (!canonical.isEmpty() && Under(canonical, t)))
            return true;
    }
    return false;
}

QString SafeDialogFolder(const QString& folder) {
    const QString f = folder.isEmpty() ? QDir::currentPath() : folder;
    if (!IsPseudoFileSystemPath(f))
        return f;
    const QString home = QDir::homePath();
    return IsPseudoFileSystemPath(home) ? QDir::rootPath() : home;
}

} // namespace kestrova

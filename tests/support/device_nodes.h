#pragma once
// Devices and pipes made inside a test's own temporary folder, never under /dev.

#include <QFile>
#include <QString>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace kestrova::test {

// A character device numbered as 1,3 /dev/null, 1,5 /dev/zero or 1,7 /dev/full; false if not
// permitted.
inline bool MakeCharDevice(const QString& path, unsigned major, unsigned minor) {
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(major, minor)) == 0;
}

inline bool MakeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0;
}

// What is at path now: 'c' for a character device, 'p' for a pipe, '-' for a regular file.
inline char KindAt(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return '?';
    return S_ISCHR(st.st_mode) ? 'c' : S_ISFIFO(st.st_mode) ? 'p' : S_ISREG(st.st_mode) ? '-' : 'x';
}

} // namespace kestrova::test

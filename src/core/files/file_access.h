#pragma once
// Opening paths that may not be files. Readers take only regular files (a map name linked to
// /dev/zero would never end, a pipe would never answer), and writers replace only regular
// files: a device or a pipe given as the output is written into, as every Unix tool does, and
// never renamed over.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kestrova {

// Opens path (links followed) for reading when it is a regular file of at most maxBytes,
// without waiting on the open. Empty on success, else the reason in a few words.
QString OpenRegularFile(const QString& path, qint64 maxBytes, QFile& file);
// The whole file through OpenRegularFile, reading no more than maxBytes whatever its size
// claims. Empty on success, else the reason.
QString ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes);

// What a writer finds at a path (links followed).
enum class WriteTarget {
    Replace, // nothing there, or a regular file: written beside and renamed over
    Stream,  // a character device, a pipe, or a file behind /dev/stdout: written into
    Refused, // a folder, a socket, a block device, or a path that cannot be looked at
};
WriteTarget ClassifyWriteTarget(const QString& path, QString* reason = nullptr);
#ifndef Q_OS_WIN
// Writes all of bytes to fd, going on after a signal; false with errno set otherwise.
bool WriteAll(int fd, const QByteArray& bytes);
#endif
// Writes a then b into a device or pipe. A pipe nobody reads is refused at once.
bool WriteIntoStream(const QString& path, const QByteArray& a, const QByteArray& b,
                     QString* reason);

// The system's words for an error number ("Permission denied").
QString SystemReason(int error);

// Inside /proc, /sys or /dev (links followed): pseudo files whose reading may never end.
bool IsPseudoFileSystemPath(const QString& path);
// Where a file dialog may start: folder itself, or the home folder instead of a pseudo file
// system; an empty folder means the working folder, under the same rule.
QString SafeDialogFolder(const QString& folder);

} // namespace kestrova

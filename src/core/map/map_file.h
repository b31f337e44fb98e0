#pragma once
// Where map bytes come from: a ".bsp" file, or a ".bsp" inside a ".pk3" archive named as
// "archive.pk3:maps/name.bsp" (the form in which games install their maps).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrova {

// Larger files are refused before anything is read: the largest real maps are a few tens of MB.
inline constexpr qint64 kMaxMapFileSize = 256LL * 1024 * 1024;

// Splits "archive.pk3:inner/path" into its two parts; false for a plain path.
bool SplitArchivePath(const QString& path, QString& archive, QString& entry);

// How the game compares names inside archives: ignoring case, either slash.
QString ArchiveNameKey(const QString& name);
// Why archive cannot be opened as one (missing, a device, a pipe...); empty when it can.
QString ArchiveFileProblem(const QString& archive);

// Reads the whole map. Returns an empty string on success, else what went wrong.
QString ReadMapBytes(const QString& path, QByteArray& bytes);

// The ".bsp" entries of a ".pk3" archive, in archive order, one per name as the game reads it.
QStringList ListArchiveMaps(const QString& archive, QString& error);

} // namespace kestrova

#pragma once
// Whole-file text I/O in one byte per character (Latin-1), as traces and position files use.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

// Files larger than this are not text this program wrote.
constexpr qint64 kMaxTextFileBytes = 16 * 1024 * 1024;

// Splits at CR or LF; a run of CR and LF ends one line, so no empty line results. Each byte
// becomes the character with the same code.
QStringList SplitLines(const QByteArray& bytes);

// The file's lines; nothing when it is missing, empty, too large, holds NUL bytes (binary) or
// yields no line.
std::optional<QStringList> ReadFileLines(const QString& path);

// Replaces the file atomically: a failed write keeps the previous file intact. False when
// nothing could be written.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);

// A file error message with the file it is about on a line of its own.
QString MessageWithFile(const QString& message, const QString& path);

// Latin-1 bytes of a text; characters beyond Latin-1 become "?".
QByteArray ToFileBytes(const QString& text);

} // namespace kestrova

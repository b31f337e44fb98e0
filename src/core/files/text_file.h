#pragma once
// Whole-file text I/O in one byte per character. Traces, scripts, notes and position files come
// from Windows in its Western code page (Windows-1252), so that is how their bytes are read and
// written on every system.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

// Files larger than this are not text this program wrote.
constexpr qint64 kMaxTextFileBytes = 16 * 1024 * 1024;

// Windows-1252 both ways. The five codes that page leaves undefined map to the control
// characters of the same number, as Windows does; a character the page cannot hold becomes "?".
QString FromFileBytes(const char* data, qsizetype size);
inline QString FromFileBytes(const QByteArray& bytes) {
    return FromFileBytes(bytes.constData(), bytes.size());
}
QByteArray ToFileBytes(const QString& text);
void AppendFileBytes(QByteArray& out, const QString& text);

// Splits at CR or LF; a run of CR and LF ends one line, so no empty line results.
QStringList SplitLines(const QByteArray& bytes);
// Splits keeping empty lines: CR LF, a lone CR or a lone LF each end one line. A file that ends
// with a line break ends with an empty line, so joining the lines with CR LF gives the text back.
QStringList SplitLinesKeepEmpty(const QByteArray& bytes);

// The file's bytes; nothing when it is missing, not a regular file, empty, too large or holds
// NUL bytes (binary). reason, when given, receives the system's words for a failed read.
std::optional<QByteArray> ReadTextFileBytes(const QString& path, QString* reason = nullptr);
// The file's lines (SplitLines); nothing when ReadTextFileBytes fails or no line results.
std::optional<QStringList> ReadFileLines(const QString& path);

// Replaces the file atomically and durably (flushed to disk before the rename): a failed write
// keeps the previous file intact. A device or a pipe is written into instead (see
// file_access.h). False when nothing could be written; reason then says why, in the system's
// words ("Permission denied").
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr);
// Replaces files atomically through a temporary name, without waiting for the disk: for files
// that can be made again at any time (the camera scripts, hundreds of them in one folder). Each
// new text is written into a spare file that then trades places with the old one in one step,
// so the old file's inode becomes the next spare instead of being freed and made anew.
class FileReplacer {
public:
    FileReplacer() = default;
    ~FileReplacer(); // removes the spare
    FileReplacer(const FileReplacer&) = delete;
    FileReplacer& operator=(const FileReplacer&) = delete;

    bool Replace(const QString& path, const QByteArray& a, const QByteArray& b = {});
    // Why the last Replace failed, in the system's words.
    const QString& LastError() const { return error_; }

private:
    QString spare_; // beside the last file replaced; holds that file's former text
    QString error_;
};

// A file error message with the file it is about on a line of its own.
QString MessageWithFile(const QString& message, const QString& path);
// The message with the reason (the system's words) on a line of its own, when there is one.
QString WithReason(const QString& message, const QString& reason);

} // namespace kestrova

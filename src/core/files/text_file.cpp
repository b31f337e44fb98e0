#include "core/files/text_file.h"

#include <QDir>

#include <QFile>
#include <QSaveFile>

namespace kestrova {

QStringList SplitLines(const QByteArray& bytes) {
    QStringList lines;
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (i > start)
            lines.append(QString::fromLatin1(bytes.constData() + start, i - start));
        start = i + 1;
    }
    return lines;
}

std::optional<QStringList> ReadFileLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = f.size();
    if (size < 1 || size > kMaxTextFileBytes)
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    if (bytes.isEmpty() || bytes.contains('\0'))
        return std::nullopt;
    QStringList lines = SplitLines(bytes);
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

QByteArray ToFileBytes(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?');
    return out;
}

QString MessageWithFile(const QString& message, const QString& path) {
    return message + QStringLiteral("\n") + QDir::toNativeSeparators(path);
}

} // namespace kestrova

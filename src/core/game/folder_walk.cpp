#include "core/game/folder_walk.h"

#include "core/settings/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace kestrova {

namespace {
constexpr int kTooDeep = 542;
constexpr int kTooMany = 543;
} // namespace

bool FolderWalk::Enter(const QString& folder, int depth) {
    if (stopped_)
        return false;
    if (depth > kMaxDepth) {
        if (!deep_)
            notices_ << fStr(kTooDeep, QDir::toNativeSeparators(folder),
                             QString::number(kMaxDepth));
        deep_ = true;
        return false;
    }
#ifdef Q_OS_WIN
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    const std::pair<quint64, quint64> id{qHash(canonical.toLower()), 0};
#else
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    const std::pair<quint64, quint64> id{static_cast<quint64>(st.st_dev),
                                         static_cast<quint64>(st.st_ino)};
#endif
    if (seen_.contains(id))
        return false;
    seen_.insert(id);
    return true;
}

bool FolderWalk::Count() {
    if (stopped_)
        return false;
    if (++entries_ > kMaxEntries) {
        stopped_ = true;
        notices_ << fStr(kTooMany, QString::number(kMaxEntries));
        return false;
    }
    return true;
}

} // namespace kestrova

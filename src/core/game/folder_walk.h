#pragma once
// Bounds of every walk through the user's folders (demos, scripts, home folders): each real
// folder is visited once whatever the links leading to it, the depth and the number of entries
// are bounded, and a walk that hits a bound says so.

#include <QSet>
#include <QString>
#include <QStringList>
#include <utility>

namespace kestrova {

class FolderWalk {
public:
    static constexpr int kMaxDepth = 32;
    static constexpr int kMaxEntries = 100000;

    // True the first time this real folder (device and inode) is reached within the depth bound.
    bool Enter(const QString& folder, int depth);
    // Counts one entry; false once the entries bound is reached (the walk then stops).
    bool Count();
    bool Stopped() const { return stopped_; }
    // What the walk had to leave out, for the user; empty when it read everything.
    const QStringList& Notices() const { return notices_; }

private:
    QSet<std::pair<quint64, quint64>> seen_;
    int entries_ = 0;
    bool deep_ = false;
    bool stopped_ = false;
    QStringList notices_;
};

} // namespace kestrova

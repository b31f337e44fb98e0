#include "core/files/cam_file.h"

#include "core/path/build_path.h"
#include "core/path/point_count.h"

#include <QList>
#include <array>
#include <charconv>
#include <cmath>

namespace kestrova {
namespace {

constexpr char kMagic[] = "advancedfx Cam";
constexpr double kMaxCamValue = 1e6;
constexpr char kChannels[] =
    "channels time xPosition yPosition zPosition xRotation yRotation zRotation fov";

void AppendFixed6(QByteArray& out, double v) {
    // Six decimals as the format's own writer prints them, without a "-0.000000".
    if (std::fabs(v) < 5e-7)
        v = 0.0;
    std::array<char, 64> buf{};
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, 6);
    out.append(buf.data(), r.ptr - buf.data());
}

// Channel names a data line is read by; "zPositon" is how some writers spell the third one.
enum CamChannel { kTime, kX, kY, kZ, kXRot, kYRot, kZRot, kFov, kCamChannelCount };
int ChannelIndex(QByteArrayView name) {
    static const char* const names[] = {"time",      "xPosition", "yPosition", "zPosition",
                                        "xRotation", "yRotation", "zRotation", "fov"};
    for (int i = 0; i < kCamChannelCount; ++i)
        if (name == names[i])
            return i;
    return name == "zPositon" ? kZ : -1;
}

QString AtLine(int line, const QString& what) {
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

double WidenFov(double fov, double aspect) {
    // The 4:3 fov's half-angle tangent scaled by the real picture's width over a 4:3 one.
    constexpr double kDeg = 3.14159265358979323846 / 180.0;
    const double ratio = aspect / (4.0 / 3.0);
    return 2.0 * std::atan(ratio * std::tan(0.5 * fov * kDeg)) / kDeg;
}

} // namespace

QByteArray CamFileText(const std::vector<PointRecord>& path, int32_t frameRate) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(path.size()) * 96 + 128);
    out += kMagic;
    out += "\nversion 2\n";
    out += kChannels;
    out += "\nDATA\n";
    const double rate = frameRate > 0 ? frameRate : 1;
    for (size_t i = 0; i < path.size(); ++i) {
        const PointRecord& p = path[i];
        AppendFixed6(out, static_cast<double>(i) / rate);
        for (const float v : {p.x, p.y, p.z, p.roll, p.pitch, p.yaw, p.fov}) {
            out += ' ';
            AppendFixed6(out, v);
        }
        out += '\n';
    }
    return out;
}

QByteArray TraceCamFileText(const Trace& trace, UniformRandom& rng, int32_t* effectivePoints,
                            QString* problem) {
    const int n = trace.ControlCount();
    if (n < 2)
        return {};
    // The builder refreshes phantoms and wiggle intervals: work on a copy.
    PointTables tables = trace.points;
    int32_t setting = trace.counts.pointCount;
    if (setting > kMaxPathPoints)
        setting = FindFeasiblePointCount(setting, n);
    std::vector<PointRecord> path;
    int32_t count = -1;
    int32_t upper = -1;
    BuildPath(tables, setting, path, false, count, upper, rng);
    if (const auto fault = FindNonFinitePathValue(path)) {
        if (problem)
            *problem = NonFinitePathMessage(*fault);
        return {};
    }
    path.resize(static_cast<size_t>(upper + 1));
    if (effectivePoints)
        *effectivePoints = upper + 1;
    return CamFileText(path, trace.counts.frameRate);
}

QString ReadCamFile(const QByteArray& bytes, std::vector<CamFrame>& frames, double aspect) {
    frames.clear();
    QList<QByteArrayView> lines;
    for (qsizetype start = 0; start <= bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        start = end + 1;
    }
    if (lines.isEmpty() || lines[0].trimmed() != kMagic)
        return AtLine(1, QStringLiteral("this is not an \"advancedfx Cam\" file"));

    int version = 0;
    bool scaleFov = false;
    std::array<int, kCamChannelCount> column;
    column.fill(-1);
    int columns = 0;
    int channelsLine = 0;
    qsizetype i = 1;
    for (; i < lines.size(); ++i) {
        const int lineNo = int(i) + 1;
        const QList<QByteArray> words = lines[i].toByteArray().simplified().split(' ');
        const QByteArray& verb = words[0];
        if (verb == "DATA")
            break;
        if (verb == "version") {
            version = words.size() == 2 ? words[1].toInt() : 0;
            if (version != 1 && version != 2)
                return AtLine(lineNo, QStringLiteral("unknown version \"%1\" (versions 1 and 2 "
                                                     "are read)")
                                          .arg(QString::fromLatin1(words.mid(1).join(' '))));
        } else if (verb == "scaleFov") {
            const QByteArray value = words.value(1);
            if (value != "none" && value != "alienSwarm")
                return AtLine(
                    lineNo,
                    QStringLiteral("unknown scaleFov \"%1\"").arg(QString::fromLatin1(value)));
            scaleFov = value == "none";
        } else if (verb == "channels") {
            channelsLine = lineNo;
            columns = int(words.size()) - 1;
            for (int w = 1; w < words.size(); ++w) {
                const int c = ChannelIndex(words[w]);
                if (c >= 0 && column[c] < 0)
                    column[c] = w - 1;
            }
            static const char* const needed[] = {"time",      "xPosition", "yPosition", "zPosition",
                                                 "xRotation", "yRotation", "zRotation", "fov"};
            for (int c = 0; c < kCamChannelCount; ++c)
                if (column[c] < 0)
                    return AtLine(
                        lineNo,
                        QStringLiteral("the channels line lacks %1").arg(QLatin1String(needed[c])));
        }
    }
    if (version == 0)
        return QStringLiteral("the header has no version line");
    if (channelsLine == 0)
        return QStringLiteral("the header has no channels line");
    if (i >= lines.size())
        return QStringLiteral("the header has no DATA line");
    // Version 2 always holds the real fov; the scaleFov line belongs to version 1.
    scaleFov = scaleFov && version == 1;

    for (++i; i < lines.size(); ++i) {
        const int lineNo = int(i) + 1;
        const QByteArray text = lines[i].toByteArray().simplified();
        if (text.isEmpty())
            continue;
        const QList<QByteArray> words = text.split(' ');
        if (words.size() != columns)
            return AtLine(lineNo, QStringLiteral("%1 values where the channels line names %2")
                                      .arg(words.size())
                                      .arg(columns));
        if (frames.size() >= size_t(kMaxCamFrames))
            return AtLine(lineNo, QStringLiteral("more than %1 frames; a path holds at most %1 "
                                                 "points")
                                      .arg(kMaxCamFrames));
        std::array<double, kCamChannelCount> v{};
        for (int c = 0; c < kCamChannelCount; ++c) {
            const QByteArray& w = words[column[c]];
            double d = 0;
            const auto r = std::from_chars(w.constData(), w.constData() + w.size(), d);
            if (r.ec != std::errc() || r.ptr != w.constData() + w.size() || !std::isfinite(d))
                return AtLine(
                    lineNo,
                    QStringLiteral("\"%1\" is not a finite number").arg(QString::fromLatin1(w)));
            // Far beyond any map (worlds end at 25000 units): the fit would leave the float range.
            if (std::fabs(d) > kMaxCamValue)
                return AtLine(lineNo, QStringLiteral("%1 is out of range (at most %2 either way)")
                                          .arg(QString::fromLatin1(w))
                                          .arg(kMaxCamValue, 0, 'f', 0));
            v[c] = d;
        }
        if (!frames.empty() && v[kTime] <= frames.back().time)
            return AtLine(lineNo, QStringLiteral("the time %1 does not follow the previous "
                                                 "frame's")
                                      .arg(QString::fromLatin1(words[column[kTime]])));
        CamFrame f;
        f.time = v[kTime];
        f.x = v[kX];
        f.y = v[kY];
        f.z = v[kZ];
        f.roll = v[kXRot];
        f.pitch = v[kYRot];
        f.yaw = v[kZRot];
        f.fov = scaleFov ? WidenFov(v[kFov], aspect) : v[kFov];
        frames.push_back(f);
    }
    if (frames.size() < 2)
        return QStringLiteral("the file holds fewer than two frames");
    return {};
}

} // namespace kestrova

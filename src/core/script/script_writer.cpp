#include "core/script/script_writer.h"

#include "core/game/console_names.h"

#include "core/files/text_file.h"
#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/script/bind_keys.h"
#include "core/script/camera_modes.h"
#include "core/script/script_pause.h"
#include "core/settings/language.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace kestrova {

namespace {

constexpr char kCrLf[] = "\r\n";

void AppendText(QByteArray& out, const QString& s) {
    AppendFileBytes(out, s);
}

// The text after the first backslash of a chosen command entry, or nothing for no entry.
QString CommandScript(const QString& entry) {
    const qsizetype slash = entry.indexOf(QLatin1Char('\\'));
    return slash < 0 ? QString() : entry.mid(slash + 1);
}

// Widest number: a float's range in hundredths, sign and point, with room to spare.
constexpr int kNumberRoom = 64;
// A point line: the segment message and nine numbers around short fixed texts.
constexpr int kLineRoom = 1024;
constexpr int kFilesWrittenOne = 294;
constexpr int kFilesWrittenMany = 295;

char* Put(char* q, const char* text) {
    while (*text)
        *q++ = *text++;
    return q;
}

char* Put(char* q, const QByteArray& text) {
    std::memcpy(q, text.constData(), static_cast<size_t>(text.size()));
    return q + text.size();
}

char* PutInteger(char* q, int64_t v) {
    const auto r = std::to_chars(q, q + 24, v);
    return r.ptr;
}

// Two decimals with "." whatever the locale; zero never carries a sign.
char* PutScriptNumber(char* q, double v) {
    const double r = std::round(v * 100.0);
    if (r == 0.0 || !std::isfinite(r))
        return Put(q, "0.00");
    // Whole hundredths print exactly; far beyond map units the shared form takes over (a
    // float's range fits the room).
    if (std::fabs(r) >= 1e15) {
        const QByteArray s = FormatScriptNumber(v).toLatin1().left(kNumberRoom - 1);
        return Put(q, s);
    }
    uint64_t u = static_cast<uint64_t>(std::fabs(r));
    char rev[24];
    int n = 0;
    rev[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
    rev[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
    rev[n++] = '.';
    do {
        rev[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    if (r < 0)
        *q++ = '-';
    while (n)
        *q++ = rev[--n];
    return q;
}

struct PositionText {
    QByteArray prefix, suffix;
};

const std::array<PositionText, kGameCount>& PositionTexts() {
    static const std::array<PositionText, kGameCount> texts = [] {
        std::array<PositionText, kGameCount> t;
        for (int g = 0; g < kGameCount; ++g)
            t[g] = {Profile(g).positionPrefix.toLatin1(), Profile(g).positionSuffix.toLatin1()};
        return t;
    }();
    return texts;
}

QString ThreeDigits(int i) {
    return QString::number(i).rightJustified(3, QLatin1Char('0')).right(3);
}

// Adds a piece to the chain, opening the next file when the current one would grow too long.
void AppendChained(std::vector<QByteArray>& scripts, const QByteArray& piece) {
    if (scripts.back().size() + piece.size() > kMaxScriptChars)
        scripts.emplace_back();
    scripts.back().append(piece);
}

// Scripts are made again from the trace at will: replaced atomically, without waiting for the
// disk on each of the hundreds of files a chain can have.
bool SaveScript(FileReplacer& files, const QString& path, const QByteArray& a,
                const QByteArray& b = {}) {
    return files.Replace(path, a, b);
}

// The chained files of an earlier run: base name + three digits + ".cfg", the only names a chain
// has (a wider pattern would take the user's own "camera.cfg" for "cam.cfg"). Those this run
// writes again are left for their atomic replacement, so a failed write keeps the old file.
void DeleteEarlierChain(const ScriptLocation& location, int firstNumbered, int last) {
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const QString ext = QStringLiteral(".cfg");
    const qsizetype baseSize = location.baseName.size();
    QDir dir(location.folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() != baseSize + 3 + ext.size() || !name.startsWith(location.baseName, cs) ||
            !name.endsWith(ext, cs))
            continue;
        const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
        if (!isDigit(name.at(baseSize)) || !isDigit(name.at(baseSize + 1)) ||
            !isDigit(name.at(baseSize + 2)))
            continue;
        const int number = name.mid(baseSize, 3).toInt();
        if (number < firstNumbered || number > last)
            QFile::remove(dir.filePath(name));
    }
}

} // namespace

void AppendScriptNumber(QByteArray& out, double v) {
    if (std::fabs(v) >= 1e13) {
        out.append(FormatScriptNumber(v).toLatin1());
        return;
    }
    char buf[kNumberRoom];
    out.append(buf, PutScriptNumber(buf, v) - buf);
}

ScriptLineOptions LineOptionsOf(const Trace& trace, int game) {
    ScriptLineOptions o;
    o.game = game == kGameDefrag ? kGameDefrag : kGameEtPro;
    o.lookPlayer = IsLookPlayer(trace.script.cameraMode);
    o.includeFov = trace.script.includeFov;
    o.includeTs = trace.script.includeTs;
    o.includeMsg = trace.script.includeMsg;
    o.transSpeed = CountFromText(trace.counts.transSpeedText);
    return o;
}

void AppendScriptLine(QByteArray& out, const PointRecord& p, bool newSegment,
                      const ScriptLineOptions& o) {
    const int game = o.game == kGameDefrag ? kGameDefrag : kGameEtPro;
    const PositionText& pos = PositionTexts()[game];
    // Built in one buffer and appended once: this runs for every frame of the path.
    char buf[kLineRoom];
    char* q = buf;
    if (newSegment && o.includeMsg) {
        q = Put(q, "Echo \"^2seg: ");
        q = PutInteger(q, p.segment);
        q = Put(q, " - ");
        q = PutInteger(q, static_cast<int64_t>(p.segment) + 1);
        q = Put(q, "\"\r\n");
    }
    q = Put(q, "wait;");
    if (o.includeFov) {
        q = Put(q, "cg_fov ");
        q = PutScriptNumber(q, RoundTo2(p.fov));
        *q++ = ';';
    }
    if (o.includeTs) {
        const double ts = RoundTo2(p.ts);
        q = Put(q, "timescale ");
        q = PutScriptNumber(q, ts);
        *q++ = ';';
        if (game == kGameDefrag) {
            // The camera keeps its speed in slow or fast motion.
            q = Put(q, "df_demos_CameraTransitionSpeed ");
            q = PutScriptNumber(q, o.transSpeed / ts);
            *q++ = ';';
        }
    }
    if (o.includeFov || o.includeTs)
        q = Put(q, "wait;");
    q = Put(q, pos.prefix);
    q = PutScriptNumber(q, p.x);
    *q++ = ' ';
    q = PutScriptNumber(q, p.y);
    *q++ = ' ';
    q = PutScriptNumber(q, p.z);
    // ET Pro's player tracking sets the angles itself.
    if (!(game == kGameEtPro && o.lookPlayer)) {
        *q++ = ' ';
        q = PutScriptNumber(q, p.pitch);
        *q++ = ' ';
        q = PutScriptNumber(q, p.yaw);
        *q++ = ' ';
        q = PutScriptNumber(q, p.roll);
    }
    q = Put(q, pos.suffix);
    q = Put(q, "\r\n");
    out.append(buf, q - buf);
}

QByteArray ScriptHeader(const Trace& trace, int game, const PointRecord& first) {
    const ScriptRunOptions& s = trace.script;
    QByteArray h;
    // A comment for whoever opens the file; the game ignores it.
    h.append("// Kestrova 3D ");
    AppendText(h, fStrEx(kVersionStringId, kLanguageEnglish));
    h.append(kCrLf);
    if (s.includeMsg)
        h.append("Echo \"^2*** Start ***\"\r\n");
    if (game == kGameDefrag) {
        h.append("set df_demos_CameraMode ");
        h.append(QByteArray::number(s.cameraMode + 4));
        h.append(kCrLf);
        h.append("set df_mp_TrackPlayerNum ");
        h.append(QByteArray::number(s.player));
        h.append(kCrLf);
        h.append("set df_demos_CameraTransitionSpeed ");
        h.append(QByteArray::number(CountFromText(trace.counts.transSpeedText)));
        h.append(kCrLf);
        h.append("set saveposname pos\r\n");
    } else {
        h.append("Developer 1\r\n");
        if (IsLookPlayer(s.cameraMode)) {
            h.append("b_Demo_LookAt ");
            h.append(QByteArray::number(s.player)); // the player item's text is its number
            h.append(kCrLf);
        }
    }
    if (s.includeFov) {
        h.append("cg_Fov ");
        AppendScriptNumber(h, first.fov);
        h.append(kCrLf);
    }
    if (s.includeTs) {
        h.append("Timescale ");
        AppendScriptNumber(h, first.ts);
        h.append(kCrLf);
    }
    h.append(kCrLf);
    return h;
}

QByteArray ScriptTail(const ScriptRunOptions& options) {
    QByteArray t;
    const QString after = CommandScript(options.commandsAfter);
    if (!after.isEmpty()) {
        t.append("\r\nexec ");
        AppendText(t, GameArgument(after));
        t.append("\r\n\r\n");
    }
    if (options.includeMsg)
        t.append("Echo \"^2*** End ***\"\r\n");
    return t;
}

QByteArray FirstPositionScript(const PointRecord& first, int game) {
    const GameProfile& profile = Profile(game);
    QByteArray f;
    if (game == kGameDefrag)
        f.append("set df_demos_CameraMode 4; set df_demos_CameraTransitionSpeed 0; "
                 "set saveposname pos\r\n");
    AppendText(f, profile.positionPrefix);
    const float values[6] = {first.x, first.y, first.z, first.pitch, first.yaw, first.roll};
    for (int i = 0; i < 6; ++i) {
        if (i)
            f.append(' ');
        AppendScriptNumber(f, values[i]);
    }
    AppendText(f, profile.positionSuffix);
    f.append("\r\nset cg_fov ");
    AppendScriptNumber(f, first.fov);
    return f;
}

CameraScript GenerateCameraScript(Trace& trace, int game, UniformRandom& rng) {
    CameraScript script;
    if (trace.ControlCount() < 2)
        return script;
    game = game == kGameDefrag ? kGameDefrag : kGameEtPro;
    const ScriptLineOptions options = LineOptionsOf(trace, game);

    QElapsedTimer timer;
    timer.start();

    // A count from outside (a file, a typed text) never makes an unbounded path.
    int32_t setting = trace.counts.pointCount;
    if (setting > kMaxPathPoints)
        setting = FindFeasiblePointCount(setting, trace.ControlCount());
    std::vector<PointRecord> path;
    int32_t count = -1;
    int32_t upper = -1;
    BuildPath(trace.points, setting, path, false, count, upper, rng);
    const int32_t n = upper + 1;
    if (n <= 0)
        return script;
    if (const auto fault = FindNonFinitePathValue(path)) {
        script.problem = NonFinitePathMessage(*fault);
        return script;
    }

    script.header = ScriptHeader(trace, game, path[0]);
    script.startFile = game == kGameEtPro && trace.script.autoStartEnabled;
    script.scripts.emplace_back();
    script.scripts.reserve(static_cast<size_t>(n) / 64 + 2);
    QByteArray& first = script.scripts.back();
    first.reserve(kMaxScriptChars + kLineRoom + script.header.size());
    if (!script.startFile)
        first.append(script.header);
    const QString before = CommandScript(trace.script.commandsBefore);
    if (!before.isEmpty()) {
        first.append("exec ");
        AppendText(first, GameArgument(before));
        first.append(kCrLf);
    }

    for (int32_t k = 0; k < n; ++k) {
        const bool newSegment = k == 0 || path[k].segment != path[k - 1].segment;
        // Appended in place; a line that overflows the file moves on to the next one.
        QByteArray* current = &script.scripts.back();
        const qsizetype before = current->size();
        AppendScriptLine(*current, path[k], newSegment, options);
        if (current->size() > kMaxScriptChars) {
            QByteArray next;
            next.reserve(kMaxScriptChars + kLineRoom);
            next.append(current->constData() + before, current->size() - before);
            current->truncate(before);
            script.scripts.push_back(std::move(next));
        }
    }
    script.elapsedMs = timer.elapsed();
    script.pointCount = n;

    AppendChained(script.scripts, ScriptTail(trace.script));
    script.firstPosition = FirstPositionScript(path[0], game);
    return script;
}

QString ChainFileName(const ScriptLocation& location, int index, bool startFile) {
    if (index == 0 && !startFile)
        return location.folder + location.baseName + QStringLiteral(".cfg");
    return location.folder + location.baseName + ThreeDigits(index) + QStringLiteral(".cfg");
}

QByteArray ChainText(const ScriptLocation& location, const ScriptRunOptions& options, int index) {
    const int next = index + 1;
    QByteArray c;
    if (options.pauseEnabled && next % PauseInterval(options.pauseEveryText) == 0) {
        // The chain stops here; the resume key runs the next file.
        c.append("wait;bind ");
        AppendText(c, RefreshBindKeyTag(options.bindKeyIndex));
        c.append(" \"Exec ");
    } else {
        c.append("Exec \"");
    }
    AppendText(c, location.relativeFolder + location.baseName + ThreeDigits(next) +
                      QStringLiteral(".cfg"));
    c.append('"');
    return c;
}

QByteArray StartFileText(const CameraScript& script, const ScriptLocation& location,
                         const ScriptRunOptions& options) {
    QByteArray s = script.header;
    s.append("exec_at_time ");
    AppendText(s, options.autoStartMsText);
    s.append(' ');
    AppendText(
        s, GameArgument(location.relativeFolder + location.baseName + QStringLiteral("000.cfg")));
    return s;
}

ScriptWriteResult WriteCameraScript(const CameraScript& script, const ScriptLocation& location,
                                    const ScriptRunOptions& options, Dialogs& dialogs) {
    ScriptWriteResult result;
    result.location = location;
    result.pointCount = script.pointCount;
    result.elapsedMs = script.elapsedMs;
    if (!script.problem.isEmpty()) {
        dialogs.Message(fStr(73), script.problem, MessageIcon::Warning, MessageButtons::Ok);
        result.status = ScriptWriteStatus::Refused;
        return result;
    }
    if (script.scripts.empty())
        return result;
    const int last = static_cast<int>(script.scripts.size()) - 1;
    // Every name the chain types into the game's console; a resume key's bind quotes its
    // command already, so its file name cannot hold a blank either.
    const QString chainName = location.relativeFolder + location.baseName;
    std::optional<QString> refusal = RefuseUnsafeGameNames(
        {chainName, options.commandsBefore, options.commandsAfter}, GameNameUse::Console);
    if (!refusal && options.pauseEnabled && last > 0)
        refusal = RefuseUnsafeGameNames({chainName}, GameNameUse::BindCommand);
    if (refusal) {
        dialogs.Message(fStr(73), *refusal, MessageIcon::Warning, MessageButtons::Ok);
        result.status = ScriptWriteStatus::Refused;
        return result;
    }
    if (last > kMaxChainNumber) {
        dialogs.Message(fStr(73),
                        QStringLiteral("This path needs %1 chained script files; their numbers "
                                       "stop at %2. Lower the number of points.")
                            .arg(last + 1)
                            .arg(kMaxChainNumber),
                        MessageIcon::Warning, MessageButtons::Ok);
        result.status = ScriptWriteStatus::Refused;
        return result;
    }

    const QString firstPos = location.folder + QStringLiteral("1stPos.cfg");
    FileReplacer files;
    if (SaveScript(files, firstPos, script.firstPosition))
        result.files << firstPos;
    DeleteEarlierChain(location, script.startFile ? 0 : 1, last);

    auto askRetry = [&](const QString& file) {
        return dialogs.Message(fStr(73),
                               WithReason(MessageWithFile(fStr(290), file), files.LastError()),
                               MessageIcon::Information, MessageButtons::RetryCancel);
    };

    if (script.startFile) {
        const QString start = location.folder + location.baseName + QStringLiteral(".cfg");
        const QByteArray text = StartFileText(script, location, options);
        while (!SaveScript(files, start, text)) {
            if (askRetry(start) != DialogAnswer::Retry) {
                result.status = ScriptWriteStatus::Cancelled;
                return result;
            }
        }
        result.files << start;
    }

    for (;;) {
        bool failed = false;
        DialogAnswer lastAnswer = DialogAnswer::Cancel;
        for (int i = 0; i <= last; ++i) {
            const QString name = ChainFileName(location, i, script.startFile);
            const QByteArray chain = i < last ? ChainText(location, options, i) : QByteArray();
            if (SaveScript(files, name, script.scripts[static_cast<size_t>(i)], chain)) {
                if (!result.files.contains(name))
                    result.files << name;
            } else {
                failed = true;
                lastAnswer = askRetry(name);
            }
        }
        if (!failed)
            break;
        if (lastAnswer != DialogAnswer::Retry) {
            result.status = ScriptWriteStatus::Failed;
            return result;
        }
    }

    // Where the files went and which one to run, so the user need not look for them.
    QString folder = QDir::toNativeSeparators(location.folder);
    if (folder.size() > 1 &&
        (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    dialogs.TimedInform(fStr(291, FormatLocaleFixed(script.elapsedMs / 1000.0, 1)),
                        fStr(292) + QStringLiteral("\r\n\r\n") +
                            fStrCount(kFilesWrittenOne, kFilesWrittenMany, result.files.size(),
                                      folder, location.baseName + QStringLiteral(".cfg")) +
                            QStringLiteral("\r\n\r\n") + fStr(293) +
                            QString::number(script.pointCount),
                        kSuccessBoxMs);
    result.status = ScriptWriteStatus::Written;
    return result;
}

ScriptWriteResult CreateCameraScript(const QString& savePath, Trace& trace, int game,
                                     Dialogs& dialogs, UniformRandom& rng) {
    ScriptWriteResult result;
    result.location = LocateScript(savePath, game);
    if (trace.ControlCount() < 2)
        return result;
    if (!ConfirmScriptLocation(result.location, game, dialogs)) {
        result.status = ScriptWriteStatus::Declined;
        return result;
    }
    const CameraScript script = GenerateCameraScript(trace, game, rng);
    result = WriteCameraScript(script, result.location, trace.script, dialogs);
    if (result.status == ScriptWriteStatus::Written)
        trace.script.scriptBaseName = result.location.baseName;
    return result;
}

ScriptWriteResult CreateScriptFromDialog(Trace& trace, int game, QString& lastFolder,
                                         Dialogs& dialogs, UniformRandom& rng) {
    const std::optional<QString> path = AskScriptSavePath(trace, game, lastFolder, dialogs);
    if (!path) {
        ScriptWriteResult none;
        none.status = ScriptWriteStatus::NotChosen;
        return none;
    }
    lastFolder = ScriptFolderOf(*path);
    return CreateCameraScript(*path, trace, game, dialogs, rng);
}

} // namespace kestrova

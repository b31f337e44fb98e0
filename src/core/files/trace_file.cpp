#include "core/files/trace_file.h"

#include "core/view/view_state.h"

#include "core/files/text_file.h"
#include "core/model/point_fields.h"
#include "core/model/undo.h"
#include "core/numbers.h"
#include "core/path/point_count.h"
#include "core/settings/language.h"
#include "core/view/view_state.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace kestrova {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr int kKeyWidth = 17;

QString TrimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

QString Bool01(bool b) {
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

// Remainder with the sign of v, as the file's modulo reductions want.
double Reduce(double v, double m) {
    return std::fmod(v, m);
}

bool IsPointLine(const QString& line) {
    const QString head = line.left(3).toLower();
    return head == QLatin1String("ctl") || head == QLatin1String("ref");
}

int PlanOfKey(const QString& key, QString& what) {
    static const char* names[3] = {"xy", "xz", "yz"};
    for (int i = 0; i < 3; ++i) {
        const QString n = QLatin1String(names[i]);
        if (key == QLatin1String("scale_") + n) {
            what = QStringLiteral("scale");
            return i;
        }
        if (key == QLatin1String("pos_") + n + QLatin1Char('1')) {
            what = QStringLiteral("h");
            return i;
        }
        if (key == QLatin1String("pos_") + n + QLatin1Char('2')) {
            what = QStringLiteral("v");
            return i;
        }
    }
    return -1;
}

} // namespace

int CameraModeLast(int game) {
    return game == 1 ? 3 : 1;
}

QString PadKey(const QString& key) {
    return QLatin1Char('\t') + key + QString(std::max<qsizetype>(0, kKeyWidth - key.size()), ' ');
}

QString HeaderKey(const QString& line) {
    const QString t = TrimSpaces(line);
    const qsizetype sp = t.indexOf(QLatin1Char(' '));
    QString key = sp > 0 ? t.left(sp) : t;
    key.remove(QLatin1Char('\t'));
    return TrimSpaces(key).toLower();
}

QString HeaderValue(const QString& line) {
    const QString t = TrimSpaces(line);
    const qsizetype sp = t.indexOf(QLatin1Char(' '));
    if (sp < 0)
        return {};
    return TrimSpaces(t.mid(sp + 1));
}

namespace {

// The regional number form, looked up once per file. Only the decimal separator follows the
// locale, and only when it is plain ASCII: the file's code page cannot hold a Unicode minus or
// another script's digits, and a lost sign or digit would silently change the trace. Reading
// takes the locale's own minus and digits as well, for files written by hand.
class NumberForm {
public:
    NumberForm() : loc_(UserLocale()) {
        const QString point = loc_.decimalPoint();
        point_ = point.size() == 1 && point[0].unicode() < 128 ? char(point[0].unicode()) : '.';
        localPoint_ = point.size() == 1 ? point[0].unicode() : u'.';
        const QString minus = loc_.negativeSign();
        for (QChar ch : minus)
            if (!IsDirectionMark(ch.unicode()))
                localMinus_ = ch.unicode();
        const QString zero = loc_.zeroDigit();
        localZero_ = zero.size() == 1 ? zero[0].unicode() : u'0';
    }

    QString Format(double v) const {
        QByteArray out;
        AppendTo(out, v);
        return QString::fromLatin1(out);
    }

    void AppendTo(QByteArray& out, double v) const {
        if (v == 0.0 || !std::isfinite(v))
            v = 0.0; // no "-0"
        std::array<char, 40> buf{};
        const auto r =
            std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, 7);
        if (point_ != '.')
            std::replace(buf.data(), r.ptr, '.', point_);
        out.append(buf.data(), r.ptr - buf.data());
    }

    // 0 when the text is not a number.
    double Parse(QStringView text, bool* ok = nullptr) const {
        if (ok)
            *ok = true;
        text = text.trimmed();
        std::array<char, 64> buf{};
        qsizetype n = 0;
        bool plain = !text.isEmpty();
        for (qsizetype i = 0; i < text.size() && plain; ++i) {
            const char16_t ch = text[i].unicode();
            char c = 0;
            if (ch >= u'0' && ch <= u'9')
                c = static_cast<char>(ch);
            else if (ch >= localZero_ && ch <= localZero_ + 9)
                c = static_cast<char>('0' + (ch - localZero_));
            else if (ch == static_cast<char16_t>(point_) || ch == localPoint_)
                c = '.';
            else if (ch == u'-' || ch == localMinus_ || ch == u'\u2212')
                c = '-';
            else if (ch == u'e' || ch == u'E')
                c = 'e';
            else if (ch == u'+' && n > 0)
                c = '+';
            else if (IsDirectionMark(ch))
                continue;
            if (c == 0 || n + 1 >= qsizetype(buf.size()))
                plain = false;
            else
                buf[n++] = c;
        }
        if (plain) {
            double v = 0;
            const char* end = buf.data() + n;
            const auto r = std::from_chars(buf.data(), end, v);
            if (r.ec == std::errc() && r.ptr == end && std::isfinite(v))
                return v;
        }
        bool good = false;
        const double v = loc_.toDouble(text, &good);
        if (good && std::isfinite(v))
            return v;
        if (ok)
            *ok = false;
        return 0.0;
    }

private:
    // Marks some locales put around their minus sign.
    static bool IsDirectionMark(char16_t ch) {
        return ch == u'\u200e' || ch == u'\u200f' || ch == u'\u061c';
    }

    QLocale loc_;
    char point_ = '.';
    char16_t localPoint_ = u'.';
    char16_t localMinus_ = u'-';
    char16_t localZero_ = u'0';
};

void ReadPointLineWith(const NumberForm& form, PointTables& t, int kind, int index,
                       const QString& line) {
    const int n = kind == kControl ? kControlFieldCount : kReferenceFieldCount;
    qsizetype pos = 4;
    bool ended = false;
    for (int f = 1; f <= n; ++f) {
        float value = 0;
        if (!ended) {
            const qsizetype j = pos <= line.size() ? line.indexOf(QLatin1Char(';'), pos) : -1;
            if (j < 0) {
                ended = true;
            } else {
                value =
                    static_cast<float>(RoundTo2(form.Parse(QStringView(line).mid(pos, j - pos))));
                if (!std::isfinite(value))
                    value = 0; // beyond float range
                pos = j + 1;
            }
        }
        SetPointField(t, kind, index, f, value);
    }
}

} // namespace

QString FormatTraceFloat(double v) {
    return NumberForm().Format(v);
}

double ParseTraceFloat(QStringView text, bool* ok) {
    return NumberForm().Parse(text, ok);
}

void ReadPointLine(PointTables& t, int kind, int index, const QString& line) {
    ReadPointLineWith(NumberForm(), t, kind, index, line);
}

QByteArray TraceFileText(const TraceFileContents& c) {
    QString s;
    s.reserve(64 * 1024);
    auto put = [&s](const char* key, const QString& value) {
        s += PadKey(QLatin1String(key));
        s += value;
        s += kCrLf;
    };
    const NumberForm form;
    auto putF = [&](const char* key, double v) { put(key, form.Format(v)); };
    auto putI = [&put](const char* key, int64_t v) { put(key, QString::number(v)); };

    s += QStringLiteral("// Kestrova 3D ") + fStr(kVersionStringId) + kCrLf;
    putI("game_mod", c.game);
    putI("active_plan", c.activeView);
    static const char* planKeys[3][3] = {{"scale_xy", "pos_xy1", "pos_xy2"},
                                         {"scale_xz", "pos_xz1", "pos_xz2"},
                                         {"scale_yz", "pos_yz1", "pos_yz2"}};
    for (int i = 0; i < 3; ++i) {
        putI(planKeys[i][0], c.plans[i].zoomIndex);
        putF(planKeys[i][1], c.plans[i].centreH);
        putF(planKeys[i][2], c.plans[i].centreV);
    }
    putF("cam_x", c.camera.tx);
    putF("cam_y", c.camera.ty);
    putF("cam_z", c.camera.tz);
    putF("cam_yaw", c.camera.yaw);
    putF("cam_pitch", c.camera.pitch);
    putF("cam_roll", c.camera.roll);
    putF("cam_fov", c.camera.fov);
    putF("cam_zfar", c.camera.zfar);
    putI("step_idx", c.stepIdx);
    // The counts as the reader will correct them, so that saving what was opened changes nothing.
    const int controls = c.points.count[kControl];
    for (int i = 0; i < 2; ++i)
        put(i == 0 ? "step1" : "step2",
            controls > 1
                ? QString::number(FindFeasiblePointCount(CountFromText(c.stepText[i]), controls))
                : c.stepText[i]);
    put("demo_name", c.demoName);
    put("game_config", c.gameConfig);
    put("scmd_before", c.script.commandsBefore);
    put("scmd_after", c.script.commandsAfter);
    put("bsp_filename", c.mapName);
    put("autostart", Bool01(c.script.autoStartEnabled));
    put("autostart_time", c.script.autoStartMsText);
    put("script_pause", Bool01(c.script.pauseEnabled));
    put("sp_nb", c.script.pauseEveryText);
    putI("sp_bind_key", c.script.bindKeyIndex);
    put("include_fov", Bool01(c.script.includeFov));
    put("include_ts", Bool01(c.script.includeTs));
    put("include_msg", Bool01(c.script.includeMsg));
    putI("camera_mode", c.script.cameraMode);
    putI("cm_player_num", c.script.player);
    putI("demo_goto_min", c.demoMinutes);
    putI("demo_goto_sec", c.demoSeconds);
    putI("demo_forward", c.demoForward);
    put("trans_speed", c.transSpeedText);
    for (const QString& p : c.presetLines)
        put("vpreset", p);
    putI("avi_demo", c.aviDemo);
    QString rates;
    for (int32_t r : c.aviDemos)
        rates += QString::number(r) + QLatin1Char(';');
    put("avi_demos", rates);
    // Only when on, so that a trace without the option is written as it always was.
    if (c.points.constantSpeed)
        put("constant_speed", Bool01(true));
    s += kCrLf;
    QByteArray out = ToFileBytes(s);

    const PointTables& t = c.points;
    out.reserve(out.size() + (t.count[kControl] * 20 + t.count[kReference] * 6) * 12 + 1024);
    for (int kind = 0; kind < 2; ++kind) {
        const int fields = kind == kControl ? kControlFieldCount : kReferenceFieldCount;
        const int count = std::clamp(t.count[kind], 0, kMaxPoints);
        for (int i = 1; i <= count; ++i) {
            out += kind == kControl ? "ctl:" : "ref:";
            for (int f = 1; f <= fields; ++f) {
                form.AppendTo(out, GetPointField(t, kind, i, f));
                out += "; ";
            }
            out += "\r\n";
        }
    }

    QString bare = c.notes;
    bare.remove(kCrLf);
    if (!TrimSpaces(bare).isEmpty()) {
        out += "\r\n";
        out += ToFileBytes(c.notes);
    }
    return out;
}

bool WriteTraceFile(const QString& path, const TraceFileContents& c, QString* reason) {
    return WriteWholeFile(path, TraceFileText(c), reason);
}

void ReadTraceFile(const QStringList& lines, TraceFileContents& c, const TraceReadLimits& limits) {
    // Step 1: defaults and working values.
    c.presetLines.clear();
    c.script.pauseEnabled = false;
    c.script.includeFov = true;
    c.script.includeTs = true;
    c.script.includeMsg = false;
    c.script.commandsBefore.clear();
    c.script.commandsAfter.clear();
    c.gameConfig.clear();
    c.script.cameraMode = 0;
    c.script.player = 0;
    c.script.autoStartEnabled = false;
    c.script.autoStartMsText = QStringLiteral("0");
    c.game = 0;
    c.activeView = 0;
    c.stepText = {QStringLiteral("0"), QStringLiteral("0")};
    c.stepIdx = 0;
    c.mapName.clear();
    c.aviDemo = 0;
    c.aviDemos.clear();
    c.planViewsRead = false;
    c.cameraRead = false;
    int32_t minutes = 0;
    bool constantSpeed = false;
    const NumberForm form;

    // Step 2: header.
    qsizetype li = 0;
    for (; li < lines.size(); ++li) {
        const QString& line = lines[li];
        if (IsPointLine(line))
            break;
        const QString key = HeaderKey(line);
        const QString value = HeaderValue(line);
        const double v = form.Parse(value);
        QString what;
        const int plan = PlanOfKey(key, what);
        if (key.startsWith(QLatin1String("cam_")))
            c.cameraRead = true;
        if (plan >= 0) {
            c.planViewsRead = true;
            PlanView& p = c.plans[plan];
            if (what == QLatin1String("scale"))
                p.zoomIndex = RoundHalfEven(std::clamp<double>(v, kZoomLowest, kZoomHighest));
            else if (what == QLatin1String("h"))
                p.centreH = static_cast<float>(Reduce(v, 25000));
            else
                p.centreV = static_cast<float>(Reduce(v, 25000));
        } else if (key == QLatin1String("game_mod")) {
            const int32_t g = RoundHalfEven(v);
            c.game = g < 0 || g > 1 ? 0 : g;
        } else if (key == QLatin1String("active_plan")) {
            c.activeView = std::clamp(RoundHalfEven(v), 0, 3);
        } else if (key == QLatin1String("cam_x")) {
            c.camera.tx = static_cast<float>(Reduce(v, 25000));
        } else if (key == QLatin1String("cam_y")) {
            c.camera.ty = static_cast<float>(Reduce(v, 25000));
        } else if (key == QLatin1String("cam_z")) {
            c.camera.tz = static_cast<float>(Reduce(v, 25000));
        } else if (key == QLatin1String("cam_yaw")) {
            c.camera.yaw = static_cast<float>(Reduce(v, 360));
        } else if (key == QLatin1String("cam_pitch")) {
            c.camera.pitch = static_cast<float>(std::clamp(Reduce(v, 90), -90.0, 90.0));
        } else if (key == QLatin1String("cam_roll")) {
            c.camera.roll = static_cast<float>(Reduce(v, 360));
        } else if (key == QLatin1String("cam_fov")) {
            c.camera.fov = static_cast<float>(std::clamp(v, 0.1, 179.99));
        } else if (key == QLatin1String("cam_zfar")) {
            c.camera.zfar = v < 100 ? 100.0f : v > 100000 ? 100000.0f : RoundHalfEven(v);
        } else if (key == QLatin1String("step_idx")) {
            const int32_t i = RoundHalfEven(v);
            c.stepIdx = i == 0 || i == 1 ? i : 0;
        } else if (key == QLatin1String("step1") || key == QLatin1String("step2")) {
            c.stepText[key.endsWith(QLatin1Char('2')) ? 1 : 0] = QString::number(RoundHalfEven(v));
        } else if (key == QLatin1String("demo_name")) {
            c.demoName = value;
        } else if (key == QLatin1String("game_config")) {
            c.gameConfig = value;
        } else if (key == QLatin1String("scmd_before")) {
            c.script.commandsBefore = value;
        } else if (key == QLatin1String("scmd_after")) {
            c.script.commandsAfter = value;
        } else if (key == QLatin1String("bsp_filename")) {
            c.mapName = value;
        } else if (key == QLatin1String("autostart")) {
            c.script.autoStartEnabled = v > 0;
        } else if (key == QLatin1String("autostart_time")) {
            const double ms = std::floor(LeadingNumber(value));
            c.script.autoStartMsText = QString::number(static_cast<int64_t>(std::clamp<double>(
                ms, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())));
        } else if (key == QLatin1String("script_pause")) {
            c.script.pauseEnabled = v > 0;
        } else if (key == QLatin1String("sp_nb")) {
            c.script.pauseEveryText = QString::number(RoundHalfEven(v));
        } else if (key == QLatin1String("sp_bind_key")) {
            c.script.bindKeyIndex = std::clamp(RoundHalfEven(v), 0, limits.bindKeyLast);
        } else if (key == QLatin1String("include_fov")) {
            c.script.includeFov = v > 0;
        } else if (key == QLatin1String("include_ts")) {
            c.script.includeTs = v > 0;
        } else if (key == QLatin1String("include_msg")) {
            c.script.includeMsg = v > 0;
        } else if (key == QLatin1String("camera_mode") || key == QLatin1String("df_cam_mode")) {
            c.script.cameraMode = RoundHalfEven(std::fabs(v)); // bounded once the game is known
        } else if (key == QLatin1String("cm_player_num") || key == QLatin1String("df_player_num")) {
            const int32_t p = RoundHalfEven(v);
            c.script.player = p < 0 || p > 63 ? 0 : p;
        } else if (key == QLatin1String("demo_goto_min")) {
            minutes = std::clamp(RoundHalfEven(minutes + v), 0, 999);
            c.demoMinutes = minutes;
        } else if (key == QLatin1String("demo_goto_sec")) {
            int32_t s = std::max(RoundHalfEven(v), 0);
            if (s > 59) {
                minutes = std::min(minutes + s / 60, 999);
                c.demoMinutes = minutes;
                s %= 60;
            }
            c.demoSeconds = s;
        } else if (key == QLatin1String("demo_forward")) {
            c.demoForward = std::clamp(RoundHalfEven(v), 0, 9999);
        } else if (key == QLatin1String("constant_speed")) {
            constantSpeed = v > 0;
        } else if (key == QLatin1String("trans_speed")) {
            c.transSpeedText = QString::number(RoundHalfEven(std::fabs(v)));
        } else if (key == QLatin1String("vpreset")) {
            c.presetLines.append(value);
        } else if (key == QLatin1String("avi_demo")) {
            c.aviDemo = RoundHalfEven(v);
        } else if (key == QLatin1String("avi_demos")) {
            QList<int32_t> rates;
            bool allNumbers = true;
            for (const QString& part : value.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                bool ok = false;
                const double r = form.Parse(part, &ok);
                if (!ok) {
                    allNumbers = false;
                    break;
                }
                rates.append(RoundHalfEven(r));
            }
            if (allNumbers)
                c.aviDemos = rates;
        }
    }
    if (c.script.cameraMode > CameraModeLast(c.game))
        c.script.cameraMode = 0;

    // Steps 3-5: points. A "ctl" line after the first "ref" line is a reference point.
    c.points = PointTables{};
    c.points.constantSpeed = constantSpeed;
    c.droppedControl = 0;
    c.droppedReference = 0;
    int kind = kControl;
    for (; li < lines.size() && IsPointLine(lines[li]); ++li) {
        const QString& line = lines[li];
        if (kind == kControl && line.left(3).toLower() == QLatin1String("ref"))
            kind = kReference;
        int32_t& count = c.points.count[kind];
        if (count >= kMaxPoints) {
            ++(kind == kControl ? c.droppedControl : c.droppedReference);
            continue;
        }
        ++count;
        ReadPointLineWith(form, c.points, kind, count, line);
    }

    // Step 6: notes. The point lines end at the first empty line; everything after it is the
    // notes as typed, whatever its lines start with and with its own empty lines. (Lines that
    // follow the points without that empty line are taken one by one, as hand-made files have.)
    c.notes.clear();
    if (li < lines.size() && lines[li].isEmpty()) {
        c.notes = lines.mid(li + 1).join(kCrLf);
    } else {
        for (; li < lines.size(); ++li)
            if (!lines[li].isEmpty())
                c.notes += lines[li] + kCrLf;
    }
}

std::optional<QStringList> ReadTraceFileLines(const QString& path, QString* reason) {
    const std::optional<QByteArray> bytes = ReadTextFileBytes(path, reason);
    if (!bytes)
        return std::nullopt;
    QStringList lines = SplitLinesKeepEmpty(*bytes);
    const bool any =
        std::any_of(lines.cbegin(), lines.cend(), [](const QString& l) { return !l.isEmpty(); });
    if (!any)
        return std::nullopt;
    return lines;
}

bool LooksLikeTraceFile(const QStringList& lines) {
    static const QStringList known = {
        QStringLiteral("game_mod"),      QStringLiteral("active_plan"),
        QStringLiteral("scale_xy"),      QStringLiteral("pos_xy1"),
        QStringLiteral("cam_x"),         QStringLiteral("cam_fov"),
        QStringLiteral("step_idx"),      QStringLiteral("step1"),
        QStringLiteral("demo_name"),     QStringLiteral("game_config"),
        QStringLiteral("bsp_filename"),  QStringLiteral("include_fov"),
        QStringLiteral("camera_mode"),   QStringLiteral("df_cam_mode"),
        QStringLiteral("trans_speed"),   QStringLiteral("avi_demo"),
        QStringLiteral("demo_goto_min"), QStringLiteral("autostart")};
    for (const QString& line : lines)
        if (IsPointLine(line) || known.contains(HeaderKey(line)))
            return true;
    return false;
}

void KeptTraceExtras::ApplyExtras(const TraceFileContents& c) {
    extras = c;
    // Kept as the editor keeps them, so that writing back gives what a save would: the presets
    // it can apply and the frame rates its list takes, the chosen one included.
    std::array<ViewPreset, kPresetSlots> presets{};
    ApplyViewPresetLines(c.presetLines, presets);
    extras.presetLines = ViewPresetLines(presets);
    extras.aviDemos.clear();
    QList<int32_t> rates = c.aviDemos;
    rates.append(c.aviDemo >= 1 && c.aviDemo <= 100000 ? c.aviDemo : DefaultFrameRate());
    for (int32_t rate : rates)
        if (rate >= 1 && !extras.aviDemos.contains(rate))
            extras.aviDemos.append(rate);
}

void KeptTraceExtras::ResetForNewTrace(bool unloadMap) {
    extras.activeView = 0;
    extras.presetLines.clear();
    if (unloadMap)
        extras.mapName.clear();
    extras.aviDemos.clear();
    extras.aviDemo = DefaultFrameRate();
}

void KeptTraceExtras::StoreExtras(TraceFileContents& c) {
    c.game = extras.game;
    c.activeView = extras.activeView;
    c.plans = extras.plans;
    c.camera = extras.camera;
    c.presetLines = extras.presetLines;
    c.demoName = extras.demoName;
    c.gameConfig = extras.gameConfig;
    c.mapName = extras.mapName;
    c.demoMinutes = extras.demoMinutes;
    c.demoSeconds = extras.demoSeconds;
    c.demoForward = extras.demoForward;
    c.aviDemos = extras.aviDemos;
}

TraceFileContents CaptureTraceFile(const Trace& trace, TraceFileHost& host) {
    TraceFileContents c;
    c.points = trace.points;
    c.stepIdx = trace.counts.activePreset;
    c.stepText = trace.counts.presetText;
    c.script = trace.script;
    c.transSpeedText = trace.counts.transSpeedText;
    c.notes = trace.notes;
    c.aviDemo = trace.counts.frameRate;
    host.StoreExtras(c);
    return c;
}

TraceFileContents CurrentTraceFileValues(const Trace& trace, TraceFileHost& host) {
    return CaptureTraceFile(trace, host);
}

void ApplyTraceFile(TraceFileContents c, Trace& trace, UndoHistory& undo, TraceFileHost& host,
                    Dialogs& dialogs) {
    const QString title = fStr(190);
    host.SwitchToTraceGame(c.game);
    if (!c.demoName.isEmpty() && !host.KnowsDemo(c.demoName)) {
        dialogs.Message(title, fStr(210, c.demoName), MessageIcon::Information, MessageButtons::Ok);
        c.demoName.clear();
    }
    const int dropped = c.droppedControl + c.droppedReference;
    if (dropped > 0)
        dialogs.Message(title, fStr(120) + kCrLf + fStrCount(263, 262, dropped),
                        MessageIcon::Information, MessageButtons::Ok);

    trace.points = c.points;
    trace.notes = c.notes;
    trace.counts.transSpeedText = c.transSpeedText;
    host.ApplyExtras(c);
    // After the game switch, which refills the camera modes and starts them at the first.
    trace.script = c.script;
    trace.counts.frameRate =
        c.aviDemo >= 1 && c.aviDemo <= 100000 ? c.aviDemo : host.DefaultFrameRate();

    const int n = trace.ControlCount();
    for (int i = 0; i < 2; ++i) {
        int32_t v = CountFromText(c.stepText[i]);
        if (n > 1)
            v = FindFeasiblePointCount(v, n);
        trace.counts.presetText[i] = QString::number(v);
    }
    trace.counts.activePreset = c.stepIdx;
    ApplyPointCount(trace);

    ClearUndo(undo, trace);
    undo.pos = 0;
    RecordUndo(undo, trace, true, true);
    trace.modified = false;

    QString bare = trace.notes;
    bare.remove(kCrLf);
    if (!TrimSpaces(bare).isEmpty())
        host.ShowNotes();
}

} // namespace kestrova

#include "core/files/position_import.h"

#include "core/files/file_access.h"
#include "core/files/text_file.h"
#include "core/model/point_fields.h"
#include "core/model/point_table_ops.h"
#include "core/numbers.h"
#include "core/path/point_count.h"
#include "core/path/tangents.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace kestrova {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kEtProPattern = QStringLiteral("*.epcp");
constexpr qint64 kEtProBytes = 50;

// Walks a text field by field; once a separator is missing, that value and all later ones are 0.
class FieldReader {
public:
    FieldReader(const QString& text, qsizetype start) : text_(text), pos_(start) {}

    double Next(QChar separator) {
        if (ended_)
            return 0.0;
        const qsizetype j = pos_ <= text_.size() ? text_.indexOf(separator, pos_) : -1;
        if (j < 0) {
            ended_ = true;
            return 0.0;
        }
        const QString token = text_.mid(pos_, j - pos_);
        pos_ = j + 1;
        const double v = RoundTo2(LeadingNumber(token));
        // Beyond float range reads as no number.
        return std::isfinite(static_cast<float>(v)) ? v : 0.0;
    }
    void Skip(qsizetype n) { pos_ += n; }

private:
    const QString& text_;
    qsizetype pos_;
    bool ended_ = false;
};

void FinishImported(PointRecord& rec) {
    if (rec.fov == 0.0f)
        rec.fov = 90.0f;
    rec.ts = 1.0f;
}

QString ModFolderName(const Document& doc) {
    const QString name = QFileInfo(QDir::cleanPath(doc.modPath[doc.game])).fileName();
    return name.isEmpty() ? Profile(doc.game).modId : name;
}

} // namespace

void ParseEtProPosition(const QString& text, PointRecord& rec) {
    rec = PointRecord{};
    FieldReader r(text, 1);
    rec.x = static_cast<float>(r.Next(QLatin1Char(' ')));
    rec.y = static_cast<float>(r.Next(QLatin1Char(' ')));
    rec.z = static_cast<float>(r.Next(QLatin1Char(')')));
    r.Skip(3);
    rec.yaw = static_cast<float>(r.Next(QLatin1Char('\n')));
    r.Skip(13);
    rec.fov = static_cast<float>(r.Next(QLatin1Char('"')));
    FinishImported(rec);
}

void ParseDefragPosition(const QString& text, PointRecord& rec) {
    rec = PointRecord{};
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        FieldReader r(text, colon + 1);
        const QChar comma = QLatin1Char(',');
        rec.x = static_cast<float>(r.Next(comma));
        rec.y = static_cast<float>(r.Next(comma));
        rec.z = static_cast<float>(r.Next(comma));
        rec.pitch = static_cast<float>(r.Next(comma));
        rec.yaw = static_cast<float>(r.Next(comma));
        r.Next(comma);
        rec.roll = static_cast<float>(r.Next(comma));
        rec.fov = static_cast<float>(r.Next(QLatin1Char('"')));
    }
    FinishImported(rec);
}

ImportTarget AskImportTarget(Document& doc) {
    ImportTarget t;
    const Trace& trace = doc.trace;
    if (trace.ControlCount() < 1 && trace.ReferenceCount() < 1)
        return t;
    const QString title = fStr(230);
    if (trace.ControlCount() >= kMaxPoints) {
        doc.dialogs.Message(title, fStr(120), MessageIcon::Information, MessageButtons::Ok);
        t.proceed = false;
        return t;
    }
    switch (
        doc.dialogs.Message(title, fStr(220), MessageIcon::Question, MessageButtons::YesNoCancel)) {
    case DialogAnswer::Yes:
        if (trace.modified)
            t.proceed = ConfirmDiscard(doc, title);
        break;
    case DialogAnswer::No:
        t.newTrace = false;
        break;
    default:
        t.proceed = false;
        break;
    }
    return t;
}

bool AddImportedPositions(Document& doc, bool newTrace, QStringList positions) {
    const QString title = fStr(230);
    Trace& trace = doc.trace;
    const qsizetype n = positions.size();
    if (!newTrace && trace.ControlCount() + n > kMaxPoints) {
        doc.dialogs.Message(title, fStr(120) + kCrLf + fStr(260), MessageIcon::Information,
                            MessageButtons::Ok);
        return false;
    }
    if (n == 0) {
        doc.dialogs.Message(title, fStr(261), MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    int first = trace.ControlCount() + 1;
    if (newTrace) {
        if (n > kMaxPoints) {
            doc.dialogs.Message(title, fStr(120) + kCrLf + fStrCount(263, 262, n - kMaxPoints),
                                MessageIcon::Information, MessageButtons::Ok);
            positions = positions.mid(0, kMaxPoints);
        }
        trace.modified = false;
        NewTrace(doc, false);
        first = 1;
    } else {
        trace.modified = true;
    }

    PointTables& t = trace.points;
    int index = first - 1;
    for (const QString& p : positions) {
        ++index;
        PointRecord& rec = t.rec[kControl][index];
        if (doc.game == kGameEtPro)
            ParseEtProPosition(p, rec);
        else
            ParseDefragPosition(p, rec);
        // The value rules of typed values apply to what the game saved too (fov 200 -> 179.99).
        for (int f = kFieldX; f <= kFieldTs; ++f)
            SetPointField(t, kControl, index, f, GetPointField(t, kControl, index, f));
    }
    t.count[kControl] = index;
    RefreshPhantoms(t);
    for (int i = first; i <= index; ++i)
        UpdateTangentsAround(t, i);

    if (newTrace) {
        ClearUndo(doc.undo, trace);
        SetWindowTitle(doc, QString());
        trace.notes.clear();
    }
    ApplyPointCount(trace);
    RecordUndo(doc.undo, trace, true, false);
    UpdateCommandStates(doc);
    return true;
}

bool ImportEtProFolder(Document& doc, bool newTrace) {
    const QString title = fStr(230);
    const std::optional<QString> chosen = doc.dialogs.ChooseFolder(
        fStr(240, ModFolderName(doc)), ExistingFolderOrParent(doc.positionFolder[doc.game]));
    if (!chosen)
        return false;
    QDir dir(*chosen);
    if (chosen->isEmpty() || !dir.exists()) {
        doc.dialogs.Message(title, fStr(243), MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    if (!IsPseudoFileSystemPath(*chosen))
        doc.positionFolder[doc.game] = *chosen;
    // Sorted by name so that the points come in a stable order on every file system.
    const QStringList files =
        dir.entryList(QStringList{kEtProPattern}, QDir::Files | QDir::Hidden, QDir::Name);
    if (files.isEmpty()) {
        doc.dialogs.Message(title, fStr(242, kEtProPattern), MessageIcon::Information,
                            MessageButtons::Ok);
        return false;
    }
    QStringList texts;
    for (const QString& name : files) {
        QFile f;
        if (!OpenRegularFile(dir.filePath(name), kMaxTextFileBytes, f).isEmpty())
            continue;
        texts.append(FromFileBytes(f.read(kEtProBytes)));
    }
    if (texts.isEmpty())
        return false;
    if (!AddImportedPositions(doc, newTrace, texts))
        return false;
    if (doc.dialogs.Message(title, fStr(241), MessageIcon::Question, MessageButtons::YesNo) ==
        DialogAnswer::Yes) {
        // Every position file of the folder goes, not only those that were read.
        for (const QString& name :
             dir.entryList(QStringList{kEtProPattern}, QDir::Files | QDir::Hidden))
            doc.moveToTrash(dir.filePath(name));
    }
    return true;
}

bool ImportDefragFile(Document& doc, bool newTrace) {
    const QString title = fStr(230);
    FileDialogRequest r;
    r.title = fStr(250);
    r.filter = QStringLiteral("Defrag Camera Positions (*.dfcp)");
    r.folder = ExistingFolderOrParent(doc.positionFolder[doc.game]);
    const std::optional<QString> path = doc.dialogs.OpenFile(r);
    if (!path || !QFileInfo::exists(*path))
        return false;
    if (!IsPseudoFileSystemPath(*path))
        doc.positionFolder[doc.game] = QFileInfo(*path).absolutePath();
    const std::optional<QStringList> lines = ReadFileLines(*path);
    if (!lines) {
        doc.dialogs.Message(title, MessageWithFile(fStr(200), *path), MessageIcon::Information,
                            MessageButtons::Ok);
        return false;
    }
    if (lines->size() < 2)
        return false;
    return AddImportedPositions(doc, newTrace, lines->mid(1));
}

bool ImportPositions(Document& doc) {
    const ImportTarget target = AskImportTarget(doc);
    if (!target.proceed)
        return false;
    return doc.game == kGameEtPro ? ImportEtProFolder(doc, target.newTrace)
                                  : ImportDefragFile(doc, target.newTrace);
}

} // namespace kestrova

#include "core/files/exchange_export.h"

#include "core/files/compositing_commands.h"
#include "core/files/file_access.h"
#include "core/files/text_file.h"
#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/path/point_count.h"
#include "core/settings/language.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace kestrova {

QByteArray ExchangeFileText(const Trace& trace, int32_t frames, int32_t animRate,
                            UniformRandom& rng, int32_t* effectivePoints, QString* problem) {
    const QString crlf = QStringLiteral("\r\n");
    const QChar sep = QLatin1Char(';');
    QString s;
    s += QStringLiteral("// Kestrova 3D ") + fStr(kVersionStringId) + crlf;
    s += QStringLiteral("param:animRate;") + QString::number(animRate) + crlf;

    // The builder refreshes phantoms and wiggle intervals: work on a copy.
    PointTables tables = trace.points;
    const int n = tables.count[kControl];
    int32_t count = n > 1 ? FindFeasiblePointCount(frames, n) : frames;
    std::vector<PointRecord> path;
    int32_t upper = -1;
    if (n >= 2)
        BuildPath(tables, count, path, false, count, upper, rng);
    else
        upper = -1;
    if (const auto fault = FindNonFinitePathValue(path)) {
        if (problem)
            *problem = NonFinitePathMessage(*fault);
        return {};
    }
    s.reserve(static_cast<qsizetype>(upper + 2) * 64);
    for (int32_t i = 0; i <= upper; ++i) {
        const PointRecord& p = path[static_cast<size_t>(i)];
        s += QStringLiteral("cam:") + FormatScriptNumber(p.x) + sep + FormatScriptNumber(p.y) +
             sep + FormatScriptNumber(p.z) + sep + FormatScriptNumber(p.pitch) + sep +
             FormatScriptNumber(p.yaw) + sep + FormatScriptNumber(p.roll) + sep +
             FormatScriptNumber(RoundTo2(p.fov)) + crlf;
    }
    for (int i = 1; i <= trace.ReferenceCount(); ++i) {
        const PointRecord& r = trace.points.rec[kReference][i];
        s += QStringLiteral("ref:") + FormatScriptNumber(r.x) + sep + FormatScriptNumber(r.y) +
             sep + FormatScriptNumber(r.z) + crlf;
    }
    if (effectivePoints)
        *effectivePoints = upper + 1;
    return ToFileBytes(s);
}

bool WriteExchangeFile(Document& doc, const QString& path, int32_t frames, UniformRandom& rng) {
    QElapsedTimer clock;
    clock.start();
    int32_t effective = 0;
    QString problem;
    const QByteArray text =
        ExchangeFileText(doc.trace, frames, doc.trace.counts.frameRate, rng, &effective, &problem);
    if (!problem.isEmpty()) {
        doc.dialogs.Message(QStringLiteral("Exportation to 3DSMax"), problem, MessageIcon::Warning,
                            MessageButtons::Ok);
        return false;
    }
    QString reason;
    const bool ok = WriteWholeFile(path, text, &reason);
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    if (!ok) {
        doc.dialogs.Message(
            QStringLiteral("Exportation to 3DSMax"),
            WithReason(MessageWithFile(QStringLiteral("Error during the curve exportation."), path),
                       reason),
            MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    doc.dialogs.Message(fStr(292),
                        fStr(291, FormatLocaleFixed(seconds, 1)) + QStringLiteral("\r\n\r\n") +
                            fStr(293) + QLatin1Char(' ') + QString::number(effective),
                        MessageIcon::Information, MessageButtons::Ok);
    return true;
}

std::optional<QString> ChooseExportFile(Document& doc) {
    return ChooseExportFile(doc, ExportFormat::Max3ds);
}

bool ExportTrace(Document& doc, const std::function<std::optional<QString>()>& showExportDialog) {
    const std::optional<QString> framesText = showExportDialog();
    if (!framesText)
        return false;
    const std::optional<QString> path = ChooseExportFile(doc);
    if (!path)
        return false;
    return WriteExchangeFile(doc, *path, CountFromText(*framesText));
}

} // namespace kestrova

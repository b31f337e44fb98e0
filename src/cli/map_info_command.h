#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrova::cli {

// "map-info MAP.bsp" (or "archive.pk3:maps/x.bsp"): one JSON object describing the map.
// Exit code 0, or 2 when the file is not a readable map.
int RunMapInfo(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace kestrova::cli

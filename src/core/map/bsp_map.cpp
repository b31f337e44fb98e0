#include "core/map/bsp_map.h"

#include "core/files/file_access.h"
#include "core/map/bsp_reader.h"
#include "core/map/map_file.h"

#include <QFile>

namespace kestrova {

QString BspMap::Load(const QString& path, int32_t options) {
    *this = BspMap{};
    QString archive;
    QString entry;
    if (!SplitArchivePath(path, archive, entry) || QFile::exists(path)) {
        // A plain file is read through a mapping: no copy of the whole file.
        QFile file;
        if (QString e = OpenRegularFile(path, kMaxMapFileSize, file); !e.isEmpty())
            return QStringLiteral("cannot read %1: %2").arg(path, e);
        if (file.size() > 0) {
            if (const uchar* data = file.map(0, file.size())) {
                const QByteArray view = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                                qsizetype(file.size()));
                return LoadFromBytes(view, options);
            }
        }
    }
    QByteArray bytes;
    if (QString e = ReadMapBytes(path, bytes); !e.isEmpty())
        return e;
    return LoadFromBytes(bytes, options);
}

QString BspMap::LoadFromBytes(const QByteArray& bytes, int32_t options) {
    *this = BspMap{};
    MapGeometry geometry;
    if (QString e = ReadBsp(bytes, options, geometry); !e.isEmpty())
        return e;
    geometry_ = std::move(geometry);
    snapper_ = MapSnapper(geometry_.vertices);
    SolidBrushes brushes;
    brushError_ = ReadSolidBrushes(bytes, brushes);
    clearance_ = std::make_shared<const ClearanceIndex>(std::move(brushes));
    loaded_ = true;
    return {};
}

MapBoundsArray BspMap::GetBounds() const {
    const MapBounds& b = geometry_.bounds;
    return {{{b.min[0], b.max[0]}, {b.min[1], b.max[1]}, {b.min[2], b.max[2]}}};
}

bool BspMap::SnapToMap(float& x, float& y, float& z, int32_t plane, float radius) const {
    if (!loaded_ || plane < 0 || plane > 2)
        return false;
    return snapper_.Snap(x, y, z, static_cast<MapPlane>(plane), radius);
}

} // namespace kestrova

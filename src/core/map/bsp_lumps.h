#pragma once
// The directory of lumps at the head of a ".bsp" file and the little-endian numbers inside it,
// shared by the geometry reader and the brush reader so that both check a lump the same way.

#include <QByteArrayView>
#include <QString>
#include <QtEndian>
#include <cstdint>
#include <cstring>

namespace kestrova::bsp {

enum Lump : int32_t {
    kEntities = 0,
    kShaders = 1,
    kPlanes = 2,
    kModels = 7,
    kBrushes = 8,
    kBrushSides = 9,
    kDrawVerts = 10,
    kDrawIndexes = 11,
    kSurfaces = 13,
    kLumpCount = 17
};

inline constexpr const char* kLumpNames[kLumpCount] = {
    "entities",     "shaders",  "planes",    "nodes",       "leafs",         "leaf surfaces",
    "leaf brushes", "models",   "brushes",   "brush sides", "draw vertices", "draw indices",
    "fogs",         "surfaces", "lightmaps", "light grid",  "visibility"};

inline constexpr qsizetype kShaderSize = 72;
inline constexpr qsizetype kModelSize = 40;

inline int32_t ReadInt(const char* p) {
    return qFromLittleEndian<qint32>(p);
}

inline float ReadFloat(const char* p) {
    const quint32 bits = qFromLittleEndian<quint32>(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

struct LumpView {
    const char* data = nullptr;
    qsizetype length = 0;
};

// Finds a lump from the directory; the caller has checked that the header is whole.
inline QString LocateLump(QByteArrayView file, int32_t lump, LumpView& out) {
    const int32_t offset = ReadInt(file.data() + 8 + lump * 8);
    const int32_t length = ReadInt(file.data() + 12 + lump * 8);
    if (offset < 0 || length < 0 || int64_t(offset) + length > file.size())
        return QStringLiteral("the %1 lump lies outside the file (offset %2, length %3, "
                              "file size %4)")
            .arg(QLatin1String(kLumpNames[lump]))
            .arg(offset)
            .arg(length)
            .arg(file.size());
    out = {file.data() + offset, length};
    return {};
}

inline QString CountRecords(int32_t lump, const LumpView& view, qsizetype recordSize,
                            qsizetype& count) {
    if (view.length % recordSize != 0)
        return QStringLiteral("the %1 lump is %2 bytes long, not a multiple of its record size %3")
            .arg(QLatin1String(kLumpNames[lump]))
            .arg(view.length)
            .arg(recordSize);
    count = view.length / recordSize;
    return {};
}

} // namespace kestrova::bsp

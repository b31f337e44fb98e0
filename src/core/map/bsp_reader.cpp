#include "core/map/bsp_reader.h"

#include "core/map/bsp_lumps.h"
#include "core/map/patch_tessellation.h"
#include "core/map/surface_filter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kestrova {

namespace {

using namespace bsp;

constexpr qsizetype kDrawVertSize = 44;
constexpr qsizetype kSurfaceSize = 104;
constexpr int32_t kMaxPatchSide = 1025;

MapVec3 ReadVec3(const char* p) {
    return {ReadFloat(p), ReadFloat(p + 4), ReadFloat(p + 8)};
}

MapVec3 Sub(const MapVec3& a, const MapVec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

MapVec3 Cross(const MapVec3& a, const MapVec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float Dot(const MapVec3& a, const MapVec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

bool IsFinite(const MapVec3& v) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

class Reader {
public:
    Reader(QByteArrayView file, int32_t options, MapGeometry& out)
        : file_(file), options_(options), out_(out) {}

    QString Run();

private:
    QString ReadHeader();
    QString CheckLump(int32_t lump, qsizetype recordSize, qsizetype& count) const;
    // Which world surfaces are drawn and how; an error when the record cannot be read.
    enum class SurfaceUse { Skip, Indexed, Patch };
    QString ClassifySurface(int32_t index, const char* record, SurfaceUse& use) const;
    // Adds what the surface will expand to, checking its ranges, before anything is expanded.
    QString MeasureSurface(int32_t index);
    QString ReadSurface(int32_t index);
    QString CheckIndexRange(int32_t index, const char* record) const;
    QString CheckPatchShape(int32_t index, const char* record) const;
    std::vector<PatchControlPoint> ReadControls(const char* record) const;
    QString AddIndexedSurface(int32_t index, int32_t shader, BspSurfaceType type,
                              const char* record);
    QString AddPatch(int32_t index, int32_t shader, const char* record);
    QString OverLimit() const;
    // Empty when the surface's vertices lie inside the vertex lump.
    QString CheckVertexRange(int32_t index, int32_t firstVert, int32_t numVerts) const;
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c, const MapVec3& normalHint);
    void FinishSurface(DrawnSurface surface);

    QByteArrayView file_;
    int32_t options_;
    MapGeometry& out_;
    LumpView lumps_[kLumpCount];
    qsizetype vertexCount_ = 0;
    qsizetype indexCount_ = 0;
    qsizetype surfaceCount_ = 0;
    int64_t plannedVertices_ = 0;
    int64_t plannedTriangles_ = 0;
    uint32_t surfaceFirstTriangle_ = 0;
};

QString Reader::ReadHeader() {
    if (file_.size() < kBspHeaderSize)
        return QStringLiteral("the file is too short for a map header (%1 bytes, %2 needed)")
            .arg(file_.size())
            .arg(kBspHeaderSize);
    if (std::memcmp(file_.data(), "IBSP", 4) != 0)
        return QStringLiteral("not an id Tech 3 map: the file does not start with \"IBSP\"");
    out_.version = ReadInt(file_.data() + 4);
    if (out_.version != 46 && out_.version != 47)
        return QStringLiteral("unsupported map version %1 (versions 46 and 47 are read)")
            .arg(out_.version);
    for (int32_t i = 0; i < kLumpCount; ++i)
        if (QString e = LocateLump(file_, i, lumps_[i]); !e.isEmpty())
            return e;
    return {};
}

QString Reader::CheckLump(int32_t lump, qsizetype recordSize, qsizetype& count) const {
    return CountRecords(lump, lumps_[lump], recordSize, count);
}

QString Reader::OverLimit() const {
    if (plannedTriangles_ > kMaxMapTriangles)
        return QStringLiteral("the surfaces describe more than %1 triangles, far more than any "
                              "real map holds")
            .arg(kMaxMapTriangles);
    if (plannedVertices_ > kMaxMapVertices)
        return QStringLiteral("the surfaces describe more than %1 vertices, far more than any "
                              "real map holds")
            .arg(kMaxMapVertices);
    return {};
}

void Reader::AddTriangle(uint32_t a, uint32_t b, uint32_t c, const MapVec3& normalHint) {
    const MapVec3& pa = out_.vertices[a];
    MapVec3 n = Cross(Sub(out_.vertices[b], pa), Sub(out_.vertices[c], pa));
    const float length = std::sqrt(Dot(n, n));
    if (!(length > 1e-4f))
        return; // degenerate: nothing to see, and no direction to shade it by
    n = {n[0] / length, n[1] / length, n[2] / length};
    // The stored vertex normals tell the visible side; the compiler's winding is clockwise.
    const float hint = Dot(n, normalHint);
    if (hint < 0 || (hint == 0 && Dot(normalHint, normalHint) == 0)) {
        n = {-n[0], -n[1], -n[2]};
    }
    out_.indices.insert(out_.indices.end(), {a, b, c});
    out_.triangleNormals.push_back(n);
}

void Reader::FinishSurface(DrawnSurface surface) {
    surface.firstTriangle = surfaceFirstTriangle_;
    surface.triangleCount = out_.TriangleCount() - surfaceFirstTriangle_;
    if (surface.triangleCount == 0)
        return;
    // Outline: the edges that only one triangle of the surface uses.
    std::vector<uint64_t> edges;
    edges.reserve(surface.triangleCount * 3);
    for (uint32_t t = surface.firstTriangle; t < surface.firstTriangle + surface.triangleCount;
         ++t) {
        for (int32_t k = 0; k < 3; ++k) {
            uint32_t a = out_.indices[t * 3 + k];
            uint32_t b = out_.indices[t * 3 + (k + 1) % 3];
            if (a > b)
                std::swap(a, b);
            edges.push_back((uint64_t(a) << 32) | b);
        }
    }
    std::sort(edges.begin(), edges.end());
    surface.firstEdge = static_cast<uint32_t>(out_.outlineEdges.size() / 2);
    for (size_t i = 0; i < edges.size();) {
        size_t j = i + 1;
        while (j < edges.size() && edges[j] == edges[i])
            ++j;
        if (j - i == 1) {
            out_.outlineEdges.push_back(static_cast<uint32_t>(edges[i] >> 32));
            out_.outlineEdges.push_back(static_cast<uint32_t>(edges[i] & 0xffffffffu));
        }
        i = j;
    }
    surface.edgeCount = static_cast<uint32_t>(out_.outlineEdges.size() / 2) - surface.firstEdge;
    out_.surfaces.push_back(surface);
}

QString Reader::CheckVertexRange(int32_t index, int32_t firstVert, int32_t numVerts) const {
    if (firstVert < 0 || numVerts < 0 || int64_t(firstVert) + numVerts > vertexCount_)
        return QStringLiteral("surface %1 uses vertices %2 to %3, but the map has %4")
            .arg(index)
            .arg(firstVert)
            .arg(int64_t(firstVert) + numVerts - 1)
            .arg(vertexCount_);
    return {};
}

QString Reader::CheckIndexRange(int32_t index, const char* record) const {
    const int32_t firstVert = ReadInt(record + 12);
    const int32_t numVerts = ReadInt(record + 16);
    const int32_t firstIndex = ReadInt(record + 20);
    const int32_t numIndexes = ReadInt(record + 24);
    if (QString e = CheckVertexRange(index, firstVert, numVerts); !e.isEmpty())
        return e;
    if (firstIndex < 0 || numIndexes < 0 || int64_t(firstIndex) + numIndexes > indexCount_)
        return QStringLiteral("surface %1 uses indices %2 to %3, but the map has %4")
            .arg(index)
            .arg(firstIndex)
            .arg(int64_t(firstIndex) + numIndexes - 1)
            .arg(indexCount_);
    if (numIndexes % 3 != 0)
        return QStringLiteral("surface %1 has %2 indices, not a whole number of triangles")
            .arg(index)
            .arg(numIndexes);
    return {};
}

QString Reader::AddIndexedSurface(int32_t index, int32_t shader, BspSurfaceType type,
                                  const char* record) {
    const int32_t firstVert = ReadInt(record + 12);
    const int32_t numVerts = ReadInt(record + 16);
    const int32_t firstIndex = ReadInt(record + 20);
    const int32_t numIndexes = ReadInt(record + 24);
    if (QString e = CheckIndexRange(index, record); !e.isEmpty())
        return e;

    const char* verts = lumps_[kDrawVerts].data + qsizetype(firstVert) * kDrawVertSize;
    const char* idx = lumps_[kDrawIndexes].data + qsizetype(firstIndex) * 4;
    for (int32_t k = 0; k < numIndexes; ++k) {
        const int32_t i = ReadInt(idx + k * 4);
        if (i < 0 || i >= numVerts)
            return QStringLiteral("surface %1: index %2 points at vertex %3 of its %4")
                .arg(index)
                .arg(firstIndex + k)
                .arg(i)
                .arg(numVerts);
    }
    const uint32_t base = static_cast<uint32_t>(out_.vertices.size());
    std::vector<MapVec3> normals(numVerts);
    for (int32_t v = 0; v < numVerts; ++v) {
        const MapVec3 p = ReadVec3(verts + v * kDrawVertSize);
        if (!IsFinite(p))
            return QStringLiteral("vertex %1 has a coordinate that is not a finite number")
                .arg(firstVert + v);
        out_.vertices.push_back(p);
        normals[v] = ReadVec3(verts + v * kDrawVertSize + 28);
    }
    surfaceFirstTriangle_ = out_.TriangleCount();
    for (int32_t k = 0; k < numIndexes; k += 3) {
        const int32_t a = ReadInt(idx + k * 4);
        const int32_t b = ReadInt(idx + k * 4 + 4);
        const int32_t c = ReadInt(idx + k * 4 + 8);
        const MapVec3 hint = {normals[a][0] + normals[b][0] + normals[c][0],
                              normals[a][1] + normals[b][1] + normals[c][1],
                              normals[a][2] + normals[b][2] + normals[c][2]};
        AddTriangle(base + a, base + b, base + c, hint);
    }
    FinishSurface({shader, type});
    return {};
}

QString Reader::CheckPatchShape(int32_t index, const char* record) const {
    const int32_t firstVert = ReadInt(record + 12);
    const int32_t numVerts = ReadInt(record + 16);
    const int32_t width = ReadInt(record + 96);
    const int32_t height = ReadInt(record + 100);
    if (QString e = CheckVertexRange(index, firstVert, numVerts); !e.isEmpty())
        return e;
    if (width < 3 || height < 3 || width % 2 == 0 || height % 2 == 0 || width > kMaxPatchSide ||
        height > kMaxPatchSide || int64_t(width) * height != numVerts)
        return QStringLiteral("surface %1 is a patch of %2 x %3 control points with %4 vertices")
            .arg(index)
            .arg(width)
            .arg(height)
            .arg(numVerts);
    return {};
}

std::vector<PatchControlPoint> Reader::ReadControls(const char* record) const {
    const int32_t firstVert = ReadInt(record + 12);
    const int32_t numVerts = ReadInt(record + 16);
    std::vector<PatchControlPoint> controls(numVerts);
    const char* verts = lumps_[kDrawVerts].data + qsizetype(firstVert) * kDrawVertSize;
    for (int32_t v = 0; v < numVerts; ++v) {
        controls[v].position = ReadVec3(verts + v * kDrawVertSize);
        controls[v].normal = ReadVec3(verts + v * kDrawVertSize + 28);
    }
    return controls;
}

QString Reader::AddPatch(int32_t index, int32_t shader, const char* record) {
    const int32_t firstVert = ReadInt(record + 12);
    const int32_t width = ReadInt(record + 96);
    const int32_t height = ReadInt(record + 100);
    if (QString e = CheckPatchShape(index, record); !e.isEmpty())
        return e;
    const std::vector<PatchControlPoint> controls = ReadControls(record);
    for (size_t v = 0; v < controls.size(); ++v) {
        if (!IsFinite(controls[v].position))
            return QStringLiteral("vertex %1 has a coordinate that is not a finite number")
                .arg(firstVert + qsizetype(v));
    }
    const TessellatedPatch grid = TessellatePatch(controls, width, height);
    const uint32_t base = static_cast<uint32_t>(out_.vertices.size());
    out_.vertices.insert(out_.vertices.end(), grid.positions.begin(), grid.positions.end());
    surfaceFirstTriangle_ = out_.TriangleCount();
    auto hintOf = [&](std::initializer_list<int32_t> corners) {
        MapVec3 h{0, 0, 0};
        for (int32_t c : corners) {
            for (int32_t k = 0; k < 3; ++k)
                h[k] += grid.normals[c][k];
        }
        return h;
    };
    for (int32_t r = 0; r + 1 < grid.rows; ++r) {
        for (int32_t c = 0; c + 1 < grid.columns; ++c) {
            const int32_t v00 = r * grid.columns + c;
            const int32_t v01 = v00 + 1;
            const int32_t v10 = v00 + grid.columns;
            const int32_t v11 = v10 + 1;
            AddTriangle(base + v00, base + v10, base + v01, hintOf({v00, v10, v01}));
            AddTriangle(base + v10, base + v11, base + v01, hintOf({v10, v11, v01}));
        }
    }
    FinishSurface({shader, BspSurfaceType::Patch});
    return {};
}

QString Reader::ClassifySurface(int32_t index, const char* record, SurfaceUse& use) const {
    use = SurfaceUse::Skip;
    const int32_t shader = ReadInt(record);
    if (shader < 0 || shader >= qsizetype(out_.shaders.size()))
        return QStringLiteral("surface %1 uses shader %2, but the map has %3")
            .arg(index)
            .arg(shader)
            .arg(out_.shaders.size());
    const BspShader& s = out_.shaders[shader];
    if (!IsVisibleShader(s.name, s.surfaceFlags, s.contentFlags))
        return {};
    switch (ReadInt(record + 8)) {
    case int32_t(BspSurfaceType::Planar):
    case int32_t(BspSurfaceType::TriangleSoup):
        use = SurfaceUse::Indexed;
        break;
    case int32_t(BspSurfaceType::Patch):
        if (options_ & kMapOptionPatches)
            use = SurfaceUse::Patch;
        break;
    default: // flares, foliage and unknown kinds are not drawn
        break;
    }
    return {};
}

QString Reader::MeasureSurface(int32_t index) {
    const char* record = lumps_[kSurfaces].data + qsizetype(index) * kSurfaceSize;
    SurfaceUse use;
    if (QString e = ClassifySurface(index, record, use); !e.isEmpty())
        return e;
    if (use == SurfaceUse::Indexed) {
        if (QString e = CheckIndexRange(index, record); !e.isEmpty())
            return e;
        plannedVertices_ += ReadInt(record + 16);
        plannedTriangles_ += ReadInt(record + 24) / 3;
    } else if (use == SurfaceUse::Patch) {
        if (QString e = CheckPatchShape(index, record); !e.isEmpty())
            return e;
        const int32_t width = ReadInt(record + 96);
        const int32_t height = ReadInt(record + 100);
        // Refused on its smallest size first, so that no more control points are read than
        // the limit can justify.
        plannedVertices_ += MinPatchVertices(width, height);
        if (QString e = OverLimit(); !e.isEmpty())
            return e;
        plannedVertices_ -= MinPatchVertices(width, height);
        const PatchGridSize grid = MeasurePatch(ReadControls(record), width, height);
        plannedVertices_ += int64_t(grid.columns) * grid.rows;
        plannedTriangles_ += 2 * int64_t(grid.columns - 1) * (grid.rows - 1);
    }
    return OverLimit();
}

QString Reader::ReadSurface(int32_t index) {
    const char* record = lumps_[kSurfaces].data + qsizetype(index) * kSurfaceSize;
    SurfaceUse use;
    if (QString e = ClassifySurface(index, record, use); !e.isEmpty())
        return e;
    const int32_t shader = ReadInt(record);
    switch (use) {
    case SurfaceUse::Indexed:
        return AddIndexedSurface(index, shader, BspSurfaceType(ReadInt(record + 8)), record);
    case SurfaceUse::Patch:
        return AddPatch(index, shader, record);
    case SurfaceUse::Skip:
        break;
    }
    ++out_.skippedSurfaces;
    return {};
}

QString Reader::Run() {
    out_ = MapGeometry{};
    if (QString e = ReadHeader(); !e.isEmpty())
        return e;

    const LumpView& entities = lumps_[kEntities];
    const void* nul = std::memchr(entities.data, 0, size_t(entities.length));
    out_.entities = QByteArray(entities.data, nul ? static_cast<const char*>(nul) - entities.data
                                                  : entities.length);

    qsizetype shaderCount = 0;
    qsizetype modelCount = 0;
    for (auto [lump, size, count] : {std::tuple{kShaders, kShaderSize, &shaderCount},
                                     {kModels, kModelSize, &modelCount},
                                     {kDrawVerts, kDrawVertSize, &vertexCount_},
                                     {kDrawIndexes, qsizetype(4), &indexCount_},
                                     {kSurfaces, kSurfaceSize, &surfaceCount_}}) {
        if (QString e = CheckLump(lump, size, *count); !e.isEmpty())
            return e;
    }
    out_.shaders.reserve(shaderCount);
    for (qsizetype i = 0; i < shaderCount; ++i) {
        const char* p = lumps_[kShaders].data + i * kShaderSize;
        out_.shaders.push_back({QByteArray(p, qstrnlen(p, 64)), ReadInt(p + 64), ReadInt(p + 68)});
    }
    if (modelCount == 0)
        return QStringLiteral("the map has no world model");
    const int32_t firstSurface = ReadInt(lumps_[kModels].data + 24);
    const int32_t numSurfaces = ReadInt(lumps_[kModels].data + 28);
    if (firstSurface < 0 || numSurfaces < 0 || int64_t(firstSurface) + numSurfaces > surfaceCount_)
        return QStringLiteral("the world model uses surfaces %1 to %2, but the map has %3")
            .arg(firstSurface)
            .arg(int64_t(firstSurface) + numSurfaces - 1)
            .arg(surfaceCount_);

    // Sizes first: a file refused for its size costs no memory.
    for (int32_t i = firstSurface; i < firstSurface + numSurfaces; ++i) {
        if (QString e = MeasureSurface(i); !e.isEmpty())
            return e;
    }
    out_.vertices.reserve(size_t(plannedVertices_));
    out_.indices.reserve(size_t(plannedTriangles_) * 3);
    out_.triangleNormals.reserve(size_t(plannedTriangles_));
    for (int32_t i = firstSurface; i < firstSurface + numSurfaces; ++i) {
        if (QString e = ReadSurface(i); !e.isEmpty())
            return e;
    }
    if (out_.surfaces.empty())
        return QStringLiteral("the map holds no visible geometry");

    if (!out_.vertices.empty()) {
        MapBounds& b = out_.bounds;
        b.min = b.max = out_.vertices.front();
        for (const MapVec3& v : out_.vertices) {
            for (int32_t k = 0; k < 3; ++k) {
                b.min[k] = std::min(b.min[k], v[k]);
                b.max[k] = std::max(b.max[k], v[k]);
            }
        }
    }
    return {};
}

} // namespace

QString ReadBsp(QByteArrayView data, int32_t options, MapGeometry& out) {
    Reader reader(data, options, out);
    QString error = reader.Run();
    if (!error.isEmpty())
        out = MapGeometry{};
    return error;
}

} // namespace kestrova

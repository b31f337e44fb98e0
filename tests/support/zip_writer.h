#pragma once
// Writes small .pk3 (zip) archives for tests.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <minizip/zip.h>
#include <utility>
#include <vector>

namespace kestrova::test {

using ZipEntries = std::vector<std::pair<QByteArray, QByteArray>>; // inner path, bytes

inline bool WriteZip(const QString& path, const ZipEntries& entries) {
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (const auto& [name, bytes] : entries) {
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip64(zip, name.constData(), &info, nullptr, 0, nullptr, 0,
                                         nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

} // namespace kestrova::test

#include "cursorfile.h"

#include "ui/cursordirectory.h"

#include <QByteArray>
#include <QFile>
#include <QPixmap>
#include <cstdint>
#include <vector>

namespace dwellmark::ui {

namespace {

void putU32(QByteArray& data, qsizetype at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        data[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace

std::optional<CursorImage> readCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) {
        return std::nullopt;
    }
    const qint64 size = file.size();
    if (size < 0 || static_cast<std::uint64_t>(size) > CursorDirectory::maxFileSize) {
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    if (data.size() != size) {
        return std::nullopt;
    }
    const std::vector<unsigned char> bytes(data.begin(), data.end());
    const std::optional<CursorDirectory> cursor = CursorDirectory::read(bytes);
    if (!cursor) {
        return std::nullopt;
    }

    // Qt decodes the picture from a directory of that one image.
    constexpr auto header = static_cast<qsizetype>(CursorDirectory::headerSize);
    constexpr auto entry = static_cast<qsizetype>(CursorDirectory::entrySize);
    QByteArray single = data.left(header + entry);
    single[4] = 1;
    single[5] = 0;
    putU32(single, header + 12, static_cast<std::uint32_t>(header + entry));
    single.append(data.mid(cursor->offset, cursor->bytes));
    QImage image = QImage::fromData(single, "ICO");
    if (image.isNull() || image.width() != cursor->width || image.height() != cursor->height) {
        return std::nullopt;
    }
    return CursorImage{std::move(image), QPoint(cursor->hotspotX, cursor->hotspotY)};
}

std::optional<QCursor> loadCursorFile(const QString& path) {
    std::optional<CursorImage> cursor = readCursorFile(path);
    if (!cursor) {
        return std::nullopt;
    }
    return QCursor(QPixmap::fromImage(cursor->image), cursor->hotspot.x(), cursor->hotspot.y());
}

} // namespace dwellmark::ui

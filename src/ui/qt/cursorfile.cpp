#include "cursorfile.h"

#include <QByteArray>
#include <QFile>
#include <QPixmap>
#include <cstdint>

namespace dwellmark::ui {

namespace {

// A cursor of 256 x 256 in 32-bit colour with its mask takes some 270 KB; a
// file beyond this is not a cursor and is not read into memory.
constexpr qint64 maxFileSize = 1024 * 1024;

constexpr int headerSize = 6;
constexpr int entrySize = 16;
constexpr std::uint16_t cursorType = 2;

std::uint16_t u16(const QByteArray& data, qsizetype at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(data[at]) | static_cast<std::uint8_t>(data[at + 1])
                                                                                << 8);
}

std::uint32_t u32(const QByteArray& data, qsizetype at) {
    return static_cast<std::uint32_t>(u16(data, at)) | static_cast<std::uint32_t>(u16(data, at + 2)) << 16;
}

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
    if (size < headerSize + entrySize || size > maxFileSize) {
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    if (data.size() != size) {
        return std::nullopt;
    }

    const std::uint16_t reserved = u16(data, 0);
    const std::uint16_t type = u16(data, 2);
    const std::uint16_t count = u16(data, 4);
    if (reserved != 0 || type != cursorType || count == 0 || headerSize + qint64{entrySize} * count > size) {
        return std::nullopt;
    }

    // The first image of the directory is the cursor.
    const qsizetype entry = headerSize;
    const int width = static_cast<std::uint8_t>(data[entry]) == 0 ? 256 : static_cast<std::uint8_t>(data[entry]);
    const int height =
        static_cast<std::uint8_t>(data[entry + 1]) == 0 ? 256 : static_cast<std::uint8_t>(data[entry + 1]);
    const QPoint hotspot(u16(data, entry + 4), u16(data, entry + 6));
    const std::uint32_t bytes = u32(data, entry + 8);
    const std::uint32_t offset = u32(data, entry + 12);
    if (bytes == 0 || offset < headerSize + std::uint32_t{entrySize} * count || qint64{offset} + qint64{bytes} > size) {
        return std::nullopt;
    }

    // Qt decodes the picture from a directory of that one image.
    QByteArray single = data.left(headerSize + entrySize);
    single[4] = 1;
    single[5] = 0;
    putU32(single, headerSize + 12, headerSize + entrySize);
    single.append(data.mid(offset, bytes));
    QImage image = QImage::fromData(single, "ICO");
    if (image.isNull() || image.width() != width || image.height() != height || hotspot.x() >= width ||
        hotspot.y() >= height) {
        return std::nullopt;
    }
    return CursorImage{std::move(image), hotspot};
}

std::optional<QCursor> loadCursorFile(const QString& path) {
    std::optional<CursorImage> cursor = readCursorFile(path);
    if (!cursor) {
        return std::nullopt;
    }
    return QCursor(QPixmap::fromImage(cursor->image), cursor->hotspot.x(), cursor->hotspot.y());
}

} // namespace dwellmark::ui

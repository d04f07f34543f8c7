// The pointer file beside the program is read at every start; whatever it
// holds, reading it must end in a cursor or in nothing, never in a crash.
#include "ui/qt/cursorfile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString scratchPath() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/dwellmark-cursor-fuzz-%1.cur").arg(static_cast<qint64>(::getpid()));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Image plugins are found through the application object.
    static QCoreApplication app(*argc, *argv);
    // Made before the exit handler is registered, so that it outlives it.
    (void)scratchPath();
    std::atexit([] { QFile::remove(scratchPath()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QFile file(scratchPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::abort();
    }
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();

    const auto cursor = dwellmark::ui::readCursorFile(scratchPath());
    if (cursor) {
        // What comes back is always a usable pointer picture.
        if (cursor->image.isNull() || cursor->hotspot.x() < 0 || cursor->hotspot.y() < 0 ||
            cursor->hotspot.x() >= cursor->image.width() || cursor->hotspot.y() >= cursor->image.height() ||
            cursor->image.width() > 256 || cursor->image.height() > 256) {
            std::abort();
        }
    }
    return 0;
}

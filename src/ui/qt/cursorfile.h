#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <optional>

namespace dwellmark::ui {

/// The picture and hotspot of a Windows cursor file (.cur).
struct CursorImage {
    QImage image;
    QPoint hotspot;
};

/// Reads a cursor file: its first image, with the hotspot that the file's
/// directory gives for it. Nothing for a file that is not a sane cursor file
/// (empty, truncated, an icon or another image, a directory, a hotspot off the
/// image, or larger than any cursor).
std::optional<CursorImage> readCursorFile(const QString& path);

/// The same file as a pointer for a window.
std::optional<QCursor> loadCursorFile(const QString& path);

} // namespace dwellmark::ui

// Reading the pointer's cursor file: the shipped hand, its hotspot and first image, and what is no cursor.
#include "qtgtest.h"
#include "ui/qt/cursorfile.h"
#include "ui/qt/windowhelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using dwellmark::ui::fileExists;
using dwellmark::ui::readCursorFile;

namespace {

QByteArray shippedCursor() {
    QFile file(QStringLiteral(DWELLMARK_CURSOR_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", DWELLMARK_CURSOR_FILE);
    }
    return file.readAll();
}

void putU16(QByteArray& data, qsizetype at, int value) {
    data[at] = static_cast<char>(value & 0xFF);
    data[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

/// Files in a folder of the test's own.
class CursorFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString write(const QString& name, const QByteArray& data) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(CursorFile, ReadsTheShippedHand) {
    const auto cursor = readCursorFile(QStringLiteral(DWELLMARK_CURSOR_FILE));
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->image.size(), QSize(32, 32));
    EXPECT_EQ(cursor->hotspot, QPoint(6, 0));
    // The fingertip is drawn at the hotspot; the far corner is see-through.
    EXPECT_EQ(qAlpha(cursor->image.pixel(6, 0)), 255);
    EXPECT_EQ(qAlpha(cursor->image.pixel(31, 31)), 0);
    const auto pointer = dwellmark::ui::loadCursorFile(QStringLiteral(DWELLMARK_CURSOR_FILE));
    ASSERT_TRUE(pointer.has_value());
    EXPECT_EQ(pointer->shape(), Qt::BitmapCursor);
    EXPECT_EQ(pointer->hotSpot(), QPoint(6, 0));
}

TEST_F(CursorFile, TakesTheHotspotFromTheDirectory) {
    QByteArray data = shippedCursor();
    putU16(data, 10, 17);
    putU16(data, 12, 29);
    const auto cursor = readCursorFile(write("moved.cur", data));
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotspot, QPoint(17, 29));
}

TEST_F(CursorFile, PicksTheFirstImageOfSeveral) {
    // Two directory entries, the second pointing at the same picture.
    const QByteArray data = shippedCursor();
    QByteArray two = data.left(6);
    putU16(two, 4, 2);
    QByteArray first = data.mid(6, 16);
    putU16(first, 12, 38); // the picture, after the header and both entries
    QByteArray second = first;
    putU16(first, 4, 3);
    putU16(first, 6, 4);
    two += first + second + data.mid(22);
    const auto cursor = readCursorFile(write("two.cur", two));
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotspot, QPoint(3, 4));
}

TEST_F(CursorFile, RejectsADirectory) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.cur")));
    const QString path = m_dir.filePath(QStringLiteral("folder.cur"));
    EXPECT_TRUE(fileExists(path));
    EXPECT_FALSE(readCursorFile(path).has_value());
}

TEST_F(CursorFile, FileExistsOnlyForWhatIsThere) {
    EXPECT_FALSE(fileExists(m_dir.filePath(QStringLiteral("missing.cur"))));
    EXPECT_FALSE(fileExists(QString()));
    EXPECT_FALSE(fileExists(m_dir.filePath(QStringLiteral("missing/inner.cur"))));
    EXPECT_TRUE(fileExists(write(QStringLiteral("any.txt"), "not a cursor")));
}

/// A file that is no cursor, made from the shipped one when the case runs.
struct NoCursor {
    const char* name;
    QByteArray (*make)(QByteArray good);
};

class CursorFileRejects : public CursorFile, public ::testing::WithParamInterface<NoCursor> {};

TEST_P(CursorFileRejects, WhatIsNoCursor) {
    const QString path = write(QStringLiteral("bad.cur"), GetParam().make(shippedCursor()));
    EXPECT_TRUE(fileExists(path));
    EXPECT_FALSE(readCursorFile(path).has_value());
    EXPECT_FALSE(dwellmark::ui::loadCursorFile(path).has_value());
}

QByteArray changed(QByteArray data, qsizetype at, int value) {
    putU16(data, at, value);
    return data;
}

INSTANTIATE_TEST_SUITE_P(
    , CursorFileRejects,
    ::testing::Values(NoCursor{"empty", [](QByteArray) { return QByteArray(); }},
                      NoCursor{"header_only", [](QByteArray good) { return good.left(6); }},
                      NoCursor{"truncated", [](QByteArray good) { return good.left(good.size() / 2); }},
                      NoCursor{"garbage", [](QByteArray) { return QByteArray(4286, '\x5a'); }},
                      NoCursor{"icon", [](QByteArray good) { return changed(good, 2, 1); }},
                      NoCursor{"no_images", [](QByteArray good) { return changed(good, 4, 0); }},
                      NoCursor{"hotspot_off_the_image", [](QByteArray good) { return changed(good, 10, 32); }},
                      NoCursor{"image_past_the_end", [](QByteArray good) { return changed(good, 14, 0x7FFF); }},
                      NoCursor{"broken_picture",
                               [](QByteArray good) { return good.replace(22, 40, QByteArray(40, 'x')); }},
                      NoCursor{"png",
                               [](QByteArray) {
                                   QByteArray png;
                                   QBuffer buffer(&png);
                                   buffer.open(QIODevice::WriteOnly);
                                   QImage(8, 8, QImage::Format_ARGB32).save(&buffer, "PNG");
                                   return png;
                               }},
                      NoCursor{"huge", [](QByteArray good) { return good.append(QByteArray(2 * 1024 * 1024, '\0')); }}),
    dwellmark::testing::caseName);

} // namespace

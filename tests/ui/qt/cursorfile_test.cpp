#include "ui/qt/cursorfile.h"
#include "ui/qt/windowhelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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

} // namespace

class CursorFileTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& data) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void readsTheShippedHand() {
        const auto cursor = readCursorFile(QStringLiteral(DWELLMARK_CURSOR_FILE));
        QVERIFY(cursor.has_value());
        QCOMPARE(cursor->image.size(), QSize(32, 32));
        QCOMPARE(cursor->hotspot, QPoint(6, 0));
        // The fingertip is drawn at the hotspot; the far corner is see-through.
        QCOMPARE(qAlpha(cursor->image.pixel(6, 0)), 255);
        QCOMPARE(qAlpha(cursor->image.pixel(31, 31)), 0);
        const auto pointer = dwellmark::ui::loadCursorFile(QStringLiteral(DWELLMARK_CURSOR_FILE));
        QVERIFY(pointer.has_value());
        QCOMPARE(pointer->shape(), Qt::BitmapCursor);
        QCOMPARE(pointer->hotSpot(), QPoint(6, 0));
    }

    void takesTheHotspotFromTheDirectory() {
        QByteArray data = shippedCursor();
        putU16(data, 10, 17);
        putU16(data, 12, 29);
        const auto cursor = readCursorFile(write("moved.cur", data));
        QVERIFY(cursor.has_value());
        QCOMPARE(cursor->hotspot, QPoint(17, 29));
    }

    void picksTheFirstImageOfSeveral() {
        // Two directory entries, the second pointing at the same picture.
        const QByteArray data = shippedCursor();
        QByteArray two = data.left(6);
        putU16(two, 4, 2);
        QByteArray first = data.mid(6, 16);
        QByteArray second = first;
        putU16(first, 4, 3);
        putU16(first, 6, 4);
        const QByteArray image = data.mid(22);
        for (QByteArray* entry : {&first, &second}) {
            (*entry)[12] = 38;
            (*entry)[13] = 0;
        }
        two += first + second + image;
        const auto cursor = readCursorFile(write("two.cur", two));
        QVERIFY(cursor.has_value());
        QCOMPARE(cursor->hotspot, QPoint(3, 4));
    }

    void rejectsWhatIsNoCursor_data() {
        QTest::addColumn<QByteArray>("data");
        const QByteArray good = shippedCursor();
        QByteArray icon = good;
        putU16(icon, 2, 1);
        QByteArray noImages = good;
        putU16(noImages, 4, 0);
        QByteArray offTheImage = good;
        putU16(offTheImage, 10, 32);
        QByteArray pastTheEnd = good;
        pastTheEnd[14] = static_cast<char>(0xFF);
        pastTheEnd[15] = static_cast<char>(0x7F);
        QByteArray badPicture = good;
        badPicture.replace(22, 40, QByteArray(40, 'x'));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(8, 8, QImage::Format_ARGB32).save(&buffer, "PNG");

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << good.left(6);
        QTest::newRow("truncated") << good.left(good.size() / 2);
        QTest::newRow("garbage") << QByteArray(4286, '\x5a');
        QTest::newRow("icon") << icon;
        QTest::newRow("no images") << noImages;
        QTest::newRow("hotspot off the image") << offTheImage;
        QTest::newRow("image past the end") << pastTheEnd;
        QTest::newRow("broken picture") << badPicture;
        QTest::newRow("png") << png;
        QByteArray huge = good;
        huge.append(QByteArray(2 * 1024 * 1024, '\0'));
        QTest::newRow("huge") << huge;
    }

    void rejectsWhatIsNoCursor() {
        QFETCH(QByteArray, data);
        const QString path = write(QStringLiteral("bad.cur"), data);
        QVERIFY(fileExists(path));
        QVERIFY(!readCursorFile(path).has_value());
        QVERIFY(!dwellmark::ui::loadCursorFile(path).has_value());
    }

    void rejectsADirectory() {
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.cur")));
        const QString path = m_dir.filePath(QStringLiteral("folder.cur"));
        QVERIFY(fileExists(path));
        QVERIFY(!readCursorFile(path).has_value());
    }

    void fileExistsOnlyForWhatIsThere() {
        QVERIFY(!fileExists(m_dir.filePath(QStringLiteral("missing.cur"))));
        QVERIFY(!fileExists(QString()));
        QVERIFY(!fileExists(m_dir.filePath(QStringLiteral("missing/inner.cur"))));
        QVERIFY(fileExists(write(QStringLiteral("any.txt"), "not a cursor")));
    }
};

QTEST_MAIN(CursorFileTest)
#include "cursorfile_test.moc"

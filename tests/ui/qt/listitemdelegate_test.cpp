// A list's cells as its delegate draws them: as the style's own delegate does, selected or not, elided or not.
#include "ui/qt/listitemdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTableView>
#include <QTextLayout>
#include <QtTest>

/// A table view that hands out the option it gives its delegate for a cell.
struct OptionView final : QTableView {
    using QTableView::initViewItemOption;
};

class ListItemDelegateTest final : public QObject {
    Q_OBJECT

private slots:
    void drawsCellsPixelForPixelAsTheStylesDelegate() {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        OptionView view;
        view.setWordWrap(false); // as the lists are
        const dwellmark::ui::ListItemDelegate mine;
        QStandardItemModel model(1, 1);
        const QModelIndex cell = model.index(0, 0);
        const auto drawn = [&](const QAbstractItemDelegate& delegate, const QStyleOptionViewItem& option) {
            QImage image(option.rect.size() + QSize(4, 4), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            delegate.paint(&painter, option, cell);
            return image;
        };
        // Times and counts are drawn from glyphs looked up once (the first one
        // in the cell's colours looks them up); a long one is elided.
        for (const char* text : {"Window 12", "1:02:03", "", "A title far longer than its column, which is elided",
                                 "00:01:02 - 00:01:05", "12", "7 - 3", "00:00:00 - 00:00:01 - 00:00:02 - 00:00:03"}) {
            model.setData(cell, QString::fromUtf8(text));
            // The view is not shown: its window is not active unless said so.
            for (const auto state : {QStyle::State(QStyle::State_None), QStyle::State(QStyle::State_Selected),
                                     QStyle::State_Selected | QStyle::State_Active}) {
                QStyleOptionViewItem option;
                view.initViewItemOption(&option);
                option.rect = QRect(2, 1, 150, view.fontMetrics().height() + 2);
                option.state |= state;
                QVERIFY(dwellmark::ui::ListItemDelegate::drawsItself(*view.style(), option, QString::fromUtf8(text)));
                const QImage expected = drawn(QStyledItemDelegate(), option);
                QCOMPARE(drawn(mine, option), expected);
                QCOMPARE(drawn(mine, option), expected); // again, as it keeps it
            }
        }
    }

    // The glyphs looked up once place a time as the layout does; where the
    // font's layout would place them otherwise, they are not used.
    void timesArePlacedAsTheLayoutPlacesThem() {
        const QFont font = QApplication::font();
        const dwellmark::ui::DigitRun digits(font);
        if (!digits.usable()) {
            QSKIP("this font's layout places digits by their neighbours");
        }
        QVERIFY(!digits.draws(QStringLiteral("12 min")));
        for (const QString& text :
             {QStringLiteral("00:01:02 - 00:01:05"), QStringLiteral("117"), QStringLiteral("1 -1")}) {
            QVERIFY(digits.draws(text));
            QTextLayout layout(text, font);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            line.setLineWidth(1000);
            layout.endLayout();
            QCOMPARE(digits.width(text), line.naturalTextWidth());
            QCOMPARE(digits.lineHeight(), layout.boundingRect().height());
        }
    }
};

QTEST_MAIN(ListItemDelegateTest)
#include "listitemdelegate_test.moc"

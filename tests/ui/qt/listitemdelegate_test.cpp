// A list's cells as its delegate draws them: as the style's own delegate does, selected or not, elided or not.
#include "ui/qt/listitemdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTableView>
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
        for (const char* text : {"Window 12", "1:02:03", "", "A title far longer than its column, which is elided"}) {
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
};

QTEST_MAIN(ListItemDelegateTest)
#include "listitemdelegate_test.moc"

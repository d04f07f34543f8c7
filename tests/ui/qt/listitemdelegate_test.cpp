// A list's cells as its delegate draws them: pixel for pixel as the style's own delegate, selected or not, elided or
// not.
#include "ui/qt/listitemdelegate.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTableView>
#include <QtTest>

namespace {

/// A table view that hands out the option it gives its delegate for a cell.
struct OptionView final : QTableView {
    using QTableView::initViewItemOption;
};

QImage drawn(const QAbstractItemDelegate& delegate, const QStyleOptionViewItem& option, const QModelIndex& index) {
    QImage image(option.rect.size() + QSize(4, 4), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, option, index);
    return image;
}

} // namespace

class ListItemDelegateTest final : public QObject {
    Q_OBJECT

private slots:
    void drawsCellsAsTheStylesDelegateDoes() {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        OptionView view;
        view.setWordWrap(false); // as the lists are
        const dwellmark::ui::ListItemDelegate mine;
        const QStyledItemDelegate styles;
        QStandardItemModel model(1, 1);
        const QModelIndex cell = model.index(0, 0);
        for (const char* text : {"Window 12", "1:02:03", "",
                                 "A window title far longer than its column, which the list elides at its end"}) {
            model.setData(cell, QString::fromUtf8(text));
            // The view is not shown: its window is not active unless said so.
            for (const QStyle::State state : {QStyle::State(QStyle::State_None), QStyle::State(QStyle::State_Selected),
                                              QStyle::State_Selected | QStyle::State_Active}) {
                QStyleOptionViewItem option;
                view.initViewItemOption(&option);
                option.rect = QRect(2, 1, 150, view.fontMetrics().height() + 2);
                option.state |= state;
                QVERIFY(dwellmark::ui::ListItemDelegate::drawsItself(*view.style(), option, QString::fromUtf8(text)));
                QCOMPARE(drawn(mine, option, cell), drawn(styles, option, cell));
            }
        }
    }
};

QTEST_MAIN(ListItemDelegateTest)
#include "listitemdelegate_test.moc"

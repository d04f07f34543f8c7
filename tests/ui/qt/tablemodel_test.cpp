#include "tracking/activitytables.h"
#include "ui/qt/tablemodel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

using dwellmark::ActivityTable;
using dwellmark::ui::TableModel;

class TableModelTest final : public QObject {
    Q_OBJECT

private slots:
    void followsTheTable() {
        ActivityTable table = dwellmark::makeOpenIntervalTable();
        TableModel model(table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 5);
        table.addRow("656");
        table.addRow("700");
        table.setText(2, dwellmark::OpenColumn::WindowTitle, "Editor");
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.at(1).at(1).toInt(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 2));
        QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("Editor"));
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("656"));

        table.removeRow(1);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 0);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("700"));
    }

    void showsUtf8Titles() {
        ActivityTable table = dwellmark::makeTotalsTable();
        TableModel model(table);
        const std::size_t row = table.addRow("app");
        table.setText(row, dwellmark::TotalsColumn::WindowTitle, "Caf\xc3\xa9 \xe2\x80\x94 notes");
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral(u"Café — notes"));
    }

    void headersAndWidths() {
        ActivityTable table = dwellmark::makeUsageLog();
        TableModel model(table);
        QTableView view;
        model.attachTo(view);
        const QStringList headers{"Application", "Window Title", "Time Start", "Time End", "Time", "Total"};
        for (int i = 0; i < headers.size(); ++i) {
            QCOMPARE(model.headerData(i, Qt::Horizontal).toString(), headers.at(i));
        }
        QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
        // 85, 175, 100 and 45 points at 96 dpi.
        QCOMPARE(view.horizontalHeader()->sectionSize(0), 113);
        QCOMPARE(view.horizontalHeader()->sectionSize(1), 233);
        QCOMPARE(view.horizontalHeader()->sectionSize(4), 133);
        QCOMPARE(view.horizontalHeader()->sectionSize(5), 60);
        QVERIFY(!view.isColumnHidden(0) && !view.isColumnHidden(5));
        QVERIFY(view.isColumnHidden(2) && view.isColumnHidden(3));
    }

    void forgetsTheTableWhenGone() {
        ActivityTable table = dwellmark::makeTotalsTable();
        { TableModel model(table); }
        // A row added after the model has gone reaches no dead observer.
        table.addRow("app");
        QCOMPARE(table.rowCount(), std::size_t{1});
    }
};

QTEST_MAIN(TableModelTest)
#include "tablemodel_test.moc"

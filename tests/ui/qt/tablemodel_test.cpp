// The model between a table and its list: it follows the table's rows and texts, and names and sizes the columns.
#include "qtgtest.h"
#include "tracking/activitytables.h"
#include "ui/qt/tablemodel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>

using dwellmark::ActivityTable;
using dwellmark::ui::TableModel;

TEST(TableModel, FollowsTheTable) {
    ActivityTable table = dwellmark::makeOpenIntervalTable();
    TableModel model(table);
    // Ends the program at a model that breaks the rules of Qt's models.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 5);
    table.addRow("656");
    table.addRow("700");
    table.setText(2, dwellmark::OpenColumn::WindowTitle, "Editor");
    ASSERT_EQ(inserted.count(), 2);
    EXPECT_EQ(inserted.at(1).at(1).toInt(), 1);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex(), model.index(1, 2));
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), QStringLiteral("Editor"));
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("656"));

    table.removeRow(1);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(1).toInt(), 0);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("700"));
}

TEST(TableModel, ShowsUtf8Titles) {
    ActivityTable table = dwellmark::makeTotalsTable();
    TableModel model(table);
    const std::size_t row = table.addRow("app");
    table.setText(row, dwellmark::TotalsColumn::WindowTitle, "Caf\xc3\xa9 \xe2\x80\x94 notes");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral(u"Café — notes"));
}

TEST(TableModel, HeadersAndWidths) {
    ActivityTable table = dwellmark::makeUsageLog();
    TableModel model(table);
    QTableView view;
    model.attachTo(view);
    const QStringList headers{"Application", "Window Title", "Time Start", "Time End", "Time", "Total"};
    for (int i = 0; i < headers.size(); ++i) {
        EXPECT_EQ(model.headerData(i, Qt::Horizontal).toString(), headers.at(i));
    }
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
    // 85, 175, 100 and 45 points at 96 dpi.
    for (const auto& [column, width] : {std::pair{0, 113}, {1, 233}, {4, 133}, {5, 60}}) {
        EXPECT_EQ(view.horizontalHeader()->sectionSize(column), width) << column;
    }
    EXPECT_TRUE(!view.isColumnHidden(0) && !view.isColumnHidden(5));
    EXPECT_TRUE(view.isColumnHidden(2) && view.isColumnHidden(3));
}

TEST(TableModel, ForgetsTheTableWhenGone) {
    ActivityTable table = dwellmark::makeTotalsTable();
    { TableModel model(table); }
    // A row added after the model has gone reaches no dead observer.
    table.addRow("app");
    EXPECT_EQ(table.rowCount(), std::size_t{1});
}

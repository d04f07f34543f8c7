// The table behind each list: rows numbered from one, positions outside it, what its observers hear, and the
// columns of the three lists.
#include "tablecells.h"
#include "tracking/activitytable.h"
#include "tracking/activitytables.h"
#include "tracking/tableobserver.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace dwellmark {
namespace {

// Records what a view would hear, with the table's state at the moment it hears it.
class RecordingObserver final : public TableObserver {
public:
    explicit RecordingObserver(const ActivityTable& table) : m_table(table) {}

    void rowAboutToBeAdded(std::size_t row) override { log("about to add " + at(row)); }
    void rowAdded(std::size_t row) override { log("added " + at(row)); }
    void cellChanged(std::size_t row, std::size_t column) override {
        log("changed " + std::to_string(row) + "." + std::to_string(column) + " = " +
            std::string(m_table.text(row, column)));
    }
    void rowAboutToBeRemoved(std::size_t row) override { log("about to remove " + at(row)); }
    void rowRemoved(std::size_t row) override { log("removed " + at(row)); }

    std::vector<std::string> events;

private:
    std::string at(std::size_t row) const { return std::to_string(row) + " of " + std::to_string(m_table.rowCount()); }
    void log(std::string event) { events.push_back(std::move(event)); }
    const ActivityTable& m_table;
};

TEST(ActivityTable, RowsAreNumberedFromOneAndMoveUpWhenOneIsRemoved) {
    ActivityTable table = makeOpenIntervalTable();
    EXPECT_EQ(table.addRow("101"), 1U);
    EXPECT_EQ(table.addRow("202"), 2U);
    EXPECT_EQ(table.addRow("303"), 3U);
    table.setText(3, OpenColumn::WindowTitle, "Editor");
    EXPECT_EQ(table.text(1, OpenColumn::TimerEnd), "");

    table.removeRow(2);
    EXPECT_EQ(testing::rowsOf(table), (testing::Rows{{"101", "", "", "", ""}, {"303", "", "Editor", "", ""}}));
}

TEST(ActivityTable, RejectsPositionsOutsideTheTable) {
    ActivityTable table = makeTotalsTable();
    EXPECT_THROW((void)table.text(1, 0), std::out_of_range);
    table.addRow("app");
    EXPECT_THROW((void)table.text(0, 0), std::out_of_range);
    EXPECT_THROW((void)table.text(2, 0), std::out_of_range);
    EXPECT_THROW((void)table.text(1, 4), std::out_of_range);
    EXPECT_THROW(table.setText(1, 4, "x"), std::out_of_range);
    EXPECT_THROW(table.removeRow(2), std::out_of_range);
    EXPECT_EQ(table.rowCount(), 1U);
    EXPECT_THROW(ActivityTable({}), std::invalid_argument);
}

TEST(ActivityTable, ObserversHearEachChangeAroundIt) {
    ActivityTable table = makeUsageLog();
    RecordingObserver observer(table);
    table.addObserver(&observer);
    table.addObserver(&observer); // a second registration is ignored

    table.addRow("editor");
    table.setText(1, LogColumn::Total, "12");
    table.setText(1, LogColumn::Total, "12"); // unchanged: nothing to tell
    table.addRow("browser");
    table.removeRow(1);
    table.removeObserver(&observer);
    table.addRow("unheard");

    const std::vector<std::string> expected{
        "about to add 1 of 0", "added 1 of 1",           "changed 1.5 = 12", "about to add 2 of 1",
        "added 2 of 2",        "about to remove 1 of 2", "removed 1 of 1",
    };
    EXPECT_EQ(observer.events, expected);
}

TEST(ActivityTable, AWholeRowComesInOneChange) {
    ActivityTable table = makeTotalsTable();
    RecordingObserver observer(table);
    table.addObserver(&observer);
    EXPECT_EQ(table.addRow({"editor", "Notes", "00:00:03", "3"}), 1U);
    EXPECT_EQ(table.addRow({"browser", "News"}), 2U); // the cells not given are empty
    EXPECT_THROW(table.addRow({"a", "b", "c", "d", "e"}), std::out_of_range);

    const std::vector<std::string> expected{"about to add 1 of 0", "added 1 of 1", "about to add 2 of 1",
                                            "added 2 of 2"};
    EXPECT_EQ(observer.events, expected);
    EXPECT_EQ(testing::rowsOf(table),
              (testing::Rows{{"editor", "Notes", "00:00:03", "3"}, {"browser", "News", "", ""}}));
}

TEST(ActivityTable, HoldsMoreRowsThanA16BitCount) {
    ActivityTable table = makeTotalsTable();
    for (int i = 1; i <= 40000; ++i) {
        table.addRow(std::to_string(i));
    }
    EXPECT_EQ(table.rowCount(), 40000U);
    EXPECT_EQ(table.text(32768, 0), "32768");
    EXPECT_EQ(table.text(40000, 0), "40000");
    table.removeRow(32768);
    EXPECT_EQ(table.text(32768, 0), "32769");
}

TEST(ActivityTables, ColumnsHeadersAndWidths) {
    auto describe = [](const ActivityTable& table) {
        std::string text;
        for (const TableColumn& column : table.columns()) {
            text += column.header + "/" + std::to_string(column.widthPoints) + ";";
        }
        return text;
    };
    EXPECT_EQ(describe(makeUsageLog()), "Application/85;Window Title/175;Time Start/0;Time End/0;Time/100;Total/45;");
    EXPECT_EQ(describe(makeOpenIntervalTable()),
              "Handle/50;Application/50;Window Title/100;Timer Start/72;Timer End/72;");
    EXPECT_EQ(describe(makeTotalsTable()), "Application/100;Window Title/200;Total Time/75;Total Seconds/0;");
}

} // namespace
} // namespace dwellmark

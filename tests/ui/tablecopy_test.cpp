// The clipboard text of the lists: shown columns only, tab-separated, one row a line.
#include "tracking/activitytables.h"
#include "ui/tablecopy.h"

#include <array>
#include <cstddef>
#include <gtest/gtest.h>

namespace {

void addTwoRows(dwellmark::ActivityTable& log) {
    const std::array<std::array<const char*, 6>, 2> rows{{
        {"editor", "Notes\tdraft", "10:00:00", "10:00:05", "00:00:00 - 00:00:05", "5"},
        {"shell", "Line one\r\nline two", "10:00:05", "10:00:07", "00:00:05 - 00:00:07", "2"},
    }};
    for (const auto& cells : rows) {
        const std::size_t row = log.addRow(cells[0]);
        for (std::size_t column = 1; column < cells.size(); ++column) {
            log.setText(row, column, cells[column]);
        }
    }
}

} // namespace

TEST(TableCopy, CopiesTheShownColumnsAsASpreadsheetTable) {
    dwellmark::ActivityTable log = dwellmark::makeUsageLog();
    addTwoRows(log);
    // The hidden start and end times stay out; a tab or line break in a title
    // would break the table, so it becomes a space.
    EXPECT_EQ(dwellmark::ui::copiedTable(log), "Application\tWindow Title\tTime\tTotal\n"
                                               "editor\tNotes draft\t00:00:00 - 00:00:05\t5\n"
                                               "shell\tLine one  line two\t00:00:05 - 00:00:07\t2\n");
    const std::array<std::size_t, 3> selected{2, 9, 0};
    EXPECT_EQ(dwellmark::ui::copiedRows(log, selected, false, "\r\n"),
              "shell\tLine one  line two\t00:00:05 - 00:00:07\t2\r\n");
    EXPECT_EQ(dwellmark::ui::copiedTable(dwellmark::makeTotalsTable()), "Application\tWindow Title\tTotal Time\n");
}

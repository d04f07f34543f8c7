// The pointer setting after a mouse move over each part of the main window.
#include "ui/pointerrules.h"

#include <gtest/gtest.h>

using dwellmark::ui::MouseArea;
using dwellmark::ui::MousePointer;
using dwellmark::ui::pointerAfterMove;

TEST(PointerRules, DisplayChartShowsTheCustomPointerOtherPartsTheDefault) {
    for (const MousePointer from : {MousePointer::Default, MousePointer::Custom}) {
        EXPECT_EQ(pointerAfterMove(from, MouseArea::displayChartBox), MousePointer::Custom);
        EXPECT_EQ(pointerAfterMove(from, MouseArea::Background), MousePointer::Default);
        EXPECT_EQ(pointerAfterMove(from, MouseArea::usageLog), MousePointer::Default);
        EXPECT_EQ(pointerAfterMove(from, MouseArea::totals), MousePointer::Default);
    }
}

TEST(PointerRules, HideMeKeepsWhatThePointerHadAndBusyStaysBusy) {
    EXPECT_EQ(pointerAfterMove(MousePointer::Default, MouseArea::hideMeBox), MousePointer::Default);
    EXPECT_EQ(pointerAfterMove(MousePointer::Custom, MouseArea::hideMeBox), MousePointer::Custom);
    for (const MouseArea area : {MouseArea::Background, MouseArea::usageLog, MouseArea::totals,
                                 MouseArea::displayChartBox, MouseArea::hideMeBox}) {
        EXPECT_EQ(pointerAfterMove(MousePointer::Busy, area), MousePointer::Busy);
    }
}

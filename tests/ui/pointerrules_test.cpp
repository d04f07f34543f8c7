// The pointer setting after a mouse move over each part of the main window.
#include "ui/pointerrules.h"

#include <gtest/gtest.h>

using dwellmark::ui::MouseArea;
using dwellmark::ui::MousePointer;
using dwellmark::ui::pointerAfterMove;

TEST(PointerRules, DisplayChartShowsTheCustomPointerOtherPartsTheDefault) {
    for (const MousePointer from : {MousePointer::Default, MousePointer::Custom}) {
        EXPECT_EQ(pointerAfterMove(from, MouseArea::Check2), MousePointer::Custom);
        EXPECT_EQ(pointerAfterMove(from, MouseArea::Background), MousePointer::Default);
        EXPECT_EQ(pointerAfterMove(from, MouseArea::ListView1), MousePointer::Default);
        EXPECT_EQ(pointerAfterMove(from, MouseArea::ListView2), MousePointer::Default);
    }
}

TEST(PointerRules, HideMeKeepsWhatThePointerHadAndBusyStaysBusy) {
    EXPECT_EQ(pointerAfterMove(MousePointer::Default, MouseArea::Check1), MousePointer::Default);
    EXPECT_EQ(pointerAfterMove(MousePointer::Custom, MouseArea::Check1), MousePointer::Custom);
    for (const MouseArea area :
         {MouseArea::Background, MouseArea::ListView1, MouseArea::ListView2, MouseArea::Check2, MouseArea::Check1}) {
        EXPECT_EQ(pointerAfterMove(MousePointer::Busy, area), MousePointer::Busy);
    }
}

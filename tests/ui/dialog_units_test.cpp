// Dialog units to pixels, worked out by hand for the base units of a
// classic 8-point dialog font (average width 6, height 13).
#include <gtest/gtest.h>

#include "ui/dialog_units.h"

TEST(DialogUnits, AverageWidthIsTheLettersWidthOverFiftyTwoRoundedHalfUp) {
    EXPECT_EQ(AverageCharWidth(312), 6);  // 6.0
    EXPECT_EQ(AverageCharWidth(337), 6);  // 6.48
    EXPECT_EQ(AverageCharWidth(338), 7);  // 6.5
    EXPECT_EQ(AverageCharWidth(363), 7);  // 6.98
}

TEST(DialogUnits, MulDivRoundsToNearestWithHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(425, 6, 4), 638);   // 637.5
    EXPECT_EQ(MulDiv(277, 13, 8), 450);  // 450.125
    EXPECT_EQ(MulDiv(7, 1, 2), 4);       // 3.5
    EXPECT_EQ(MulDiv(-7, 1, 2), -4);     // -3.5
    EXPECT_EQ(MulDiv(5, 3, -2), -8);     // -7.5
    EXPECT_EQ(MulDiv(5, 3, 0), -1);      // no division by zero
}

TEST(DialogUnits, EachOfPositionAndSizeIsConvertedOnItsOwn) {
    const DialogBaseUnits units{6, 13};
    // The chat log: 250, 160, 166 x 77 units.
    EXPECT_EQ(DialogRectToPixels(250, 160, 166, 77, units), QRect(375, 260, 249, 125));
    // "Passer": 215, 241, 29 x 13; 322.5 -> 323, 391.625 -> 392, 43.5 -> 44, 21.125 -> 21.
    EXPECT_EQ(DialogRectToPixels(215, 241, 29, 13, units), QRect(323, 392, 44, 21));
}

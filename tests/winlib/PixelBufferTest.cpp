// The pixel buffer clips every drawing to the picture, so painters may hand it any coordinates.
#include <gtest/gtest.h>

#include "PixelBuffer.h"

TEST(PixelBufferTest, DrawingIsClippedToThePicture) {
    PixelBuffer picture(4, 3, kWhite);
    picture.Fill({-5, -5, 2, 100}, kBlack);  // the left two columns, every row
    picture.HorizontalLine(3, 10, 1, 0x123456);
    picture.VerticalLine(2, 2, -7, 0x654321);
    picture.Set(4, 0, kBlack);  // just outside: nothing
    const Colour expected[3][4] = {{kBlack, kBlack, 0x654321, kWhite},
                                   {kBlack, kBlack, 0x654321, 0x123456},
                                   {kBlack, kBlack, 0x654321, kWhite}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(picture.At(x, y), expected[y][x]) << x << "," << y;
        }
    }
    // Rows are top-down in memory, as a top-down DIB section holds them.
    EXPECT_EQ(picture.Pixels()[1 * 4 + 3], 0x123456u);
    EXPECT_EQ(picture.At(-1, 0), kWhite);
}

TEST(PixelBufferTest, ReversedAndEmptyRectanglesDrawNothing) {
    PixelBuffer picture(2, 2, kWhite);
    picture.Fill({1, 1, 0, 2}, kBlack);
    picture.Fill({0, 1, 2, 1}, kBlack);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(picture.Pixels()[i], kWhite);
    }
    const PixelBuffer none(-3, 5);
    EXPECT_EQ(none.Width(), 0);
    EXPECT_EQ(none.At(0, 0), kWhite);
}

// Centring a dialog over its owner, including one larger than the owner and odd differences.
#include <gtest/gtest.h>

#include "CentredOrigin.h"

TEST(CentredOrigin, CentresOverTheReference) {
    struct Case {
        std::int32_t rl, rt, rr, rb;  // reference, exclusive right and bottom
        std::int32_t dl, dt, dr, db;  // the dialog where the system first put it
        std::int32_t x, y;
    };
    const Case cases[] = {
        // An 800 x 600 owner at (100, 100) and a 300 x 200 dialog.
        {100, 100, 900, 700, 0, 0, 300, 200, 350, 300},
        // Only the sizes count, not where the dialog was.
        {100, 100, 900, 700, 500, 40, 800, 240, 350, 300},
        // Odd differences are truncated: (801 - 300) / 2 = 250.
        {0, 0, 801, 601, 0, 0, 300, 200, 250, 200},
        // Larger than the owner: a negative offset, truncated toward zero (-201 / 2 = -100,
        // where rounding down would give -101).
        {100, 100, 300, 200, 0, 0, 401, 301, 0, 0},
        {0, 0, 100, 100, 0, 0, 301, 301, -100, -100},
        // Empty rectangles from failed queries.
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 31, 21, -15, -10},
        // A reference partly off the screen's left edge.
        {-500, 10, 300, 610, 0, 0, 300, 200, -250, 210},
    };
    for (const Case& c : cases) {
        const ScreenPoint origin = CentredOrigin(c.rl, c.rt, c.rr, c.rb, c.dl, c.dt, c.dr, c.db);
        EXPECT_EQ(origin.x, c.x) << c.rl << "," << c.rt << "," << c.rr << "," << c.rb;
        EXPECT_EQ(origin.y, c.y) << c.rl << "," << c.rt << "," << c.rr << "," << c.rb;
    }
}

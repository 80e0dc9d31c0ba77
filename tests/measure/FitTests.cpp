// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The working image's size for a picture of any size.
#include "measure/Fit.h"

#include <gtest/gtest.h>

namespace {

struct FitCase {
    QSize picture;
    QSize fitted;
};

TEST(FittedSize, FollowsTheTwoStepRule)
{
    const FitCase cases[] = {
        {{800, 600}, {800, 600}},
        {{1024, 768}, {1024, 768}}, // a side equal to its limit stays
        {{1025, 768}, {1024, 767}},
        {{1024, 769}, {1022, 768}},
        {{2048, 1536}, {1024, 768}},
        {{1300, 1000}, {999, 768}}, // the second step works on 787, not 769.2
        {{1000, 2000}, {384, 768}},
        {{3000, 1000}, {1024, 341}},
        {{640, 960}, {512, 768}},
        {{5000, 4}, {1024, 0}}, // truncates to nothing
        {{4, 5000}, {0, 768}},
        {{1, 1}, {1, 1}},
        {{0, 0}, {0, 0}},
    };
    for (const FitCase& c : cases)
        EXPECT_EQ(fittedSize(c.picture.width(), c.picture.height()), c.fitted)
            << c.picture.width() << " x " << c.picture.height();
}

TEST(FittedSize, HugePicturesDoNotOverflow)
{
    EXPECT_EQ(fittedSize(65500, 65500), QSize(768, 768));
    EXPECT_EQ(fittedSize(100000, 3000000), QSize(25, 768)); // 100000 -> h 30720 -> w 25
    EXPECT_EQ(fittedSize(2147483647, 2147483647), QSize(768, 768));
}

} // namespace

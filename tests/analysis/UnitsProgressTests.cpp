#include "cli/Progress.h"
#include "cli/Units.h"
#include "workspace/Fit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The working columns whose source column (floor(x * from / to)) lies in first .. last - 1.
std::pair<int, int> coveredRange(int first, int last, int from, int to)
{
    int low = 1 << 30, high = -(1 << 30);
    for (int x = -3000; x < 8000; ++x) {
        const int source = int(std::floor(double(x) * from / to));
        if (source >= first && source < last) {
            low = std::min(low, x);
            high = std::max(high, x + 1);
        }
    }
    return {low, high};
}

} // namespace

TEST(PictureUnits, RectanglesCoverExactlyTheWorkingPixelsTakenFromThem)
{
    for (const QSize picture : {QSize(4000, 3000), QSize(1600, 1200), QSize(3264, 2448), QSize(1300, 1000)}) {
        const QSize working = fittedSize(picture.width(), picture.height());
        for (const auto& [left, right] : {std::pair{0, 4000}, {391, 392}, {-5, 17}, {1000, 1003}, {777, 1299}}) {
            const SelectionRect rect = toWorkingUnits({left, left, right, right}, picture, working);
            const auto [low, high] = coveredRange(left, right, picture.width(), working.width());
            if (low > high) { // no working column takes from them
                EXPECT_EQ(rect.left, rect.right) << left << ".." << right;
                continue;
            }
            EXPECT_EQ(rect.left, low) << picture.width() << ": " << left << ".." << right;
            EXPECT_EQ(rect.right, high) << picture.width() << ": " << left << ".." << right;
            EXPECT_EQ(rect.top, coveredRange(left, right, picture.height(), working.height()).first);
        }
    }
    const SelectionRect same = toWorkingUnits({3, 4, 50, 60}, QSize(800, 600), QSize(800, 600));
    EXPECT_EQ(same.right, 50);
    EXPECT_EQ(same.bottom, 60);
}

TEST(Progress, QuietForTheFirstSecondThenOneLinePerPicture)
{
    ProgressMeter meter(40);
    EXPECT_TRUE(meter.update(3, 0.9).isEmpty());
    EXPECT_EQ(meter.update(12, 4.0), "planix-measure: 12 of 40 pictures, 3.0 per second, 10 s left");
    EXPECT_TRUE(meter.update(12, 4.5).isEmpty());
    EXPECT_EQ(meter.update(40, 8.0), "planix-measure: 40 of 40 pictures, 5.0 per second");
    EXPECT_EQ(progressLine(0, 5, 2.0), "planix-measure: 0 of 5 pictures");
}

// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/find/NumberPlates.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace {

// Placing works on a copy of the picture this many pixels along its long side.
constexpr double mapLongSide = 400;
constexpr int nobody = 0;
constexpr int aPlate = -1;

// Who covers each pixel of the reduced copy: an object's index + 1, a plate,
// or nobody.
class CoverMap {
public:
    CoverMap(const std::vector<FoundObject>& objects, QSize picture)
        : scale(std::max(1.0, std::max(picture.width(), picture.height()) / mapLongSide)),
          owners(std::max(1, int(std::ceil(picture.height() / scale))),
                 std::max(1, int(std::ceil(picture.width() / scale))), CV_32S, cv::Scalar(nobody))
    {
        // The larger first: a shape lying in another's hole is drawn over it.
        std::vector<std::size_t> bySize(objects.size());
        std::iota(bySize.begin(), bySize.end(), 0);
        std::stable_sort(bySize.begin(), bySize.end(), [&](std::size_t a, std::size_t b) {
            return std::int64_t(objects[a].box.width()) * objects[a].box.height()
                   > std::int64_t(objects[b].box.width()) * objects[b].box.height();
        });
        for (const std::size_t i : bySize) {
            const std::vector<QPolygon>& outline = objects[i].outline;
            for (std::size_t k = 0; k < outline.size(); ++k) // the outer outline, then its holes
                cv::fillPoly(owners, std::vector<std::vector<cv::Point>>{onMap(outline[k])},
                             cv::Scalar(k == 0 ? int(i) + 1 : nobody));
        }
    }

    // The plate centred on the point of object index (lying in box) farthest
    // from its edge, if it fits inside the object there.
    std::optional<QRect> inside(int index, const QRect& box, QSize plate) const
    {
        const cv::Rect around = onMap(box.adjusted(-int(scale), -int(scale), int(scale), int(scale)));
        cv::Mat own = owners(around) == index + 1, distance;
        cv::distanceTransform(own, distance, cv::DIST_L2, 3);
        double deepest = 0;
        cv::Point at;
        cv::minMaxLoc(distance, nullptr, &deepest, nullptr, &at);
        if (deepest * scale < std::hypot(plate.width(), plate.height()) / 2 + scale)
            return std::nullopt;
        at += around.tl();
        const QPoint centre(int((at.x + 0.5) * scale), int((at.y + 0.5) * scale));
        return QRect(centre - QPoint(plate.width() / 2, plate.height() / 2), plate);
    }

    // Whether rect covers nothing but object index and paper.
    bool freeFor(const QRect& rect, int index) const
    {
        const cv::Mat part = owners(onMap(rect));
        for (int y = 0; y < part.rows; ++y)
            for (int x = 0; x < part.cols; ++x)
                if (const int owner = part.at<int>(y, x); owner != nobody && owner != index + 1)
                    return false;
        return true;
    }

    void take(const QRect& rect) { owners(onMap(rect)).setTo(aPlate); }

private:
    std::vector<cv::Point> onMap(const QPolygon& polygon) const
    {
        std::vector<cv::Point> points;
        for (const QPoint& p : polygon)
            points.emplace_back(int(p.x() / scale), int(p.y() / scale));
        return points;
    }

    cv::Rect onMap(const QRect& rect) const
    {
        const cv::Point from(int(std::floor(rect.left() / scale)), int(std::floor(rect.top() / scale)));
        const cv::Point to(int(std::ceil((rect.right() + 1) / scale)), int(std::ceil((rect.bottom() + 1) / scale)));
        return cv::Rect(from, to) & cv::Rect(0, 0, owners.cols, owners.rows);
    }

    double scale;
    cv::Mat owners;
};

QRect withinPicture(QRect plate, QSize picture)
{
    plate.moveLeft(std::clamp(plate.left(), 0, std::max(0, picture.width() - plate.width())));
    plate.moveTop(std::clamp(plate.top(), 0, std::max(0, picture.height() - plate.height())));
    return plate;
}

QRect placed(const CoverMap& map, int index, const QRect& box, QSize plate, QSize picture)
{
    if (const auto on = map.inside(index, box, plate))
        return withinPicture(*on, picture);
    const QPoint right(box.right() + 1 - plate.width(), 0), below(0, box.bottom() + 1 - plate.height());
    const QRect corners[] = {QRect(box.topLeft(), plate), QRect(QPoint(right.x(), box.top()), plate),
                             QRect(QPoint(box.left(), below.y()), plate), QRect(QPoint(right.x(), below.y()), plate)};
    for (const QRect& corner : corners)
        if (const QRect kept = withinPicture(corner, picture); map.freeFor(kept, index))
            return kept;
    return withinPicture(corners[0], picture);
}

} // namespace

std::vector<QRect> numberPlates(const std::vector<FoundObject>& objects, const std::vector<QSize>& plates,
                                QSize picture)
{
    CoverMap map(objects, picture);
    std::vector<QRect> where;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        where.push_back(placed(map, int(i), objects[i].box, plates[i], picture));
        map.take(where.back());
    }
    return where;
}

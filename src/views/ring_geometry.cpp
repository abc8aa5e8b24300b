#include "views/ring_geometry.h"

#include <cmath>

namespace melvora {

namespace {

constexpr int kQuadrantOfSemitone[12] = {0, 0, 0, 3, 3, 3, 2, 2, 2, 1, 1, 1};
constexpr int kArcOfSemitone[12] = {2, 1, 0, 2, 1, 0, 2, 1, 0, 2, 1, 0};

}  // namespace

RingGeometry::RingGeometry(int pointsPerQuarter) : n_(pointsPerQuarter > 0 ? pointsPerQuarter : 0) {
    cos_.resize(static_cast<size_t>(n_));
    sin_.resize(static_cast<size_t>(n_));
    const float step = static_cast<float>(1.5707963267948966 / (n_ > 0 ? n_ : 1));
    float angle = 0.0f;
    for (int k = 0; k < n_; ++k) {
        cos_[k] = std::cos(angle);
        sin_[k] = std::sin(angle);
        angle += step;
    }
    if (n_ > 0) {
        cos_[0] = 1.0f;
        sin_[0] = 0.0f;
    }
}

RingGeometry::Point RingGeometry::InQuadrant(int quadrant, Point p) {
    switch (quadrant & 3) {
        case 1:
            return Point{-p.y, p.x};
        case 2:
            return Point{-p.x, -p.y};
        case 3:
            return Point{p.y, -p.x};
        default:
            return p;
    }
}

RingGeometry::Point RingGeometry::RingPoint(int quadrant, int k, float radius) const {
    return InQuadrant(quadrant, Point{radius * cos_[k], radius * sin_[k]});
}

std::vector<RingGeometry::Point> RingGeometry::StarOutline(float v) const {
    std::vector<Point> points;
    const float outer = AnalysisStyle::StarOuterRadius(v);
    const float inner = AnalysisStyle::StarInnerRadius(v);
    for (int q = 0; q < 4; ++q) {
        for (int k = 0; k < n_; k += 3) {
            points.push_back(RingPoint(q, k, k % 2 == 0 ? outer : inner));
        }
    }
    if (!points.empty()) {
        points.push_back(points.front());
    }
    return points;
}

int RingGeometry::CellQuadrant(int semitone) {
    return semitone >= 0 && semitone < 12 ? kQuadrantOfSemitone[semitone] : 0;
}

int RingGeometry::CellArc(int semitone) {
    return semitone >= 0 && semitone < 12 ? kArcOfSemitone[semitone] : 0;
}

std::vector<RingGeometry::RingIndex> RingGeometry::CellPoints(int semitone) const {
    std::vector<RingIndex> points;
    const int m = PointsPerCell();
    if (m < 1) {
        return points;
    }
    const int q = CellQuadrant(semitone);
    const int first = CellArc(semitone) * m;
    for (int i = 0; i <= m; ++i) {
        const int k = first + i;
        // The last arc ends on point 0 of the next quadrant.
        points.push_back(k < n_ ? RingIndex{q, k} : RingIndex{(q + 1) & 3, k - n_});
    }
    return points;
}

std::vector<RingGeometry::Point> RingGeometry::ZigZag(int semitone, float evenRadius,
                                                      float oddRadius) const {
    std::vector<Point> points;
    const std::vector<RingIndex> cell = CellPoints(semitone);
    const int last = static_cast<int>(cell.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        const float radius = (i == 0 || i == last) ? kMiddleRadius
                             : (i % 2 == 0)        ? evenRadius
                                                   : oddRadius;
        points.push_back(RingPoint(cell[i].quadrant, cell[i].k, radius));
    }
    return points;
}

std::vector<RingGeometry::Point> RingGeometry::CellZigZag(int semitone, float v) const {
    return ZigZag(semitone, AnalysisStyle::StarOuterRadius(v), AnalysisStyle::StarInnerRadius(v));
}

std::vector<RingGeometry::Point> RingGeometry::EmptyCellZigZag(int semitone) const {
    return ZigZag(semitone, kOuterRadius, kInnerRadius);
}

}  // namespace melvora

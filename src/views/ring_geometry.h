#pragma once

#include <vector>

#include "views/analysis_style.h"

namespace melvora {

// The circle geometry of the analysis animation, in units of the circle's radius: N points
// per quarter circle (angles k x 90/N degrees, k = 0..N-1, with the step rounded to single
// precision before it is accumulated), the rings at radius 0.25, 0.6 and 0.95, the star
// outlines, and the twelve note cells of 30 degrees. Built once per resolution.
class RingGeometry {
  public:
    using Point = AnalysisStyle::Point;
    static constexpr float kInnerRadius = 0.25f;
    static constexpr float kMiddleRadius = 0.6f;
    static constexpr float kOuterRadius = 0.95f;

    // Builds the tables for `pointsPerQuarter` (values below 1 give empty tables).
    explicit RingGeometry(int pointsPerQuarter);

    int PointsPerQuarter() const { return n_; }
    float Cos(int k) const { return cos_[k]; }
    float Sin(int k) const { return sin_[k]; }
    // Point k of the quarter circle at `radius`, turned into quadrant q (0..3):
    // (x, y), (-y, x), (-x, -y), (y, -x). Point 0 lies exactly on the axis.
    Point RingPoint(int quadrant, int k, float radius) const;
    static Point InQuadrant(int quadrant, Point p);

    // The closed star outline of v: every third ring point of each quadrant, outer radius at
    // even k and inner at odd k, quadrants 0 to 3, the first point repeated at the end.
    std::vector<Point> StarOutline(float v) const;

    // Note cell of semitone s (0 = C .. 11 = B): its quadrant and its arc in the quadrant.
    static int CellQuadrant(int semitone);
    static int CellArc(int semitone);
    // Ring points per cell, N / 3 (integer division).
    int PointsPerCell() const { return n_ / 3; }
    // Angles (ring point positions) of the cell of `semitone` as (quadrant, k) pairs from its
    // first point to the first point of the following arc, PointsPerCell() + 1 of them
    // (none when a cell has no points).
    struct RingIndex {
        int quadrant;
        int k;
    };
    std::vector<RingIndex> CellPoints(int semitone) const;
    // The zig-zag of `semitone`'s cell for v: radius 0.6 at both ends, the star radii of v
    // between (outer for even, inner for odd positions in the arc).
    std::vector<Point> CellZigZag(int semitone, float v) const;
    // The zig-zag of an empty cell: 0.6 at the ends, 0.25 at odd and 0.95 at even positions.
    std::vector<Point> EmptyCellZigZag(int semitone) const;

  private:
    std::vector<Point> ZigZag(int semitone, float evenRadius, float oddRadius) const;

    int n_;
    std::vector<float> cos_;
    std::vector<float> sin_;
};

}  // namespace melvora

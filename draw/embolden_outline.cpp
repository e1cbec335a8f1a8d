// Outline emboldening in floating point (see embolden_outline.h).
#include "draw/embolden_outline.h"

#include <cmath>

#include "draw/bold_rule.h"

namespace {
// A turn sharper than about 160 degrees is not shifted: its bisector runs off to infinity.
constexpr double kSharpestTurnCosine = -0.9375;

struct Edge {
  double x = 0, y = 0, length = 0;  // the unit direction and the length
};

Edge EdgeBetween(const OutlinePoint& from, const OutlinePoint& to) {
  Edge e{to.x - from.x, to.y - from.y, 0};
  e.length = std::hypot(e.x, e.y);
  if (e.length > 0) {
    e.x /= e.length;
    e.y /= e.length;
  }
  return e;
}

// Filled to the right of the direction of travel (TrueType's clockwise outer contours)?
bool FillsRight(const OutlineContours& contours) {
  double area = 0;
  for (const auto& contour : contours)
    for (size_t i = 0; i < contour.size(); ++i) {
      const OutlinePoint& previous = contour[(i + contour.size() - 1) % contour.size()];
      area += (contour[i].y - previous.y) * (contour[i].x + previous.x);
    }
  return area < 0;
}

// The edge into point i from the nearest distinct point before it, and out of it.
Edge EdgeIn(const std::vector<OutlinePoint>& c, size_t i) {
  for (size_t step = 1; step < c.size(); ++step) {
    const Edge e = EdgeBetween(c[(i + c.size() - step) % c.size()], c[i]);
    if (e.length > 0) return e;
  }
  return {};
}
Edge EdgeOut(const std::vector<OutlinePoint>& c, size_t i) {
  for (size_t step = 1; step < c.size(); ++step) {
    const Edge e = EdgeBetween(c[i], c[(i + step) % c.size()]);
    if (e.length > 0) return e;
  }
  return {};
}

double Limited(double component, double strength, double d, double q, double shorter) {
  return strength * q <= shorter * d ? component * strength / d : component * shorter / q;
}

OutlinePoint Shift(const Edge& in, const Edge& out, double x_half, double y_half,
                   bool fills_right) {
  const double d = in.x * out.x + in.y * out.y;
  if (in.length == 0 || out.length == 0 || d <= kSharpestTurnCosine) return {0, 0};
  OutlinePoint shift{in.y + out.y, in.x + out.x};
  if (fills_right) shift.x = -shift.x;
  else shift.y = -shift.y;
  double q = out.x * in.y - out.y * in.x;
  if (fills_right) q = -q;
  const double shorter = std::fmin(in.length, out.length);
  return {Limited(shift.x, x_half, d + 1, q, shorter), Limited(shift.y, y_half, d + 1, q, shorter)};
}
}  // namespace

void EmboldenContours(OutlineContours* contours, double x_growth) {
  if (x_growth <= 0) return;
  const double x_half = std::trunc(x_growth / 2);
  const double y_growth = std::trunc(x_growth / kVerticalShare);
  const double y_half = std::trunc(y_growth / 2);
  const bool fills_right = FillsRight(*contours);
  for (auto& contour : *contours) {
    std::vector<OutlinePoint> shifts(contour.size());
    for (size_t i = 0; i < contour.size(); ++i)
      shifts[i] = Shift(EdgeIn(contour, i), EdgeOut(contour, i), x_half, y_half, fills_right);
    for (size_t i = 0; i < contour.size(); ++i) {
      contour[i].x += x_half + shifts[i].x;
      contour[i].y += y_half + shifts[i].y - std::trunc(y_growth / 2);
    }
  }
}

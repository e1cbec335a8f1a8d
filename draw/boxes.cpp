// Boxes: a rectangle with optional rounded corners, an outline of the target's line
// width drawn inside the box, and a solid or hatched fill. Each row of a box is at most
// five spans (outline, fill, outline), so a box costs a few std::fill_n a row.
#include <algorithm>
#include <cmath>

#include "draw/draw.h"
#include "draw/fill.h"
#include "draw/surface.h"

namespace {
constexpr int32_t kWidestPen = 1 << 24;

// A rectangle from (left, top) to (right, bottom) in continuous coordinates, its corners
// cut by an ellipse of radii rx, ry. A pixel belongs to it when its centre (x + 0.5,
// y + 0.5) lies inside or on the curve, so full-width rows reach the box's edges.
struct RoundedRect {
  int32_t left, top, right, bottom;
  double rx, ry;
};

struct Span {
  int32_t from, to;  // columns [from, to)
};

RoundedRect Shape(int32_t left, int32_t top, int32_t right, int32_t bottom, double radius) {
  RoundedRect shape{left, top, right, bottom, 0, 0};
  if (right <= left || bottom <= top || radius <= 0) return shape;
  shape.rx = std::min(radius, (right - left) / 2.0);
  shape.ry = std::min(radius, (bottom - top) / 2.0);
  return shape;
}

Span SpanOf(const RoundedRect& shape, int32_t y) {
  if (y < shape.top || y >= shape.bottom || shape.right <= shape.left) return {0, 0};
  if (shape.rx <= 0 || shape.ry <= 0) return {shape.left, shape.right};
  const double centre = y + 0.5;
  const double dy =
      std::max({0.0, (shape.top + shape.ry) - centre, centre - (shape.bottom - shape.ry)});
  if (dy == 0) return {shape.left, shape.right};
  const double t = 1 - (dy / shape.ry) * (dy / shape.ry);
  if (t < 0) return {0, 0};
  constexpr double kOnTheCurve = 1e-9;
  const double dx = shape.rx * std::sqrt(t);
  const auto from = static_cast<int32_t>(std::ceil(shape.left + shape.rx - dx - 0.5 - kOnTheCurve));
  const auto last =
      static_cast<int32_t>(std::floor(shape.right - shape.rx + dx - 0.5 + kOnTheCurve));
  return last < from ? Span{0, 0}
                     : Span{std::max(from, shape.left), std::min(last + 1, shape.right)};
}

void PaintSpan(Surface& surface, int32_t y, Span span, const Brush& brush) {
  const int32_t from = std::max(span.from, 0);
  const int32_t to = std::min(span.to, surface.width);
  FillSpan(surface.pixels.data() + static_cast<size_t>(y) * surface.width, y, from, to, brush);
}
}  // namespace

void SetLineWidth(int32_t width) {
  SpinGuard guard(g_drawing_lock);
  if (Surface* surface = CurrentSurface()) surface->line_width = width;
}

void DrawBox(float x1f, float y1f, float x2f, float y2f, int32_t corner_percent,
             Colour outline, Colour fill, int32_t fill_style) {
  SpinGuard guard(g_drawing_lock);
  Surface* surface = CurrentSurface();
  if (!surface) return;
  int32_t x1 = ToPixel(x1f), y1 = ToPixel(y1f), x2 = ToPixel(x2f), y2 = ToPixel(y2f);
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  const int32_t corner = std::clamp(corner_percent, 0, 100);
  const Colour outline_colour = outline == kColourDefault ? surface->fore : Masked(outline);
  const bool filled = fill != kColourNone;
  const Colour fill_colour = fill == kColourDefault ? outline_colour : Masked(fill);
  const auto e = static_cast<int32_t>(int64_t{corner} * std::min(x2 - x1, y2 - y1) / 100);
  // 0 and 1 both give a one-pixel pen; the pen stays inside the box like PS_INSIDEFRAME.
  // Held far below int32_t limits so that the inset and the changed area cannot overflow.
  const int32_t pen = std::clamp(surface->line_width, 1, kWidestPen);

  const RoundedRect outer = Shape(x1, y1, x2, y2, e / 2.0);
  const RoundedRect inner = Shape(x1 + pen, y1 + pen, x2 - pen, y2 - pen, e / 2.0 - pen);
  const Brush pen_brush{PixelOf(outline_colour), kFillSolid, 0, false};
  const Brush fill_brush{PixelOf(fill_colour), CheckedFillStyle(fill_style),
                         PixelOf(surface->back), surface->back_opaque};
  const int32_t first_row = std::max(y1, 0), end_row = std::min(y2, surface->height);
  for (int32_t y = first_row; y < end_row; ++y) {
    const Span whole = SpanOf(outer, y);
    Span inside = SpanOf(inner, y);
    inside = {std::max(inside.from, whole.from), std::min(inside.to, whole.to)};
    if (inside.to <= inside.from) {
      PaintSpan(*surface, y, whole, pen_brush);
      continue;
    }
    PaintSpan(*surface, y, {whole.from, inside.from}, pen_brush);
    PaintSpan(*surface, y, {inside.to, whole.to}, pen_brush);
    if (filled) PaintSpan(*surface, y, inside, fill_brush);
  }
  const int32_t grow = std::clamp(surface->line_width, 0, kWidestPen) / 2 + 1;
  ShowChange(*surface, {x1 - grow, y1 - grow, x2 + grow, y2 + grow});
}

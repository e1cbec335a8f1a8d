// Text on the current target: the position, and one line of UTF-8 printed with the
// target's font and colours. Glyph coverage is blended per channel between the pixel
// under it and the fore colour; everything is clipped to the line's band.
#include <algorithm>
#include <cstdint>

#include "draw/draw.h"
#include "draw/fill.h"
#include "draw/font_table.h"
#include "draw/surface.h"
#include "text/utf8.h"

namespace {
struct Band {
  int32_t left, top, right, bottom;  // right and bottom excluded
};

struct Rgb {
  uint32_t r, g, b;
};

// Added positions are held in range instead of wrapping around.
int32_t Saturated(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN / 2, INT32_MAX / 2));
}

inline uint32_t Blend(uint32_t under, Rgb fore, uint32_t coverage) {
  const uint32_t rest = 255 - coverage;
  const uint32_t r = (((under >> 16) & 0xFF) * rest + fore.r * coverage + 127) / 255;
  const uint32_t g = (((under >> 8) & 0xFF) * rest + fore.g * coverage + 127) / 255;
  const uint32_t b = ((under & 0xFF) * rest + fore.b * coverage + 127) / 255;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// The fore colour over white at every coverage: numbers are printed on white cells, so
// most blends are looked up rather than worked out.
struct Ink {
  Rgb fore;
  uint32_t pixel;
  uint32_t over_white[256];
};

void MakeInk(Colour colour, Ink* ink) {
  const uint32_t c = static_cast<uint32_t>(colour);
  ink->fore = {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
  ink->pixel = PixelOf(colour);
  for (uint32_t coverage = 0; coverage < 256; ++coverage)
    ink->over_white[coverage] = Blend(0xFFFFFFFFu, ink->fore, coverage);
}

// Draws a glyph whose character cell has its top-left corner at (cell_x, cell_y); returns
// the column just right of the last pixel it could touch.
int32_t DrawGlyph(Surface& surface, const Glyph& glyph, int32_t cell_x, int32_t cell_y,
                  const Band& band, const Ink& ink) {
  const int32_t left = cell_x + glyph.left, top = cell_y + glyph.top;
  const int32_t x0 = std::max(left, band.left), x1 = std::min(left + glyph.width, band.right);
  const int32_t y0 = std::max(top, band.top), y1 = std::min(top + glyph.height, band.bottom);
  for (int32_t y = y0; y < y1; ++y) {
    const uint8_t* coverage = glyph.coverage.data() + static_cast<size_t>(y - top) * glyph.width;
    uint32_t* row = surface.pixels.data() + static_cast<size_t>(y) * surface.width;
    int32_t from = x0, to = x1;
    if (!glyph.ink_from.empty()) {
      from = std::max(from, left + glyph.ink_from[static_cast<size_t>(y - top)]);
      to = std::min(to, left + glyph.ink_to[static_cast<size_t>(y - top)]);
    }
    for (int32_t x = from; x < to; ++x) {
      const uint32_t c = coverage[x - left];
      if (c == 0) continue;
      const uint32_t under = row[x] | 0xFF000000u;
      row[x] = c == 255 ? ink.pixel
               : under == 0xFFFFFFFFu ? ink.over_white[c]
                                      : Blend(under, ink.fore, c);
    }
  }
  return left + glyph.width;
}

void FillRows(Surface& surface, const Band& band, int32_t top, int32_t bottom, int32_t from,
              int32_t to, uint32_t pixel) {
  const Brush brush{pixel, kFillSolid, 0, false};
  from = std::max(from, band.left);
  to = std::min(to, band.right);
  for (int32_t y = std::max(top, band.top); y < std::min(bottom, band.bottom); ++y)
    FillSpan(surface.pixels.data() + static_cast<size_t>(y) * surface.width, y, from, to,
             brush);
}

// Draws the text from the position; returns the column right of everything it changed.
int32_t DrawLine(Surface& surface, FontEntry& font, const char* text) {
  const GlyphFontMetrics& metrics = font.metrics;
  const Band band{std::max(surface.x, 0), std::max(surface.y, 0), surface.width,
                  std::min(Saturated(int64_t{surface.y} + surface.line_height), surface.height)};
  const int32_t start = surface.x;
  if (surface.back_opaque) {
    // The character cells are filled before any glyph, as the whole run's extent.
    int64_t extent = 0;
    for (const char* p = text; *p;)
      if (const Glyph* glyph = GlyphOf(font, NextCodepoint(p))) extent += glyph->advance;
    FillRows(surface, band, surface.y, Saturated(int64_t{surface.y} + metrics.height), start,
             Saturated(start + extent), PixelOf(surface.back));
  }
  Ink ink;
  MakeInk(surface.fore, &ink);
  int32_t pen = start;
  int32_t reach = start;
  for (const char* p = text; *p;) {
    const Glyph* glyph = GlyphOf(font, NextCodepoint(p));
    if (!glyph) continue;
    if (pen < band.right)
      reach = std::max(reach, DrawGlyph(surface, *glyph, pen, surface.y, band, ink));
    pen = Saturated(int64_t{pen} + glyph->advance);
  }
  const FontDescription& d = font.description;
  if (d.underline || d.strike_out) {
    const int32_t thickness = std::max(1, metrics.ascent / 14);
    const int32_t baseline = surface.y + metrics.ascent;
    if (d.underline) {
      const int32_t top = baseline + std::max(1, metrics.descent / 4);
      FillRows(surface, band, top, top + thickness, start, pen, ink.pixel);
    }
    if (d.strike_out) {
      const int32_t top = baseline - metrics.ascent * 3 / 10;
      FillRows(surface, band, top, top + thickness, start, pen, ink.pixel);
    }
  }
  surface.x = pen;
  return std::max(pen, reach);
}
}  // namespace

void SetPos(float x, float y) {
  SpinGuard guard(g_drawing_lock);
  Surface* surface = CurrentSurface();
  if (!surface) return;
  surface->x = ToPixel(x);
  surface->y = ToPixel(y);
}

void Print(const char* text) {
  SpinGuard guard(g_drawing_lock);
  Surface* surface = CurrentSurface();
  if (!surface) return;
  if (text && *text) {
    if (FontEntry* font = MadeFont(surface->font)) {
      const int32_t left = surface->x;
      const int32_t right = DrawLine(*surface, *font, text);
      ShowChange(*surface, {left, surface->y, right,
                            Saturated(int64_t{surface->y} + surface->line_height)});
    }
  }
  // The line end.
  surface->x = 0;
  surface->y = Saturated(int64_t{surface->y} + surface->line_height);
}

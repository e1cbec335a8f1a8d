// Whole-surface operations on the current target: clearing, its colours, and copying
// another surface onto it with a raster operation.
#include <algorithm>
#include <cstring>

#include "draw/draw.h"
#include "draw/fill.h"
#include "draw/surface.h"

namespace {
constexpr uint32_t kOpaque = 0xFF000000u;

// The raster operations a copy mode names; the other modes within 0..15 copy plainly.
uint32_t Combine(int32_t mode, uint32_t s, uint32_t d) {
  switch (mode) {
    case 2: return ~(s | d);
    case 4: return ~s;
    case 5: return s & ~d;
    case 7: return s ^ d;
    case 9: return s & d;
    case 12: return ~s | d;
    case 15: return s | d;
    default: return s;
  }
}

bool IsPlainCopy(int32_t mode) {
  return mode != 2 && mode != 4 && mode != 5 && mode != 7 && mode != 9 && mode != 12 &&
         mode != 15;
}
}  // namespace

void Clear(Colour colour, int32_t fill_style) {
  SpinGuard guard(g_drawing_lock);
  Surface* surface = CurrentSurface();
  if (!surface) return;
  bool paint = true;
  Colour fill = colour;
  if (colour == kColourDefault) {
    paint = surface->back_opaque;
    fill = surface->back;
  } else if (colour == kColourNone) {
    paint = false;
  }
  if (paint) {
    const Brush brush{PixelOf(Masked(fill)), CheckedFillStyle(fill_style),
                      PixelOf(surface->back), surface->back_opaque};
    for (int32_t y = 0; y < surface->height; ++y)
      FillSpan(surface->pixels.data() + static_cast<size_t>(y) * surface->width, y, 0,
               surface->width, brush);
  }
  surface->x = 0;
  surface->y = 0;
  ShowChange(*surface, {0, 0, surface->width, surface->height});
}

void SetColours(Colour fore, Colour back) {
  SpinGuard guard(g_drawing_lock);
  Surface* surface = CurrentSurface();
  if (!surface) return;
  if (fore == kColourDefault)
    surface->fore = kWindowTextColour;
  else if (fore != kColourUnchanged)
    surface->fore = Masked(fore);
  if (back == kColourNone) {
    surface->back_opaque = false;
  } else if (back == kColourDefault) {
    surface->back = kButtonFaceColour;
    surface->back_opaque = true;
  } else if (back != kColourUnchanged) {
    surface->back = Masked(back);
    surface->back_opaque = true;
  }
}

void CopyBitmap(uint32_t source, int32_t source_control_id, int32_t mode) {
  SpinGuard guard(g_drawing_lock);
  Surface* target = CurrentSurface();
  if (!target) return;
  const Surface* from = FindSurface(SurfaceCandidate(source, source_control_id));
  if (!from) return;
  if (mode < 0 || mode > 15) mode = 0;
  const int32_t width = std::min(from->width, target->width);
  const int32_t height = std::min(from->height, target->height);
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* s = from->pixels.data() + static_cast<size_t>(y) * from->width;
    uint32_t* d = target->pixels.data() + static_cast<size_t>(y) * target->width;
    if (IsPlainCopy(mode)) {
      // memmove: a surface may be copied onto itself.
      std::memmove(d, s, static_cast<size_t>(width) * sizeof(uint32_t));
    } else {
      for (int32_t x = 0; x < width; ++x) d[x] = kOpaque | Combine(mode, s[x], d[x]);
    }
  }
  ShowChange(*target, {0, 0, target->width, target->height});
}

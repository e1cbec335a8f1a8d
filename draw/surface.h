// What the drawing operations share inside draw/: the surface record, the drawing lock,
// the registry of live surfaces, the thread's current target and the screen hand-off of
// picture-control changes. Every function here expects the drawing lock to be held.
#pragma once
#include <cstdint>
#include <vector>

#include "draw/draw.h"
#include "draw/spin_lock.h"

enum class SurfaceKind { kBitmap, kControl };

struct Surface {
  SurfaceKind kind = SurfaceKind::kBitmap;
  uint32_t handle = 0;  // bitmap handle, or the control's window
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // 0xFFRRGGBB, top-down, `width` pixels a row
  Colour fore = kWindowTextColour;
  Colour back = kButtonFaceColour;
  bool back_opaque = true;
  int32_t line_width = 0;
  int32_t font = 1;
  int32_t line_height = 0;
  int32_t x = 0;
  int32_t y = 0;
};

// A pixel rectangle, right and bottom excluded.
struct PixelRect {
  int32_t left, top, right, bottom;
};

extern SpinLock g_drawing_lock;

// The live surface a handle names, or null.
Surface* FindSurface(uint32_t handle);
// What SelectTarget and CopyBitmap look for: the control a window holds with that id,
// when the front end knows one, else the handle itself.
uint32_t SurfaceCandidate(uint32_t handle, int32_t control_id);
// The calling thread's current target, or null when it has none.
Surface* CurrentSurface();
// Shows a changed area of a picture-control surface on screen now; bitmaps are never shown.
void ShowChange(const Surface& surface, PixelRect changed);

// 0x00BBGGRR -> 0xFFRRGGBB.
inline uint32_t PixelOf(Colour colour) {
  const uint32_t c = static_cast<uint32_t>(colour);
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
// A colour argument with its top byte cleared.
inline Colour Masked(Colour colour) { return colour & 0xFFFFFF; }
// A real coordinate to whole pixels: nearest, ties to even; out-of-range values are held
// well inside int32_t so that later arithmetic cannot overflow.
int32_t ToPixel(float value);

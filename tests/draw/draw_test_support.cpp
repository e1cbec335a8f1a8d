// The shared test helpers: pixel arithmetic done the slow, obvious way, and a fake front
// end whose repaint records what the control showed at that moment.
#include "tests/draw/draw_test_support.h"

#include <cstdlib>

namespace {
std::vector<RepaintCall> g_repaints;
std::vector<uint32_t> g_control_lookups;

uint32_t FindControl(uint32_t window, int32_t control_id) {
  g_control_lookups.push_back(window);
  return window == kWindow && control_id == kControlId ? kControl : 0;
}

bool ClientSize(uint32_t control, int32_t* width, int32_t* height) {
  if (control != kControl) return false;
  *width = kControlWidth;
  *height = kControlHeight;
  return true;
}

void Repaint(uint32_t control, int32_t x, int32_t y, int32_t width, int32_t height) {
  const PixelView view = ControlSurfacePixels(control);
  g_repaints.push_back({control, x, y, width, height,
                        std::vector<uint32_t>(view.pixels,
                                              view.pixels + size_t(view.stride) * view.height)});
}

const ControlHooks kHooks{FindControl, ClientSize, Repaint};

uint32_t Channel(Colour colour, int shift) { return (uint32_t(colour) >> shift) & 0xFF; }
}  // namespace

uint32_t Px(Colour colour) {
  return 0xFF000000u | Channel(colour, 0) << 16 | Channel(colour, 8) << 8 | Channel(colour, 16);
}

uint32_t BlendPx(uint32_t under, Colour fore, uint32_t alpha) {
  auto mix = [&](int under_shift, int fore_shift) {
    const double exact =
        (((under >> under_shift) & 0xFF) * (255.0 - alpha) + Channel(fore, fore_shift) * alpha) /
        255.0;
    return uint32_t(exact + 0.5);
  };
  return 0xFF000000u | mix(16, 0) << 16 | mix(8, 8) << 8 | mix(0, 16);
}

bool IsBlendOf(uint32_t pixel, uint32_t under, Colour fore) {
  for (uint32_t alpha = 0; alpha <= 255; ++alpha)
    if (BlendPx(under, fore, alpha) == pixel) return true;
  return false;
}

Picture CurrentPicture() {
  Picture picture;
  PixelView view;
  if (!LockCurrentTargetPixels(&view)) return picture;
  picture.width = view.width;
  picture.height = view.height;
  for (int32_t y = 0; y < view.height; ++y)
    picture.pixels.insert(picture.pixels.end(), view.pixels + size_t(y) * view.stride,
                          view.pixels + size_t(y) * view.stride + view.width);
  UnlockDrawing();
  return picture;
}

uint32_t NewClearedBitmap(int32_t width, int32_t height, Colour colour) {
  const uint32_t bitmap = NewBitmap(width, height);
  if (bitmap == 0) std::abort();
  SelectTarget(bitmap, 0, 0);
  Clear(colour, 0);
  return bitmap;
}

void StartFakeFrontEnd() {
  SetControlHooks(&kHooks);
  EndControlSurface(kControl);
  NewControlSurface(kControl);
  g_repaints.clear();
  g_control_lookups.clear();
}

void StopFakeFrontEnd() {
  EndControlSurface(kControl);
  SetControlHooks(nullptr);
  g_repaints.clear();
}

std::vector<RepaintCall>& RepaintCalls() { return g_repaints; }

std::vector<uint32_t>& ControlLookups() { return g_control_lookups; }

// Helpers shared by the drawing-layer tests: expected pixel values, copies of the
// current target's pixels, and a fake front end that owns one picture control.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "draw/draw.h"

// 0x00BBGGRR as the surfaces store it (0xFFRRGGBB), worked out independently of draw/.
uint32_t Px(Colour colour);
// Coverage `alpha` of `fore` over `under`, per channel, rounded to nearest.
uint32_t BlendPx(uint32_t under, Colour fore, uint32_t alpha);
// True when the pixel is some blend of `under` and `fore` (one coverage for all channels).
bool IsBlendOf(uint32_t pixel, uint32_t under, Colour fore);

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// The current target's pixels; empty when the thread has none.
Picture CurrentPicture();
// A bitmap, selected and cleared to a colour.
uint32_t NewClearedBitmap(int32_t width, int32_t height, Colour colour);

// The fake front end: window kWindow holds control kControl with id kControlId, whose
// client area is kControlWidth x kControlHeight.
constexpr uint32_t kWindow = 0x10001;
constexpr uint32_t kControl = 0x10002;
constexpr int32_t kControlId = 1001;
constexpr int32_t kControlWidth = 721;
constexpr int32_t kControlHeight = 241;

struct RepaintCall {
  uint32_t control;
  int32_t x, y, width, height;
  std::vector<uint32_t> shown;  // the control's pixels as the repaint saw them
};
// Registers the fake hooks and makes a fresh surface for the control.
void StartFakeFrontEnd();
void StopFakeFrontEnd();
std::vector<RepaintCall>& RepaintCalls();
// The windows the drawing layer asked the fake front end about, in order.
std::vector<uint32_t>& ControlLookups();

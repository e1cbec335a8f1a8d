// A stand-in for the drawing layer's pixel access, so that the bitmap writer can be
// tested on pixels the test chooses (any alpha, a stride wider than the image) and its
// use of the drawing lock can be counted.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "draw/draw.h"

struct FakeTarget {
  bool present = false;  // is there a current drawing target?
  PixelView view;
  int locks = 0;
  int unlocks = 0;
  bool held = false;       // the lock is taken and not yet released
  bool double_lock = false;  // LockCurrentTargetPixels called while held
  bool stray_unlock = false;  // UnlockDrawing called while not held
};
FakeTarget& TheFakeTarget();

// An image of 0xAARRGGBB pixels, `stride` pixels apart, that the fake target shows.
struct FakeImage {
  FakeImage(int32_t width, int32_t height, int32_t stride);
  uint32_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * stride + x]; }
  void MakeCurrent();  // the target from now on
  int32_t width, height, stride;
  std::vector<uint32_t> pixels;
};
void NoFakeTarget();

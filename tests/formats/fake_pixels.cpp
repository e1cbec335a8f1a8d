// The drawing layer's pixel access over a test-chosen image (see fake_pixels.h).
#include "fake_pixels.h"

FakeTarget& TheFakeTarget() {
  static FakeTarget target;
  return target;
}

FakeImage::FakeImage(int32_t w, int32_t h, int32_t s)
    : width(w), height(h), stride(s), pixels(static_cast<size_t>(s) * h, 0xFFFFFFFFu) {}

void FakeImage::MakeCurrent() {
  FakeTarget& target = TheFakeTarget();
  target.present = true;
  target.view.width = width;
  target.view.height = height;
  target.view.stride = stride;
  target.view.pixels = pixels.data();
}

void NoFakeTarget() {
  TheFakeTarget().present = false;
  TheFakeTarget().view = PixelView{};
}

bool LockCurrentTargetPixels(PixelView* view) {
  FakeTarget& target = TheFakeTarget();
  if (target.held) target.double_lock = true;
  if (!target.present) return false;
  ++target.locks;
  target.held = true;
  *view = target.view;
  return true;
}

void UnlockDrawing() {
  FakeTarget& target = TheFakeTarget();
  if (!target.held) target.stray_unlock = true;
  ++target.unlocks;
  target.held = false;
}

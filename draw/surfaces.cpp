// Surfaces as pixel buffers: the registry of live bitmaps and picture-control surfaces,
// the per-thread current target, the drawing lock, and the hand-off of control changes to
// the front end's repaint.
#include <cmath>
#include <memory>
#include <new>
#include <unordered_map>

#include "draw/draw.h"
#include "draw/font_table.h"
#include "draw/surface.h"

SpinLock g_drawing_lock;

namespace {
// Bitmap handles come from a range of their own so that they never look like a window.
constexpr uint32_t kBitmapHandleBase = 0xB1000000u;
constexpr uint32_t kBitmapHandleMask = 0x00FFFFFFu;
// A bitmap larger than this (1 GiB of pixels) is refused rather than attempted.
constexpr int64_t kMostPixels = int64_t{1} << 28;

using SurfaceMap = std::unordered_map<uint32_t, std::unique_ptr<Surface>>;
SurfaceMap g_surfaces;
// The last bitmap ended, its map entry, record and pixels kept whole for the next one: a
// batch ends and makes a card image per card, and fresh memory would cost allocations
// and a page fault every 4 KB each time.
SurfaceMap::node_type g_spare_bitmap;
constexpr size_t kMostSparePixels = size_t{1} << 22;
uint32_t g_bitmap_counter = 0;
ControlHooks g_hooks{};
bool g_have_hooks = false;
thread_local uint32_t t_current = 0;

uint32_t NextBitmapHandle() {
  for (;;) {
    g_bitmap_counter = (g_bitmap_counter + 1) & kBitmapHandleMask;
    const uint32_t handle = kBitmapHandleBase | g_bitmap_counter;
    if (g_bitmap_counter != 0 && g_surfaces.count(handle) == 0) return handle;
  }
}

// A surface in the initial drawing state, or false when its pixels cannot be had.
// `surface` may hold a recycled record; its pixels are kept when they fit.
bool ResetSurface(Surface* surface, SurfaceKind kind, uint32_t handle, int32_t width,
                  int32_t height) {
  if (width < 0 || height < 0 || int64_t{width} * height > kMostPixels) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint32_t> pixels;
  pixels.swap(surface->pixels);
  // A much larger recycled buffer is given back rather than held for a small bitmap.
  if (pixels.capacity() < count || pixels.capacity() / 2 > count)
    std::vector<uint32_t>().swap(pixels);
  try {
    // A bitmap's first pixels are unspecified (every caller clears it), so a recycled
    // buffer is taken as it is; a control starts in the button-face colour.
    if (kind == SurfaceKind::kBitmap)
      pixels.resize(count);
    else
      pixels.assign(count, PixelOf(kButtonFaceColour));
  } catch (const std::bad_alloc&) {
    return false;
  }
  *surface = Surface{};
  surface->pixels.swap(pixels);
  surface->kind = kind;
  surface->handle = handle;
  surface->width = width;
  surface->height = height;
  const FontEntry* font = MadeFont(kDefaultFont);
  surface->line_height = font ? LineHeight(*font) : 0;
  return true;
}

std::unique_ptr<Surface> MakeSurface(SurfaceKind kind, uint32_t handle, int32_t width,
                                     int32_t height) {
  auto surface = std::make_unique<Surface>();
  if (!ResetSurface(surface.get(), kind, handle, width, height)) return nullptr;
  return surface;
}

void Forget(uint32_t handle) {
  auto found = g_surfaces.find(handle);
  if (found == g_surfaces.end()) return;
  const Surface& surface = *found->second;
  if (surface.kind == SurfaceKind::kBitmap && surface.pixels.capacity() <= kMostSparePixels &&
      (g_spare_bitmap.empty() ||
       surface.pixels.capacity() > g_spare_bitmap.mapped()->pixels.capacity())) {
    g_spare_bitmap = g_surfaces.extract(found);
    return;
  }
  g_surfaces.erase(found);
}

// A new bitmap in the map, from the spare entry when there is one.
bool AddBitmap(uint32_t handle, int32_t width, int32_t height) {
  if (g_spare_bitmap.empty()) {
    auto surface = MakeSurface(SurfaceKind::kBitmap, handle, width, height);
    if (!surface) return false;
    g_surfaces.emplace(handle, std::move(surface));
    return true;
  }
  if (!ResetSurface(g_spare_bitmap.mapped().get(), SurfaceKind::kBitmap, handle, width, height))
    return false;
  g_spare_bitmap.key() = handle;
  g_surfaces.insert(std::move(g_spare_bitmap));
  g_spare_bitmap = SurfaceMap::node_type();
  return true;
}
}  // namespace

Surface* FindSurface(uint32_t handle) {
  if (handle == 0) return nullptr;
  auto found = g_surfaces.find(handle);
  return found == g_surfaces.end() ? nullptr : found->second.get();
}

uint32_t SurfaceCandidate(uint32_t handle, int32_t control_id) {
  // A bitmap's handle is never a window, so the front end (a round trip to the window
  // system) need not be asked about it: a batch selects its card image several times a card.
  const Surface* surface = FindSurface(handle);
  if (surface && surface->kind == SurfaceKind::kBitmap) return handle;
  if (g_have_hooks && g_hooks.find_control) {
    const uint32_t control = g_hooks.find_control(handle, control_id);
    if (control != 0) return control;
  }
  return handle;
}

Surface* CurrentSurface() { return FindSurface(t_current); }

void ShowChange(const Surface& surface, PixelRect changed) {
  if (surface.kind != SurfaceKind::kControl || !g_have_hooks || !g_hooks.repaint) return;
  const int32_t left = changed.left < 0 ? 0 : changed.left;
  const int32_t top = changed.top < 0 ? 0 : changed.top;
  const int32_t right = changed.right > surface.width ? surface.width : changed.right;
  const int32_t bottom = changed.bottom > surface.height ? surface.height : changed.bottom;
  if (right <= left || bottom <= top) return;
  g_hooks.repaint(surface.handle, left, top, right - left, bottom - top);
}

int32_t ToPixel(float value) {
  constexpr double kLimit = 1 << 30;
  double v = value;
  if (std::isnan(v)) return 0;
  if (v > kLimit) v = kLimit;
  if (v < -kLimit) v = -kLimit;
  return static_cast<int32_t>(std::nearbyint(v));
}

uint32_t NewBitmap(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  SpinGuard guard(g_drawing_lock);
  const uint32_t handle = NextBitmapHandle();
  return AddBitmap(handle, width, height) ? handle : 0;
}

void EndBitmap() {
  SpinGuard guard(g_drawing_lock);
  const Surface* surface = CurrentSurface();
  if (!surface || surface->kind != SurfaceKind::kBitmap) return;
  Forget(surface->handle);
  t_current = 0;
}

void SelectTarget(uint32_t handle, int32_t control_id, int32_t /*options*/) {
  // Every picture control shows its changes at once; that is the only mode there is.
  bool found;
  {
    SpinGuard guard(g_drawing_lock);
    const uint32_t candidate = SurfaceCandidate(handle, control_id);
    found = FindSurface(candidate) != nullptr;
    t_current = found ? candidate : 0;
  }
  if (!found) RecordRuntimeError(kErrorMisusedDrawing);
}

void SetControlHooks(const ControlHooks* hooks) {
  SpinGuard guard(g_drawing_lock);
  g_have_hooks = hooks != nullptr;
  g_hooks = hooks ? *hooks : ControlHooks{};
}

void NewControlSurface(uint32_t control) {
  if (control == 0) return;
  SpinGuard guard(g_drawing_lock);
  int32_t width = 0, height = 0;
  if (!g_have_hooks || !g_hooks.client_size || !g_hooks.client_size(control, &width, &height))
    return;
  auto surface = MakeSurface(SurfaceKind::kControl, control, width, height);
  if (!surface) return;
  Forget(control);
  g_surfaces.emplace(control, std::move(surface));
  if (!CurrentSurface()) t_current = control;
}

void EndControlSurface(uint32_t control) {
  SpinGuard guard(g_drawing_lock);
  const Surface* surface = FindSurface(control);
  if (surface && surface->kind == SurfaceKind::kControl) Forget(control);
}

PixelView ControlSurfacePixels(uint32_t control) {
  // No lock: this runs inside the repaint of an operation that holds it.
  const Surface* surface = FindSurface(control);
  if (!surface || surface->kind != SurfaceKind::kControl) return {};
  return {surface->width, surface->height, surface->width, surface->pixels.data()};
}

bool LockCurrentTargetPixels(PixelView* view) {
  Acquire(g_drawing_lock);
  const Surface* surface = CurrentSurface();
  if (!surface) {
    Release(g_drawing_lock);
    return false;
  }
  *view = {surface->width, surface->height, surface->width, surface->pixels.data()};
  return true;
}

void UnlockDrawing() { Release(g_drawing_lock); }

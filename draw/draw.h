// The drawing layer: off-screen bitmaps and picture-control surfaces as pixel buffers,
// a current drawing target per thread, colours, clearing, copying, a process-wide font
// table, boxes and text. It is the program's own rasteriser on every platform, so the
// same card is the same pixels everywhere; only glyph coverage comes from the platform.
// Nothing here knows a window system: a front end registers ControlHooks instead.
#pragma once
#include <cstdint>

// Colour values are 0x00BBGGRR. Where an operation says so: -1 default, -2 none, -3 unchanged.
using Colour = int32_t;
constexpr Colour kColourDefault = -1;
constexpr Colour kColourNone = -2;
constexpr Colour kColourUnchanged = -3;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;

// The system colours a surface starts with.
constexpr Colour kWindowTextColour = 0x000000;
constexpr Colour kButtonFaceColour = 0xF0F0F0;
// Points become pixels at this vertical resolution.
constexpr int kDotsPerInch = 96;

// ---- Surfaces and the current target ------------------------------------------
uint32_t NewBitmap(int32_t width, int32_t height);  // 0 on failure; not selected
void EndBitmap();
void SelectTarget(uint32_t handle, int32_t control_id, int32_t options);
void Clear(Colour colour, int32_t fill_style);
void SetColours(Colour fore, Colour back);
void CopyBitmap(uint32_t source, int32_t source_control_id, int32_t mode);

// ---- Fonts -------------------------------------------------------------------
// Face name in UTF-8. Identical requests return the same number; the first font the
// program makes is number 4 (1..3 are built in). 0 on failure.
int32_t NewFont(const char* face, float size, int32_t style, int32_t character_set,
                int32_t pitch_and_family, int32_t escapement);
void SelectFont(int32_t number);

// ---- Boxes and text ----------------------------------------------------------
void SetLineWidth(int32_t width);
void DrawBox(float x1, float y1, float x2, float y2, int32_t corner_percent, Colour outline,
             Colour fill, int32_t fill_style);
void SetPos(float x, float y);
void Print(const char* text);  // UTF-8

// ---- Picture-control surfaces ------------------------------------------------
// What the drawing layer needs of the window system; a front end registers it once.
struct ControlHooks {
  // The child of a window with the given id (GetDlgItem), or 0.
  uint32_t (*find_control)(uint32_t window, int32_t control_id);
  // The client size of a control; false if it cannot be read.
  bool (*client_size)(uint32_t control, int32_t* width, int32_t* height);
  // Show the changed rectangle of the control now, before the drawing call returns.
  // The front end paints it from the surface with PaintControlSurface.
  void (*repaint)(uint32_t control, int32_t x, int32_t y, int32_t width, int32_t height);
};
void SetControlHooks(const ControlHooks* hooks);

void NewControlSurface(uint32_t control);
void EndControlSurface(uint32_t control);  // when the control's window is destroyed

// The pixels of a surface, for painting it and saving it. Rows are top-down and
// `stride` pixels apart; each pixel is 0xFFRRGGBB (the layout Qt and Win32 DIBs use).
struct PixelView {
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
  const uint32_t* pixels = nullptr;
};

// A control's surface for painting; empty when the control has none. Takes no lock:
// it runs inside the repaint of a drawing operation that holds it.
PixelView ControlSurfacePixels(uint32_t control);

// The current target's pixels with the drawing lock held, for the bitmap writer.
// Returns false (and holds nothing) when the thread has no current target.
bool LockCurrentTargetPixels(PixelView* view);
void UnlockDrawing();
// The same for one scope: the lock, when taken, is released however the scope is left.
struct TargetPixelsLock {
  TargetPixelsLock() : held(LockCurrentTargetPixels(&view)) {}
  ~TargetPixelsLock() {
    if (held) UnlockDrawing();
  }
  TargetPixelsLock(const TargetPixelsLock&) = delete;
  TargetPixelsLock& operator=(const TargetPixelsLock&) = delete;
  PixelView view;  // declared before `held`: filled in by the lock
  bool held;
};

// ---- Run-time errors ---------------------------------------------------------
// The last run-time error code recorded (0 if none). Nothing in the program reads it
// to decide anything; tests do.
int32_t LastRuntimeError();
void ClearRuntimeError();
void RecordRuntimeError(int32_t code);
constexpr int32_t kErrorMisusedDrawing = 5;

// The window services the program calls: a dialog window with a picture control, menus,
// a modal loop with a callback, and the end of a window. Portable declarations; the Qt
// front end (ui/qt) and the Win32 front end (ui/win32) realise them. Texts are UTF-8.
#pragma once
#include <cstdint>

#include "ui/messages.h"

// (window, message, wParam, lParam); 0 means "not handled": default processing follows.
using WindowCallback = int32_t (*)(uint32_t window, uint32_t message, uint32_t wparam,
                                   int32_t lparam);

constexpr int32_t POS_DEFAULT = INT32_MIN;  // 0x80000000: no position given
constexpr int32_t UNITS_PIXELS = 2;
constexpr int32_t kPictureControlKind = 14;

// Created hidden. With UNITS_PIXELS, width x height is the client size before a menu
// bar is attached, and (x, y) the outer top-left corner on the screen. 0 on failure.
uint32_t CreateDialogWindow(int32_t flags, uint32_t parent, const char* caption, int32_t x,
                            int32_t y, int32_t width, int32_t height, uint32_t style,
                            uint32_t extended_style);
// Kind 14 is the picture control: its surface is made with NewControlSurface.
void AddControl(int32_t kind, uint32_t parent, int32_t id, const char* text, int32_t x,
                int32_t y, int32_t width, int32_t height, uint32_t style,
                uint32_t extended_style, WindowCallback callback);

uint32_t NewMenu(int32_t kind);  // 0: a menu bar; otherwise a drop-down menu
// Position counts from 1; -1 appends. Flags bit 1: the position is a command id. The
// text "-" makes a separator.
void AddMenuItem(uint32_t menu, uint32_t drop_down, int32_t id, int32_t state,
                 int32_t position, void* item_callback, int32_t flags, const char* text);
void AttachMenu(uint32_t window, uint32_t menu_bar);

// Menu images (the colour swatch beside "Elegir Color"). Both give 0 on failure.
uint32_t LoadMenuImage(const char* bmp_path);
// From 0xFFRRGGBB pixels, top-down rows `stride` pixels apart.
uint32_t MenuImageFromPixels(int32_t width, int32_t height, int32_t stride,
                             const uint32_t* pixels);
// The image for both the checked and unchecked mark of the item at a place (0-based,
// separators count) of a drop-down menu.
void SetMenuItemImage(uint32_t drop_down, int32_t place, uint32_t image);

// Shows the window and runs its messages until it is destroyed; *result then holds
// what EndDialogWindow stored.
void RunModal(uint32_t window, WindowCallback callback, int32_t* result);
void EndDialogWindow(uint32_t window, int32_t result);

// The window that has the keyboard focus (0 for none), and giving it back.
uint32_t FocusWindow();
void SetFocusWindow(uint32_t window);

// Process start-up of the front end (the platform check, the toolkit or COM and the
// common controls), then the main routine; returns the process exit code.
int RunFrontEnd(int argc, char** argv, int (*main_routine)());

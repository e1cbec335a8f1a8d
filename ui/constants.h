// What the shell and both front ends must agree on, named once: the program's name, the
// number of custom colours the chooser keeps, and the number prompt's fixed layout.
#pragma once
#include <cstdint>

// The main window's caption, and the title of a dialog that is given none.
constexpr const char* kProgramName = "Tessarine";

// The colour chooser's custom colours: the caller keeps this many for the whole run.
constexpr int kCustomColourCount = 16;

// The number prompt, in dialog units of the system font.
struct DialogUnitRect {
  int16_t x, y, width, height;
};
// The dialog's own place has no effect: it is centred or placed in pixels.
constexpr DialogUnitRect kPromptDialogRect = {65, 65, 150, 100};
constexpr DialogUnitRect kPromptEditRect = {4, 82, 140, 12};
constexpr DialogUnitRect kPromptOkRect = {104, 5, 40, 10};
constexpr DialogUnitRect kPromptCancelRect = {104, 19, 40, 10};
constexpr DialogUnitRect kPromptTextRect = {5, 5, 95, 72};
// The buttons read the same whatever the language of the rest of the interface.
constexpr const char* kPromptOkText = "OK";
constexpr const char* kPromptCancelText = "Cancel";

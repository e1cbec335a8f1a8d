// The standard dialogs the program uses: a one-line text prompt, a message box and the
// colour chooser. All are modal and return when the user has closed them.
#pragma once
#include <cstdint>
#include <string>

#include "ui/messages.h"

// Caption in the title bar, prompt in the body, one edit field, "OK" and "Cancel".
// A negative x or y centres the dialog. Returns the whole text typed, or "" on Cancel.
std::string PromptForText(const char* prompt, const char* caption, const char* default_text,
                          int16_t x, int16_t y);

// One OK button, no icon for style 0. Returns the id of the closing button.
int32_t ShowMessage(const char* text, int32_t style, const char* title);

// The system colour chooser. Returns the chosen colour (0x00BBGGRR) or -1 on Cancel.
// `custom_colours` (kCustomColourCount entries, ui/constants.h) is shown and written
// back. x, y: POS_DEFAULT or a place relative to the owner's corner.
int32_t PickColour(uint32_t owner, int32_t x, int32_t y, int32_t initial_colour,
                   int32_t* custom_colours, int32_t flags);

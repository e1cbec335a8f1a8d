// Start-up: the default card colour and the main window, an empty white picture with
// the menu above it, run until the user leaves.
#include "app/shell.h"
#include "card/renderer.h"
#include "draw/draw.h"
#include "ui/constants.h"
#include "ui/window.h"

namespace {

// The window's place and client size before the menu bar, and the picture within it.
constexpr int32_t kWindowX = 105;
constexpr int32_t kWindowY = 94;
constexpr int32_t kClientWidth = 739;
constexpr int32_t kClientHeight = 280;
constexpr int32_t kPictureX = 8;
constexpr int32_t kPictureY = 8;


}  // namespace

int MainRoutine() {
  g_card_colour = kDefaultCardColour;
  CreateAndRunMainWindow(0);
  return 0;
}

int32_t CreateAndRunMainWindow(uint32_t parent) {
  const uint32_t main_window =
      CreateDialogWindow(UNITS_PIXELS, parent, kProgramName, kWindowX, kWindowY,
                         kClientWidth, kClientHeight, WS_MINIMIZEBOX, 0);
  AddControl(kPictureControlKind, main_window, IDC_CARD_VIEW, "", kPictureX, kPictureY,
             kPictureWidth, kPictureHeight, WS_CHILD | WS_VISIBLE, 0, nullptr);
  // No card at start: the picture opens white.
  SelectTarget(main_window, IDC_CARD_VIEW, 0);
  SetColours(kBlack, kWhite);
  Clear(kColourDefault, 0);
  BuildMenu(main_window);
  int32_t result = 0;
  RunModal(main_window, CommandCallback, &result);
  return result;
}

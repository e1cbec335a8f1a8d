// The main window's callback: every command of the menu arrives here and runs to its
// end inside it. It answers 0 to everything, so the window's default processing follows.
#include <string>

#include "app/shell.h"
#include "card/random.h"
#include "card/renderer.h"
#include "draw/draw.h"
#include "files/card_files.h"
#include "app/commands.h"
#include "ui/constants.h"
#include "ui/dialogs.h"
#include "ui/window.h"

namespace {

constexpr Colour kChooserStartColour = 0x808080;

// The user's custom colours survive from one use of the chooser to the next.
int32_t g_custom_colours[kCustomColourCount] = {};
uint32_t g_saved_focus = 0;

void ChooseColour(uint32_t main_window) {
  const int32_t chosen = PickColour(main_window, POS_DEFAULT, POS_DEFAULT, kChooserStartColour,
                                    g_custom_colours, CC_FULLOPEN);
  if (chosen <= -1) return;
  // The card on show keeps its colour; the next card takes the new one.
  g_card_colour = chosen;
  BuildMenu(main_window);
  SelectTarget(main_window, IDC_CARD_VIEW, 0);
}

void RunCommand(uint32_t main_window, int32_t id) {
  switch (id) {
    case IDM_CHOOSE_COLOUR:
      ChooseColour(main_window);
      break;
    case IDM_MANY:
      Batch(main_window);
      break;
    case IDM_NEW_ONE:
      ShowCard(main_window, IDC_CARD_VIEW, ClockSeedBitsNow());
      break;
    case IDM_PHOTOCOPY:
      Photocopy(main_window);
      break;
    case IDM_AUTHOR:
      TellUser(std::string("Programa realizado por ") + kAuthorAddress);
      break;
    case IDM_EXIT:
      EndDialogWindow(main_window, 0);
      break;
    default:  // the picture control sends nothing worth an answer
      break;
  }
}

}  // namespace

int32_t CommandCallback(uint32_t window, uint32_t message, uint32_t wparam, int32_t lparam) {
  (void)lparam;
  switch (message) {
    case WM_INITDIALOG:
      g_card_counter = 0;
      break;
    case WM_NCACTIVATE:
      // Focus goes back where it was when the window was left.
      if (wparam == 0) {
        g_saved_focus = FocusWindow();
      } else if (g_saved_focus != 0) {
        SetFocusWindow(g_saved_focus);
        g_saved_focus = 0;
      }
      break;
    case WM_COMMAND:
      RunCommand(window, static_cast<int32_t>(wparam & 0xFFFF));
      break;
    default:
      break;
  }
  return 0;
}

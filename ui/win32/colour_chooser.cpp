// PickColour: the system colour chooser with a hook that places it (beside its owner,
// or centred) and notes whether the user pressed OK.
#include <windows.h>
#include <commdlg.h>

#include <atomic>

#include "ui/constants.h"
#include "ui/dialogs.h"
#include "ui/window.h"
#include "ui/win32/handles.h"

namespace {
constexpr int kDefaultOffset = 30;  // from the owner's corner when no place is given

// Set when OK is pressed; what the chooser leaves in its record on Cancel is not an answer.
std::atomic<bool> g_accepted_mark{false};

struct ChooserPlace {
  int32_t x;
  int32_t y;
  HWND owner;
};

POINT ChooserCorner(HWND chooser, const ChooserPlace& place) {
  RECT owner_rect;
  const bool has_owner = place.owner != nullptr && GetWindowRect(place.owner, &owner_rect);
  const bool given = place.x != POS_DEFAULT && place.y != POS_DEFAULT;
  if (given && has_owner) return POINT{owner_rect.left + place.x, owner_rect.top + place.y};
  if (given) return POINT{place.x, place.y};
  if (has_owner)
    return POINT{owner_rect.left + kDefaultOffset, owner_rect.top + kDefaultOffset};
  RECT own;
  RECT work;
  if (!GetWindowRect(chooser, &own) || !SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
    return POINT{0, 0};
  return POINT{work.right / 2 - (own.right - own.left) / 2,
               work.bottom / 2 - (own.bottom - own.top) / 2};
}

UINT_PTR CALLBACK ChooserHook(HWND chooser, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    const auto* record = reinterpret_cast<const CHOOSECOLORW*>(lparam);
    const auto* place = reinterpret_cast<const ChooserPlace*>(record->lCustData);
    const POINT corner = ChooserCorner(chooser, *place);
    SetWindowPos(chooser, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetForegroundWindow(chooser);
  } else if (message == WM_COMMAND && LOWORD(wparam) == IDOK) {
    g_accepted_mark = true;
  }
  return 0;  // the chooser's own handling goes on unchanged
}
}  // namespace

int32_t PickColour(uint32_t owner, int32_t x, int32_t y, int32_t initial_colour,
                   int32_t* custom_colours, int32_t flags) {
  COLORREF customs[kCustomColourCount] = {};
  if (custom_colours != nullptr)
    for (int i = 0; i < kCustomColourCount; ++i) customs[i] = static_cast<COLORREF>(custom_colours[i]);

  ChooserPlace place{x, y, HandleOf<HWND>(owner)};
  CHOOSECOLORW record{};
  record.lStructSize = sizeof(record);
  record.hwndOwner = place.owner;
  record.rgbResult = static_cast<COLORREF>(initial_colour) & 0xFFFFFF;
  record.lpCustColors = customs;
  record.Flags = static_cast<DWORD>(flags) | CC_RGBINIT | CC_ENABLEHOOK;
  record.lCustData = reinterpret_cast<LPARAM>(&place);
  record.lpfnHook = ChooserHook;

  g_accepted_mark = false;
  ChooseColorW(&record);

  if (custom_colours != nullptr)
    for (int i = 0; i < kCustomColourCount; ++i) custom_colours[i] = static_cast<int32_t>(customs[i]);
  return g_accepted_mark ? static_cast<int32_t>(record.rgbResult) : -1;
}

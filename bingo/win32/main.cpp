// tessarine-bingo.exe: the bingo window. The game lives in the user's data folder
// (%APPDATA%\Tessarine), one game at a time; a second window on it is refused.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "bingo/win32/bingo_window.h"
#include "disk/user_folders.h"
#include "text/utf16_win32.h"

namespace {
void ShowError(HWND owner, const std::string& text) {
  const std::wstring wide = WideOfUtf8(text);
  const std::wstring title = WideOfUtf8(kBingoTitle);
  MessageBoxW(owner, wide.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

// The menu's keys; Space and Ctrl+Z are the window's own (BingoKey), since in an edit
// field they are the field's.
HACCEL MakeAccelerators() {
  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, 'N', IDM_NEW_GAME},      {FVIRTKEY | FCONTROL, 'P', IDM_PREPARE_CARDS},
      {FVIRTKEY | FCONTROL, 'S', IDM_SAVE_RECORD},   {FVIRTKEY, VK_F11, IDM_FULL_SCREEN},
      {FVIRTKEY, VK_F5, IDM_HALL_SCREEN},
      {FVIRTKEY | FCONTROL, 'Q', IDM_QUIT},          {FVIRTKEY | FCONTROL, VK_RETURN, IDC_CONFIRM},
      {FVIRTKEY | FCONTROL | FSHIFT, 'N', IDM_NEXT_GAME},
      {FVIRTKEY | FCONTROL | FSHIFT, 'V', IDM_SELL_CARDS},
      {FVIRTKEY | FCONTROL | FSHIFT, 'E', IDM_START_SOLD_GAME},
      {FVIRTKEY | FCONTROL | FSHIFT, 'S', IDM_SAVE_NIGHT_RECORD},
  };
  return CreateAcceleratorTableW(keys, sizeof(keys) / sizeof(keys[0]));
}

int RunBingo(HINSTANCE instance) {
  BingoWindow bingo;
  const std::string game_folder = UserDataFolder();
  if (game_folder.empty()) {
    ShowError(nullptr, "No se sabe cuál es la carpeta de datos del usuario: falta APPDATA");
    return 1;
  }
  bingo.voice = OpenVoice();
  if (!RegisterBingoClasses(instance) || CreateBingoWindow(&bingo, instance, game_folder) == nullptr) return 1;
  ShowWindow(bingo.window, SW_SHOW);
  UpdateWindow(bingo.window);
  const std::string refused = OpenBingo(&bingo);
  if (!refused.empty()) {
    ShowError(bingo.window, refused);
    DestroyWindow(bingo.window);
    CloseVoice(&bingo.voice);
    return 1;
  }
  const HACCEL keys = MakeAccelerators();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The caller's keys are the caller's window's: in the hall's, F11 is its own.
    const bool in_hall = bingo.hall.window != nullptr && message.hwnd == bingo.hall.window;
    if (!in_hall && TranslateAcceleratorW(bingo.window, keys, &message)) continue;
    if (BingoKey(&bingo, message)) continue;
    if (IsDialogMessageW(bingo.window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DestroyAcceleratorTable(keys);
  CloseBingo(&bingo.bingo);
  CloseVoice(&bingo.voice);
  return 0;
}
}  // namespace

int main() {
  CoInitialize(nullptr);
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  const int result = RunBingo(GetModuleHandleW(nullptr));
  CoUninitialize();
  return result;
}

// Process start-up of the Win32 front end: the platform check, COM, the common controls,
// then the program's main routine; its result becomes the exit code.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "ui/win32/picture_control.h"
#include "ui/window.h"

namespace {
constexpr DWORD kStartUpControlClasses = 0x706F;
// ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES
constexpr DWORD kLibraryControlClasses = 0x9FF;
constexpr UINT kNoSupportStyle = MB_TASKMODAL | MB_SETFOREGROUND;  // 0x12000
constexpr int kUnsupportedExitCode = 255;

bool IsWindowsNt() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExA(&version)) return false;
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The common controls once more through COMCTL32.DLL itself, by name; a missing library
// or export is no reason to stop.
void InitCommonControlsFromLibrary() {
  const HMODULE library = LoadLibraryA("COMCTL32.DLL");
  if (library == nullptr) return;
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const FARPROC found = GetProcAddress(library, "InitCommonControlsEx");
  if (found != nullptr) {
    const INITCOMMONCONTROLSEX classes{8, kLibraryControlClasses};
    reinterpret_cast<InitEx>(reinterpret_cast<void*>(found))(&classes);
  } else {
    InitCommonControls();
  }
  FreeLibrary(library);
}
}  // namespace

int RunFrontEnd(int /*argc*/, char** /*argv*/, int (*main_routine)()) {
  if (!IsWindowsNt()) {
    MessageBoxA(nullptr, "Win98 No Support", nullptr, kNoSupportStyle);
    return kUnsupportedExitCode;
  }
  CoInitialize(nullptr);
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), kStartUpControlClasses};
  InitCommonControlsEx(&classes);
  InitCommonControlsFromLibrary();
  EnsureControlHooks();

  const int result = main_routine();
  CoUninitialize();
  return result;
}

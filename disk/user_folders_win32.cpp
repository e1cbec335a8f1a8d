// The user's pictures folder on Windows: the Pictures known folder, else the user's
// profile folder, as the shell names them (wide characters, handed on as UTF-8).
// SHGetKnownFolderPath is looked up at run time rather than imported: it is not in the
// shell of the NT releases before Vista, and an import the loader cannot resolve would
// stop the program before it starts. There the older SHGetFolderPathW answers instead.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "disk/user_folders.h"
#include "text/utf16_win32.h"

namespace {
constexpr const char* kDataFolderName = "Tessarine";

using KnownFolderPath = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);

// "" when the shell does not know the folder. It is not made here: the caller makes
// what it needs, with its parents.
std::string KnownFolder(REFKNOWNFOLDERID id, int older_id) {
  std::string folder;
  const HMODULE shell = GetModuleHandleW(L"shell32.dll");
  const auto known = shell == nullptr ? nullptr
                                      : reinterpret_cast<KnownFolderPath>(reinterpret_cast<void*>(
                                            GetProcAddress(shell, "SHGetKnownFolderPath")));
  if (known != nullptr) {
    PWSTR path = nullptr;
    if (SUCCEEDED(known(id, 0, nullptr, &path)) && path != nullptr) folder = Utf8OfWide(path);
    CoTaskMemFree(path);  // owed even when the call failed
    return folder;
  }
  wchar_t path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, older_id, nullptr, 0, path))) folder = Utf8OfWide(path);
  return folder;
}

}  // namespace

std::string UserPicturesFolder() {
  const std::string pictures = KnownFolder(FOLDERID_Pictures, CSIDL_MYPICTURES);
  return pictures.empty() ? KnownFolder(FOLDERID_Profile, CSIDL_PROFILE) : pictures;
}

std::string UserDataFolder() {
  const std::string data = KnownFolder(FOLDERID_RoamingAppData, CSIDL_APPDATA);
  return data.empty() ? "" : data + "\\" + kDataFolderName;
}

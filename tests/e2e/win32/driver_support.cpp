#include "tests/e2e/win32/driver_support.h"

#include <cstdio>

int g_passed = 0;
int g_failed = 0;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], bytes,
                      nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], count);
  return out;
}

bool Check(bool condition, const std::string& what) {
  std::printf("%s - %s\n", condition ? "ok" : "FALLO", what.c_str());
  std::fflush(stdout);
  (condition ? g_passed : g_failed) += 1;
  return condition;
}

bool WaitUntil(const std::function<bool()>& ready, DWORD limit_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (ready()) return true;
    if (GetTickCount() - start > limit_ms) return false;
    Sleep(20);
  }
}

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
    return std::wstring();
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 63);
  return name;
}

bool Launch(const std::wstring& exe, const wchar_t* folder, Program* program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command_line = L"\"" + exe + L"\"";
  return CreateProcessW(exe.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder, &startup, &program->process) != FALSE;
}

namespace {
struct WindowSearch {
  DWORD process_id;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK TakeStaticText(HWND child, LPARAM data) {
  auto* out = reinterpret_cast<std::wstring*>(data);
  if (ClassOf(child) != L"Static") return TRUE;
  *out = WindowText(child);
  return out->empty();  // the icon is a Static without text
}
}  // namespace

std::vector<HWND> TopWindowsOf(DWORD process_id) {
  WindowSearch search{process_id, {}};
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindDialog(const Program& program, const std::wstring& title) {
  for (HWND window : TopWindowsOf(program.process.dwProcessId)) {
    if (window == program.main || ClassOf(window) != L"#32770") continue;
    if (title.empty() || WindowText(window) == title) return window;
  }
  return nullptr;
}

HWND WaitForDialog(const Program& program, const std::wstring& title, DWORD limit_ms) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(program, title)) != nullptr; }, limit_ms);
  return found;
}

bool WaitGone(HWND window) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  EnumChildWindows(box, TakeStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

void Settle(const Program& program) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(program.main, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &ignored);
}

void Command(const Program& program, int id) {
  PostMessageW(program.main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

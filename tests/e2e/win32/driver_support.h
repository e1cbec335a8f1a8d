// What the Windows end-to-end drivers share: checks counted into "N passed, M failed",
// waiting, and finding and reading the driven program's windows from another process.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

constexpr DWORD kPatienceMs = 30000;  // how long a window may take to come or go

// Counted by Check; each driver prints them at its end.
extern int g_passed;
extern int g_failed;

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);

// Prints "ok - WHAT" or "FALLO - WHAT" and counts it; returns the condition.
bool Check(bool condition, const std::string& what);
// Polls until `ready` holds; false when the limit passed first.
bool WaitUntil(const std::function<bool()>& ready, DWORD limit_ms = kPatienceMs);

std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);

struct Program {
  PROCESS_INFORMATION process{};
  HWND main = nullptr;
};

// Starts the program with no arguments, in `folder` (its own current folder when null).
bool Launch(const std::wstring& exe, const wchar_t* folder, Program* program);
// The program's visible top-level windows.
std::vector<HWND> TopWindowsOf(DWORD process_id);
// A visible top-level dialog of the program with this title (any title when empty),
// other than the main window.
HWND FindDialog(const Program& program, const std::wstring& title);
HWND WaitForDialog(const Program& program, const std::wstring& title,
                   DWORD limit_ms = kPatienceMs);
bool WaitGone(HWND window);
// The text of a message box: its static text child.
std::wstring MessageBoxText(HWND box);
// Returns once the program's thread has finished what was posted before.
void Settle(const Program& program);
// A menu command, posted: it may open a dialog the caller then waits for.
void Command(const Program& program, int id);

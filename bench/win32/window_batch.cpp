// Under Wine: a batch made through tessarine.exe's window ("Muchas", answered with N) timed
// against `tessarine-cards.exe --count N` for the same N, in alternating rounds, each into
// a fresh folder. Prints every round, the medians per card, the spread and the ratio
// (target: at most 3). The window's time runs from the answer to the closing message.
//
//   window_batch.exe PROGRAM_FOLDER N ROUNDS
// PROGRAM_FOLDER holds tessarine.exe and tessarine-cards.exe; "muchas" lands there.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {
constexpr int IDM_EXIT = 1005;
constexpr int IDM_MANY = 1007;
constexpr int IDC_INPUT_TEXT = 101;
constexpr DWORD kPatienceMs = 600000;

double Now() {
  static LARGE_INTEGER frequency{};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Search {
  DWORD process_id;
  const wchar_t* title;  // null: any dialog other than `except`
  HWND except;
  HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || !IsWindowVisible(window) || window == search->except)
    return TRUE;
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 127);
  if (search->title && std::wcscmp(text, search->title) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

// Polls often: the time to notice the closing message counts against the window.
HWND WaitForWindow(DWORD process_id, const wchar_t* title, HWND except = nullptr) {
  const DWORD start = GetTickCount();
  for (;;) {
    Search search{process_id, title, except, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (GetTickCount() - start > kPatienceMs) return nullptr;
    Sleep(1);
  }
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  const HANDLE listing = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
  }
  RemoveDirectoryW(folder.c_str());
}

bool Run(const std::wstring& exe, std::wstring arguments, const std::wstring& folder,
         PROCESS_INFORMATION* process) {
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, process) != FALSE;
}

// Seconds for N cards through the window, or a negative number on failure.
double WindowBatch(const std::wstring& folder, int count) {
  RemoveFolder(folder + L"\\muchas");
  PROCESS_INFORMATION process{};
  if (!Run(folder + L"\\tessarine.exe", L"", folder, &process)) return -1;
  double seconds = -1;
  const HWND main = WaitForWindow(process.dwProcessId, L"Tessarine");
  if (main) {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_MANY, 0), 0);
    const HWND dialog = WaitForWindow(process.dwProcessId, L"Cuantos cartones quieres ?");
    if (dialog) {
      const std::wstring answer = std::to_wstring(count);
      SendMessageW(GetDlgItem(dialog, IDC_INPUT_TEXT), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(answer.c_str()));
      const double start = Now();
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      const HWND box = WaitForWindow(process.dwProcessId, L"Programador");
      if (box) {
        seconds = Now() - start;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }
    }
    Sleep(100);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
  }
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  RemoveFolder(folder + L"\\muchas");
  return seconds;
}

// Seconds for N cards from tessarine-cards.exe, process start included.
double CommandLineBatch(const std::wstring& folder, int count) {
  const std::wstring out = folder + L"\\cli-cards";
  RemoveFolder(out);
  PROCESS_INFORMATION process{};
  const double start = Now();
  if (!Run(folder + L"\\tessarine-cards.exe",
           L"--count " + std::to_wstring(count) + L" --out \"" + out + L"\"", folder, &process))
    return -1;
  const bool ended = WaitForSingleObject(process.hProcess, kPatienceMs) == WAIT_OBJECT_0;
  const double seconds = Now() - start;
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  RemoveFolder(out);
  return ended && code == 0 ? seconds : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "uso: window_batch.exe CARPETA N RONDAS\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  const int count = _wtoi(argv[2]);
  const int rounds = _wtoi(argv[3]);
  if (count <= 0 || rounds <= 0) return 2;
  std::vector<double> window, cli, ratios;
  for (int round = 0; round < rounds; ++round) {
    double w, c;
    if (round % 2 == 0) {
      w = WindowBatch(folder, count);
      c = CommandLineBatch(folder, count);
    } else {
      c = CommandLineBatch(folder, count);
      w = WindowBatch(folder, count);
    }
    if (w <= 0 || c <= 0) {
      std::printf("round %d failed (window %.3f s, tessarine-cards.exe %.3f s)\n", round + 1, w, c);
      return 1;
    }
    std::printf("round %d: %d cards through the window %.3f s; tessarine-cards.exe %.3f s; "
                "ratio %.2f\n", round + 1, count, w, c, w / c);
    std::fflush(stdout);
    window.push_back(w);
    cli.push_back(c);
    ratios.push_back(w / c);
  }
  std::printf("wine median: window %.2f ms a card, tessarine-cards.exe %.2f ms a card\n",
              1000 * Median(window) / count, 1000 * Median(cli) / count);
  std::printf("wine ratio: %.2f (median; rounds from %.2f to %.2f; target at most 3)\n",
              Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  return 0;
}

// Drives tessarine.exe as a user would, from another process: finds its window, checks
// its place and sizes, chooses menu commands, answers the number dialog, reads and
// closes the message boxes, checks the colour chooser and the files written, and ends
// the program. Prints one line per check and "N passed, M failed" at the end.
//
//   driver.exe PROGRAM.exe WORK_FOLDER [OLD_SYSTEM_PROGRAM.exe]
// PROGRAM.exe's folder receives "muchas" (once, with a file of that name in the way, the
// user's Pictures folder receives it); WORK_FOLDER is its current folder, where
// photocopies land. Both start without card files. OLD_SYSTEM_PROGRAM.exe is a copy of
// the program that Wine tells it runs on Windows 98, where it must refuse to start.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/shell.h"
#include "tests/e2e/win32/driver_support.h"

namespace {
constexpr int IDC_INPUT_TEXT = 101;
constexpr int IDC_INPUT_PROMPT = 102;
constexpr int64_t kCardFileBytes = 521578;
constexpr int kPictureWidth = 721;
constexpr int kPictureHeight = 241;
constexpr COLORREF kStartColour = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kChooserInitialColour = RGB(0x80, 0x80, 0x80);
const wchar_t* const kMessageTitle = L"Programador";
const wchar_t* const kPromptCaption = L"Cuantos cartones quieres ?";

// Waits for the program's message box, checks its text and presses its OK.
void ExpectMessage(const Program& program, const std::wstring& expected) {
  const HWND box = WaitForDialog(program, kMessageTitle);
  if (!Check(box != nullptr, "a message box titled \"Programador\" appears")) return;
  const std::wstring text = MessageBoxText(box);
  Check(text == expected, "message text \"" + Utf8(text) + "\" is \"" + Utf8(expected) + "\"");
  Check(IsWindowEnabled(program.main) != FALSE, "the main window stays enabled under the box");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  Check(WaitGone(box), "the message box closes with OK");
}

// The author's message, whose address is not fixed here.
void ExpectAuthorMessage(const Program& program, const std::string& what) {
  const HWND box = WaitForDialog(program, kMessageTitle);
  Check(box != nullptr && MessageBoxText(box).rfind(L"Programa realizado por ", 0) == 0, what);
  if (box == nullptr) return;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  WaitGone(box);
}

// Chooses "Muchas" and answers the number dialog; empty answer = Cancel.
void AnswerMany(const Program& program, const std::wstring& answer) {
  Command(program, IDM_MANY);
  const HWND dialog = WaitForDialog(program, kPromptCaption);
  if (!Check(dialog != nullptr, "\"Muchas\" opens \"Cuantos cartones quieres ?\"")) return;
  Check(WindowText(GetDlgItem(dialog, IDC_INPUT_PROMPT)) == L"<De 1 a 30000>",
        "the dialog shows \"<De 1 a 30000>\"");
  Check(IsWindowEnabled(program.main) != FALSE, "the main window stays enabled under the dialog");
  const HWND edit = GetDlgItem(dialog, IDC_INPUT_TEXT);
  if (answer.empty()) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  } else {
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.c_str()),
                        SMTO_NORMAL, 5000, nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  Check(WaitGone(dialog), "the number dialog closes");
}

std::wstring Folder(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>* bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  bytes->resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  const BOOL ok = bytes->empty() ||
                  ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr);
  CloseHandle(file);
  return ok && read == bytes->size();
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// A saved card: a 721 x 241, 24-bit bitmap of 521,578 bytes.
bool CheckCardFile(const std::wstring& path, std::vector<uint8_t>* bytes) {
  const std::string name = Utf8(path);
  if (!Check(ReadWholeFile(path, bytes), name + " exists")) return false;
  const bool shape = bytes->size() == kCardFileBytes && (*bytes)[0] == 'B' &&
                     (*bytes)[1] == 'M' && Le32(*bytes, 18) == kPictureWidth &&
                     Le32(*bytes, 22) == kPictureHeight && (*bytes)[28] == 24;
  return Check(shape, name + " is a 721 x 241 24-bit bitmap of 521,578 bytes (" +
                          std::to_string(bytes->size()) + ")");
}

// Pixel (x, y) of a saved card, top-left origin, as a COLORREF.
COLORREF FilePixel(const std::vector<uint8_t>& bmp, int x, int y) {
  const size_t row_bytes = ((kPictureWidth * 3) + 3) & ~size_t{3};
  const size_t at = 54 + (kPictureHeight - 1 - y) * row_bytes + 3 * x;
  return RGB(bmp[at + 2], bmp[at + 1], bmp[at]);
}

bool AllWhite(const std::vector<uint8_t>& bmp) {
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x)
      if (FilePixel(bmp, x, y) != RGB(255, 255, 255)) return false;
  return true;
}

// The picture as it is on the screen.
COLORREF ScreenPixel(HWND picture, int x, int y) {
  POINT at{x, y};
  ClientToScreen(picture, &at);
  const HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool Start(const std::wstring& exe, const std::wstring& work_folder, Program* program) {
  if (!Launch(exe, work_folder.c_str(), program)) return false;
  WaitUntil([&] {
    for (HWND window : TopWindowsOf(program->process.dwProcessId))
      if (WindowText(window) == L"Tessarine") program->main = window;
    return program->main != nullptr;
  });
  return program->main != nullptr;
}

bool EndsWithCode(const Program& program, DWORD expected) {
  if (WaitForSingleObject(program.process.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
    TerminateProcess(program.process.hProcess, 99);
    return false;
  }
  DWORD code = 1;
  GetExitCodeProcess(program.process.hProcess, &code);
  return code == expected;
}

void CheckWindow(const Program& program) {
  RECT outer{};
  GetWindowRect(program.main, &outer);
  Check(outer.left == 105 && outer.top == 94,
        "the window opens at (105, 94): (" + std::to_string(outer.left) + ", " +
            std::to_string(outer.top) + ")");
  RECT client{};
  GetClientRect(program.main, &client);
  Check(client.right == 739, "client width 739: " + std::to_string(client.right));
  // The menu bar takes its height from the 280 pixels; the outer size stays.
  const int bar_height = GetSystemMetrics(SM_CYMENU);
  Check(GetMenu(program.main) != nullptr && client.bottom == 280 - bar_height,
        "a menu bar, and client height 280 less its " + std::to_string(bar_height) + ": " +
            std::to_string(client.bottom));
  const LONG style = GetWindowLongW(program.main, GWL_STYLE);
  Check((style & WS_SYSMENU) == 0, "no system menu and no close box");
  // The menu's items cannot be read from another process under Wine; the screenshot
  // shows them.

  const HWND picture = GetDlgItem(program.main, IDC_CARD_VIEW);
  RECT picture_client{};
  GetClientRect(picture, &picture_client);
  POINT corner{0, 0};
  MapWindowPoints(picture, program.main, &corner, 1);
  Check(picture != nullptr && picture_client.right == kPictureWidth &&
            picture_client.bottom == kPictureHeight,
        "picture 721 x 241: " + std::to_string(picture_client.right) + " x " +
            std::to_string(picture_client.bottom));
  Check(corner.x == 8 && corner.y == 8, "picture at (8, 8) of the client area");
  Check(WaitUntil([&] {
          return ScreenPixel(picture, 0, 0) == RGB(255, 255, 255) &&
                 ScreenPixel(picture, 360, 120) == RGB(255, 255, 255) &&
                 ScreenPixel(picture, 720, 240) == RGB(255, 255, 255);
        }),
        "the picture starts white on the screen");
}

// The card's frame: column 0 and row 0 white, (1, 1) in the card colour.
bool ShowsCardIn(COLORREF colour, const std::function<COLORREF(int, int)>& pixel) {
  return pixel(0, 0) == RGB(255, 255, 255) && pixel(1, 1) == colour && pixel(79, 79) == colour &&
         pixel(80, 80) == RGB(255, 255, 255) && pixel(720, 120) == RGB(255, 255, 255);
}

// Wine copies a window's pixels to the X screen a moment after they are painted.
bool ScreenShowsCardIn(COLORREF colour, HWND picture) {
  return WaitUntil([&] {
    return ShowsCardIn(colour, [&](int x, int y) { return ScreenPixel(picture, x, y); });
  });
}

void CheckColourChooser(const Program& program, bool accept) {
  Command(program, IDM_CHOOSE_COLOUR);
  const HWND chooser = WaitForDialog(program, L"");
  if (!Check(chooser != nullptr, "\"Elegir Color\" opens the colour chooser")) return;
  RECT main_rect{};
  RECT chooser_rect{};
  GetWindowRect(program.main, &main_rect);
  GetWindowRect(chooser, &chooser_rect);
  Check(chooser_rect.left == main_rect.left + 30 && chooser_rect.top == main_rect.top + 30,
        "the chooser opens at the window's corner + (30, 30): (" +
            std::to_string(chooser_rect.left) + ", " + std::to_string(chooser_rect.top) + ")");
  Check(IsWindowEnabled(program.main) == FALSE, "the main window is disabled under the chooser");
  PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(accept ? IDOK : IDCANCEL, BN_CLICKED), 0);
  Check(WaitGone(chooser), accept ? "the chooser closes with OK" : "the chooser closes with Cancel");
  Check(WaitUntil([&] { return IsWindowEnabled(program.main) != FALSE; }),
        "the main window is enabled again");
  Settle(program);
}

int RunScenario(const std::wstring& exe, const std::wstring& work) {
  const std::wstring exe_folder = Folder(exe);
  Program program;
  if (!Check(Start(exe, work, &program), "tessarine.exe starts and shows \"Tessarine\""))
    return 1;
  WaitUntil([&] { return IsWindowVisible(program.main) != FALSE; });
  Settle(program);
  CheckWindow(program);
  // The modal loop treats WM_QUIT like any other message: the command posted after it
  // still arrives.
  PostThreadMessageW(program.process.dwThreadId, WM_QUIT, 0, 0);
  Command(program, IDM_AUTHOR);
  ExpectAuthorMessage(program, "after WM_QUIT the program still answers \"Autor\"");
  const HWND picture = GetDlgItem(program.main, IDC_CARD_VIEW);
  std::vector<uint8_t> bmp;

  // Before any card, a photocopy is the white picture.
  Command(program, IDM_PHOTOCOPY);
  ExpectMessage(program, L"Fotocopia Archivada ...");
  if (CheckCardFile(work + L"\\0001.bmp", &bmp))
    Check(AllWhite(bmp), "the first photocopy is all white");
  Check(!FileExists(exe_folder + L"0001.bmp"), "no photocopy beside the executable");

  Command(program, IDM_NEW_ONE);
  Settle(program);
  Check(ScreenShowsCardIn(kStartColour, picture), "\"Nuevo 1\" shows a card in C0C0C0 on the screen");

  // The whole answer counts, however long: 299 zeros and a 1 make one card.
  AnswerMany(program, std::wstring(299, L'0') + L"1");
  ExpectMessage(program, L"Creados 1 cartones del bingo ...");

  AnswerMany(program, L"3");
  ExpectMessage(program, L"Creados 3 cartones del bingo ...");
  std::vector<uint8_t> cards[3];
  bool all_cards = true;
  for (int i = 0; i < 3; ++i) {
    all_cards = CheckCardFile(exe_folder + L"muchas\\000" + std::to_wstring(i + 1) + L".bmp",
                              &cards[i]) && all_cards;
  }
  Check(!FileExists(exe_folder + L"muchas\\0004.bmp"), "no fourth card in muchas");
  if (all_cards) {
    Check(cards[0] != cards[1] && cards[1] != cards[2] && cards[0] != cards[2],
          "the three cards differ");
    Check(ShowsCardIn(kStartColour, [&](int x, int y) { return FilePixel(cards[2], x, y); }),
          "a saved card has its frame in C0C0C0");
  }

  // Photocopies continue the batch's numbering, in the current folder.
  Command(program, IDM_PHOTOCOPY);
  ExpectMessage(program, L"Fotocopia Archivada ...");
  std::vector<uint8_t> copy;
  if (CheckCardFile(work + L"\\0004.bmp", &copy) && all_cards)
    Check(copy == cards[2], "the photocopy holds the last card of the batch");

  AnswerMany(program, L"abc");
  ExpectMessage(program, L"Tienes que escribir un n\u00famero de 1 a 30.000 ...");
  AnswerMany(program, L"30001");
  ExpectMessage(program, L"Excedes el n\u00famero permitido de cartones ...");
  // Cancel shows nothing: the next message to come is the author's.
  AnswerMany(program, L"");
  Command(program, IDM_AUTHOR);
  ExpectAuthorMessage(program, "after Cancel the next message is \"Programa realizado por ...\"");

  // The colour applies from the next card on; Cancel changes nothing. The cancelled
  // batch above set the counter back to 0, so photocopies start again at 0001.
  CheckColourChooser(program, false);
  Command(program, IDM_NEW_ONE);
  Settle(program);
  Check(ScreenShowsCardIn(kStartColour, picture), "after Cancel the next card is still C0C0C0");
  Command(program, IDM_PHOTOCOPY);
  ExpectMessage(program, L"Fotocopia Archivada ...");
  if (CheckCardFile(work + L"\\0001.bmp", &bmp)) {
    Check(bmp != copy, "\"Nuevo 1\" made a new card");
    Check(ShowsCardIn(kStartColour, [&](int x, int y) { return FilePixel(bmp, x, y); }),
          "its photocopy has the frame in C0C0C0");
  }
  CheckColourChooser(program, true);
  Check(ScreenShowsCardIn(kStartColour, picture), "the card on show keeps its colour");
  Command(program, IDM_NEW_ONE);
  Settle(program);
  Check(ScreenShowsCardIn(kChooserInitialColour, picture),
        "after OK the next card takes the chooser's colour 808080");
  Command(program, IDM_PHOTOCOPY);
  ExpectMessage(program, L"Fotocopia Archivada ...");
  if (CheckCardFile(work + L"\\0002.bmp", &bmp))
    Check(ShowsCardIn(kChooserInitialColour, [&](int x, int y) { return FilePixel(bmp, x, y); }),
          "its photocopy has the frame in 808080");

  Command(program, IDM_EXIT);
  Check(EndsWithCode(program, 0), "\"Salir\" ends the program with exit code 0");
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);

  // The system's close command ends it the same way.
  Program second;
  if (Check(Start(exe, work, &second), "tessarine.exe starts again")) {
    WaitUntil([&] { return IsWindowVisible(second.main) != FALSE; });
    PostMessageW(second.main, WM_SYSCOMMAND, SC_CLOSE, 0);
    Check(EndsWithCode(second, 0), "the system close command ends it with exit code 0");
    CloseHandle(second.process.hThread);
    CloseHandle(second.process.hProcess);
  }
  return 0;
}

std::wstring PicturesFolder() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &path)) && path != nullptr)
    folder = path;
  CoTaskMemFree(path);
  return folder;
}

// Where "muchas" cannot be made beside the program (a file of that name is in the way),
// the batch goes to "muchas" in the user's Pictures folder and the message names it.
// What this makes is removed again: the Pictures folder may be the user's own.
void RunWithNoFolderBeside(const std::wstring& exe, const std::wstring& work) {
  const std::wstring beside = Folder(exe) + L"muchas";
  for (const wchar_t* name : {L"\\0001.bmp", L"\\0002.bmp", L"\\0003.bmp"})
    DeleteFileW((beside + name).c_str());
  RemoveDirectoryW(beside.c_str());
  const HANDLE in_the_way = CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!Check(in_the_way != INVALID_HANDLE_VALUE, "a file \"muchas\" beside the program")) return;
  CloseHandle(in_the_way);
  const std::wstring pictures = PicturesFolder();
  Check(!pictures.empty(), "the user has a Pictures folder: " + Utf8(pictures));
  const std::wstring fallback = pictures + L"\\muchas";
  const bool fallback_was_there = FileExists(fallback);
  Program program;
  if (Check(Start(exe, work, &program), "tessarine.exe starts beside a file \"muchas\"")) {
    WaitUntil([&] { return IsWindowVisible(program.main) != FALSE; });
    AnswerMany(program, L"2");
    ExpectMessage(program, L"Creados 2 cartones del bingo en " + fallback + L" ...");
    std::vector<uint8_t> bmp;
    CheckCardFile(fallback + L"\\0001.bmp", &bmp);
    CheckCardFile(fallback + L"\\0002.bmp", &bmp);
    Command(program, IDM_EXIT);
    Check(EndsWithCode(program, 0), "\"Salir\" ends it with exit code 0");
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
  }
  Check(GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES &&
            (GetFileAttributesW(beside.c_str()) & FILE_ATTRIBUTE_DIRECTORY) == 0,
        "the file \"muchas\" beside the program is still a file");
  DeleteFileW((fallback + L"\\0001.bmp").c_str());
  DeleteFileW((fallback + L"\\0002.bmp").c_str());
  if (!fallback_was_there) RemoveDirectoryW(fallback.c_str());
  DeleteFileW(beside.c_str());
}

// Outside the NT family the program says so and ends with 255, making no window.
void RunOnOldSystem(const std::wstring& exe, const std::wstring& work) {
  Program program;
  if (!Check(Launch(exe, work.c_str(), &program), "the program starts on a Windows 98 system"))
    return;
  const HWND box = WaitForDialog(program, L"");
  if (Check(box != nullptr, "it shows a message box")) {
    const std::wstring text = MessageBoxText(box);
    Check(text == L"Win98 No Support", "the message is \"Win98 No Support\": \"" + Utf8(text) + "\"");
    Check(FindWindowW(nullptr, L"Tessarine") == nullptr, "no main window is made");
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  Check(EndsWithCode(program, 255), "it ends with exit code 255");
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
}

std::wstring FullPath(const wchar_t* path) {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(path, MAX_PATH, full, nullptr);
  return full;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "uso: driver.exe PROGRAMA.exe CARPETA [PROGRAMA_WIN98.exe]\n");
    return 2;
  }
  RunScenario(FullPath(argv[1]), FullPath(argv[2]));
  RunWithNoFolderBeside(FullPath(argv[1]), FullPath(argv[2]));
  if (argc == 4) RunOnOldSystem(FullPath(argv[3]), FullPath(argv[2]));
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}

// Drives tessarine-bingo.exe as the organiser would, from another process: starts a game
// from a list through the menu and the file dialog, draws a ball, marks typed and clicked
// numbers, undoes one, claims by card number, by code and by a scanned barcode, confirms
// a prize, turns on the players' page (checked from Linux by run.sh with curl), saves the
// record, kills the program and continues the game in a new one.
// Writes the events it played to EVENTS (for the Linux record beside the Windows one).
// Prints one line per check and "N passed, M failed" at the end.
//
//   bingo_driver.exe PROGRAM.exe LIST.csv WORK_FOLDER EVENTS.txt
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "bingo/win32/control_ids.h"
#include "bingo/win32/form.h"
#include "tests/e2e/win32/driver_support.h"

namespace {
constexpr int kFileNameCombo = 0x47C;  // cmb13: the file name in the common file dialogs
constexpr int kFileNameEdit = 0x480;   // edt1: the same in the older style
const wchar_t* const kTitle = L"Tessarine Bingo";

std::vector<std::string> g_events;  // as played: "call 47", "draw 47", "undo", "confirm"
// A ball called either way: marked ("call 47") or drawn by the window ("draw 47"); the
// number from the sixth character on in both.
bool IsBall(const std::string& event) {
  return event.rfind("call ", 0) == 0 || event.rfind("draw ", 0) == 0;
}

HWND Item(const Program& program, int id) { return GetDlgItem(program.main, id); }
std::string TextOf(const Program& program, int id) { return Utf8(WindowText(Item(program, id))); }
bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A command that opens no dialog, done before this returns.
void Click(const Program& program, int id) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(program.main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(Item(program, id)), SMTO_NORMAL, kPatienceMs, &ignored);
}

// Types into a field as a keyboard (or a barcode scanner) does: the characters, Enter.
// The window empties the field when it has done what Enter asks; the field is read only
// between two messages of the window, so once it reads empty the command has ended.
bool Type(const Program& program, int id, const std::string& text) {
  const HWND field = Item(program, id);
  for (wchar_t c : Wide(text)) PostMessageW(field, WM_CHAR, static_cast<WPARAM>(c), 1);
  if (!WaitUntil([&] { return Utf8(WindowText(field)) == text; })) return false;
  PostMessageW(field, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(field, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u));
  return WaitUntil([&] { return WindowText(field).empty(); });
}

// Answers the file dialog of this title with a path.
bool AnswerFileDialog(const Program& program, const std::wstring& title, const std::string& path) {
  const HWND dialog = WaitForDialog(program, title);
  if (dialog == nullptr) return false;
  HWND name = GetDlgItem(dialog, kFileNameCombo);
  if (name == nullptr) name = GetDlgItem(dialog, kFileNameEdit);
  if (name == nullptr) return false;
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(path).c_str()));
  Press(dialog, IDOK);
  return WaitGone(dialog);
}

// Answers a message box of the program; its text, "" when none came.
std::string AnswerMessage(const Program& program, int answer, DWORD limit_ms = kPatienceMs) {
  const HWND box = WaitForDialog(program, kTitle, limit_ms);
  if (box == nullptr) return std::string();
  const std::string text = Utf8(MessageBoxText(box));
  Press(box, answer);
  WaitGone(box);
  Settle(program);
  return text;
}

// The window that has the keyboard focus in the program's thread.
HWND FocusOf(const Program& program) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(program.process.dwThreadId, &info)) return nullptr;
  return info.hwndFocus;
}

// A key pressed where the focus is, through the program's message loop. The caller
// waits for what the key does.
void PressKey(const Program& program, WPARAM key) {
  HWND target = FocusOf(program);
  if (target == nullptr) target = program.main;
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

bool FocusComesTo(const Program& program, int id) {
  if (WaitUntil([&] { return FocusOf(program) == Item(program, id); }, 5000)) return true;
  std::printf("  # el foco está en %p (%ls), no en el control %d\n",
              static_cast<void*>(FocusOf(program)), ClassOf(FocusOf(program)).c_str(), id);
  return false;
}

// What the screen shows of a control, read back from the screen: 0x00RRGGBB, row by row.
struct Capture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};
Capture CaptureOnScreen(HWND control) {
  Capture found;
  RECT place;
  if (!GetWindowRect(control, &place)) return found;
  found.width = place.right - place.left;
  found.height = place.bottom - place.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = found.width;
  info.bmiHeader.biHeight = -found.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, found.width, found.height, screen, place.left, place.top, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  if (pixels != nullptr) found.pixels.assign(pixels, pixels + found.width * found.height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return found;
}

struct Colours {
  int card = 0;   // pixels of the cards' colour
  int white = 0;
};
// A control's pixels of the cards' colour and its white ones, as the screen shows them.
Colours ColoursOnScreen(HWND control) {
  Colours found;
  for (uint32_t pixel : CaptureOnScreen(control).pixels) {
    if ((pixel & 0xFFFFFF) == 0x1F5FBF) ++found.card;
    if ((pixel & 0xFFFFFF) == 0xFFFFFF) ++found.white;
  }
  return found;
}

// What the screen shows of a window once its paint has settled (two looks a tenth of a
// second apart the same), as a 32-bit BMP file for the tools on Linux.
bool SaveOnScreen(HWND window, const std::string& path) {
  Capture shot = CaptureOnScreen(window);
  for (int look = 0; look < 50; ++look) {
    Sleep(100);
    Capture again = CaptureOnScreen(window);
    const bool settled = again.pixels == shot.pixels;
    shot = std::move(again);
    if (settled) break;
  }
  if (shot.pixels.empty()) return false;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = shot.width;
  info.biHeight = -shot.height;  // top-down, as captured
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  const DWORD pixel_bytes = static_cast<DWORD>(shot.pixels.size() * 4);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + pixel_bytes;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  out.write(reinterpret_cast<const char*>(shot.pixels.data()), pixel_bytes);
  return static_cast<bool>(out);
}

HWND MainWindowOf(const Program& program) {
  for (HWND window : TopWindowsOf(program.process.dwProcessId))
    if (ClassOf(window) == L"TessarineBingo") return window;
  return nullptr;
}

bool Start(const std::wstring& exe, Program* program) {
  if (!Launch(exe, nullptr, program)) return false;
  return WaitUntil([&] { return (program->main = MainWindowOf(*program)) != nullptr; });
}

void Kill(Program* program) {
  TerminateProcess(program->process.hProcess, 9);
  WaitForSingleObject(program->process.hProcess, kPatienceMs);
  CloseHandle(program->process.hProcess);
  CloseHandle(program->process.hThread);
  program->main = nullptr;
}

bool Ended(Program* program) {
  const bool ended = WaitForSingleObject(program->process.hProcess, kPatienceMs) == WAIT_OBJECT_0;
  CloseHandle(program->process.hProcess);
  CloseHandle(program->process.hThread);
  return ended;
}

std::string GameFolder() {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path)))
    folder = Utf8(path) + "\\Tessarine";
  CoTaskMemFree(path);
  return folder;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A card of a list (archivo,codigo,fila1,fila2,fila3): its code and its rows' numbers.
struct ListedCard {
  std::string code;
  std::vector<std::vector<int>> rows;
};

std::vector<ListedCard> ListedCards(const std::string& list) {
  std::ifstream in(list);
  std::string line;
  std::getline(in, line);  // the header
  std::vector<ListedCard> cards;
  while (std::getline(in, line)) {
    ListedCard card;
    std::stringstream fields(line);
    std::string field;
    for (int i = 0; std::getline(fields, field, ','); ++i) {
      if (i == 1) card.code = field;
      if (i < 2) continue;
      std::stringstream cells(field);
      std::string cell;
      std::vector<int> row;
      while (cells >> cell)
        if (cell != "--") row.push_back(std::stoi(cell));
      card.rows.push_back(row);
    }
    cards.push_back(card);
  }
  return cards;
}

std::vector<std::vector<int>> FirstCardRows(const std::string& list) {
  const std::vector<ListedCard> cards = ListedCards(list);
  return cards.empty() ? std::vector<std::vector<int>>() : cards[0].rows;
}

// The number the status line says was called ("Bola 47" or "Bola 47: cuarenta y siete").
// The program's recording of a number, from the executable's own resources, played from
// memory as the window plays it when `play`; "" when found (and PlaySound took it), else
// what failed.
std::string PlayEmbeddedRecording(const std::wstring& exe, int number, bool play) {
  const HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (image == nullptr) return "no se abre el ejecutable";
  std::string failed = "no trae la grabación";
  const HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(number), MAKEINTRESOURCEW(10));
  const HGLOBAL loaded = found == nullptr ? nullptr : LoadResource(image, found);
  const void* wave = loaded == nullptr ? nullptr : LockResource(loaded);
  // Played to its end before the image is let go: its bytes are the image's.
  if (wave != nullptr && !play) failed = "";
  if (wave != nullptr && play)
    failed = PlaySoundW(static_cast<const wchar_t*>(wave), nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT)
                 ? ""
                 : "PlaySound la rechaza";
  FreeLibrary(image);
  return failed;
}

int CalledNumber(const std::string& status) {
  if (!StartsWith(status, "Bola ")) return 0;
  return std::atoi(status.c_str() + 5);
}

// Clicks the board's cell: the rightmost column holds 9, 19, ... 99 whatever the width
// of the last number's column, so a point just inside the right edge finds them.
void ClickBoardNumberEndingInNine(const Program& program, int number) {
  const HWND board = Item(program, IDC_BOARD);
  RECT client;
  GetClientRect(board, &client);
  const int x = client.right - 4;
  const int y = static_cast<int>((number / 10 + 0.5) * client.bottom / 10.0);
  // Posted: the click asks the caller first, and the question waits for its answer.
  PostMessageW(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(board, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// The "bola" lines of a record CSV, times aside: what a continued game must keep.
std::vector<std::string> BallLines(const std::string& csv) {
  std::vector<std::string> lines;
  std::stringstream in(csv);
  std::string line;
  while (std::getline(in, line)) {
    if (!StartsWith(line, "bola,")) continue;
    std::vector<std::string> fields;
    std::stringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, ',')) fields.push_back(cell);
    if (fields.size() < 4) continue;
    const bool undone = line.find("anulada") != std::string::npos;
    lines.push_back(fields[1] + " " + fields[3] + (undone ? " anulada" : ""));
  }
  return lines;
}

// The record's title is asked once a game (`asks_title`): the one offered is taken.
std::string SaveRecordAs(const Program& program, const std::string& base, bool asks_title) {
  Command(program, IDM_SAVE_RECORD);
  if (asks_title) {
    const HWND form = WaitForDialog(program, kTitle);
    if (form == nullptr || GetDlgItem(form, IDC_FORM_FIRST_FIELD) == nullptr) return std::string();
    Press(form, IDOK);
    WaitGone(form);
  }
  if (!AnswerFileDialog(program, L"Acta de la partida (se guarda en PDF y en CSV)", base + ".pdf"))
    return std::string();
  Settle(program);
  return TextOf(program, IDC_STATUS);
}

// "Preparar cartones…" with how many cards and their folder filled in, not yet accepted;
// null when the form did not come.
// A cage's ball in no row of the first card and not yet called, from `highest` down.
int BallOffTheCard(const std::vector<std::vector<int>>& rows, int highest) {
  int ball = highest;
  for (; ball > 0; --ball) {
    bool taken = false;
    for (const std::string& event : g_events)
      taken = taken || (IsBall(event) && std::atoi(event.c_str() + 5) == ball);
    for (const auto& row : rows)
      for (int n : row) taken = taken || n == ball;
    if (!taken) break;
  }
  return ball;
}

// The hall's window of this program: its own class, not the caller's window; null if none.
HWND HallWindowOf(const Program& program) {
  HWND found = nullptr;
  while ((found = FindWindowExW(nullptr, found, L"TessarineBingoHall", nullptr)) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(found, &process);
    if (process == program.process.dwProcessId) return found;
  }
  return nullptr;
}

// Opened from the menu, the hall's window follows the next ball; the menu closes it.
void CheckHallScreen(const Program& program, const std::vector<std::vector<int>>& rows) {
  Command(program, IDM_HALL_SCREEN);
  HWND hall = nullptr;
  WaitUntil([&] { return (hall = HallWindowOf(program)) != nullptr && IsWindowVisible(hall); }, 10000);
  if (!Check(hall != nullptr && hall != program.main, "«Pantalla de la sala…» abre su propia ventana"))
    return;
  Check(StartsWith(TextOf(program, IDC_HALL_STATUS), "Pantalla de la sala: abierta en "),
        "la ventana del locutor dice dónde: " + TextOf(program, IDC_HALL_STATUS));
  const int ball = BallOffTheCard(rows, 98);
  Type(program, IDC_NUMBER, std::to_string(ball));
  g_events.push_back("call " + std::to_string(ball));
  const std::string title = "Pantalla de la sala: " + std::to_string(ball);
  WaitUntil([&] { return Utf8(WindowText(hall)) == title; }, 10000);
  Check(Utf8(WindowText(hall)) == title, "la sala sigue la bola: " + Utf8(WindowText(hall)));
  Command(program, IDM_HALL_SCREEN);
  // The caller's line goes when the window hears that the hall's has gone, a message later.
  const auto closed = [&] {
    return HallWindowOf(program) == nullptr && !IsWindowVisible(Item(program, IDC_HALL_STATUS));
  };
  WaitUntil(closed, 10000);
  Check(closed(), "el menú la cierra otra vez");
}

// The last ball that stands, from the events played: 0 before the first.
int LastBall() {
  std::vector<int> standing;
  for (const std::string& event : g_events) {
    if (event == "undo" && !standing.empty()) standing.pop_back();
    if (IsBall(event)) standing.push_back(std::atoi(event.c_str() + 5));
  }
  return standing.empty() ? 0 : standing.back();
}

// One step of the players' page checked from Linux by run.sh (page_checks), which fetches
// the page with curl as a phone would and sends it hostile requests: its line written to
// WORK\\NAME.txt (whole, by a rename), then the end of its checks awaited in WORK\\NAME.hecho.
// Meanwhile the window is asked, again and again, to answer a message: it must never hang
// whatever the phones send. False when the step did not end or the window hung.
bool CheckedFromLinux(const Program& program, const std::string& work, const std::string& name,
                      const std::string& line) {
  const std::string path = work + "\\" + name;
  {
    std::ofstream out(path + ".tmp", std::ios::binary);
    out << line << "\n";
  }
  if (!MoveFileExW(Wide(path + ".tmp").c_str(), Wide(path + ".txt").c_str(), MOVEFILE_REPLACE_EXISTING))
    return false;
  bool answered = true;
  DWORD slowest = 0;
  const bool done = WaitUntil([&] {
    const DWORD asked = GetTickCount();
    DWORD_PTR ignored = 0;
    answered = answered && SendMessageTimeoutW(program.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
    slowest = std::max(slowest, GetTickCount() - asked);
    return FileExists(path + ".hecho");
  }, 90000);
  std::printf("  # %s: la ventana respondió siempre (%s), en %lu ms a lo más\n", name.c_str(),
              answered ? "sí" : "no", static_cast<unsigned long>(slowest));
  return done && answered;
}

bool PageSwitchOn(const Program& program) {
  return SendMessageW(Item(program, IDC_PAGE), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// "Página para móviles", off until the caller turns it on: its address and QR code shown
// on the caller's window and the hall's (both QR codes read back from the screen on Linux),
// the page and its state fetched by curl with the last ball in it, hostile requests
// answered while the window keeps answering, a ball drawn then seen in the state and the
// event stream, and nothing served once off.
void CheckPlayersPage(const Program& program, const std::string& work) {
  const HWND view = Item(program, IDC_PAGE_VIEW);
  Check(!PageSwitchOn(program) && !IsWindowVisible(view), "«Página para móviles» empieza apagada");
  PostMessageW(Item(program, IDC_PAGE), BM_CLICK, 0, 0);
  WaitUntil([&] { return IsWindowVisible(view) && StartsWith(Utf8(WindowText(view)), "http://"); }, 10000);
  // A Windows build made where the page's libraries could not be fetched says so.
  if (TextOf(program, IDC_STATUS) == "Este programa se hizo sin la página para móviles") {
    std::printf("  omitida - la página para móviles: este programa se hizo sin ella\n");
    std::ofstream(work + "\\pagina-sin.txt") << "sin\n";
    return;
  }
  const std::string address = Utf8(WindowText(view));
  Check(PageSwitchOn(program) && StartsWith(address, "http://") && address.back() == '/',
        "encendida, muestra su dirección: " + address);
  Check(TextOf(program, IDC_STATUS) == "Página para móviles: " + address,
        "y la dice: " + TextOf(program, IDC_STATUS));
  Check(SaveOnScreen(view, work + "\\pagina-qr.bmp") && SaveOnScreen(program.main, work + "\\pagina-ventana.bmp"),
        "la dirección y su código QR, tomados de la pantalla");
  // The hall's screen shows them too, for the room to scan.
  Command(program, IDM_HALL_SCREEN);
  HWND hall = nullptr;
  WaitUntil([&] { return (hall = HallWindowOf(program)) != nullptr && IsWindowVisible(hall); }, 10000);
  // Full screen, as a projector shows it.
  PostMessageW(hall, WM_KEYDOWN, VK_F11, 1);
  WaitUntil([&] {
    RECT place{};
    return GetWindowRect(hall, &place) && place.right - place.left == GetSystemMetrics(SM_CXSCREEN);
  }, 10000);
  Settle(program);
  Check(hall != nullptr && SaveOnScreen(hall, work + "\\pagina-sala.bmp"),
        "la pantalla de la sala, a pantalla completa con la página encendida, tomada de la pantalla");
  Command(program, IDM_HALL_SCREEN);
  WaitUntil([&] { return HallWindowOf(program) == nullptr; }, 10000);
  Check(CheckedFromLinux(program, work, "pagina-1", address + " " + std::to_string(LastBall())),
        "curl lee la página y su estado desde Linux, y la ventana responde a las peticiones hostiles (pagina.log)");
  // Fewer than fifteen balls stand: this one cannot make a bingo that would ask first.
  Click(program, IDC_DRAW);
  const int ball = CalledNumber(TextOf(program, IDC_STATUS));
  Check(ball >= 1, "con la página encendida, «Sacar bola» saca una: " + TextOf(program, IDC_STATUS));
  g_events.push_back("draw " + std::to_string(ball));
  Check(CheckedFromLinux(program, work, "pagina-2", std::to_string(ball)),
        "el " + std::to_string(ball) + " sacado, curl lo ve en el estado y en los eventos");
  PostMessageW(Item(program, IDC_PAGE), BM_CLICK, 0, 0);
  WaitUntil([&] { return !IsWindowVisible(view); }, 10000);
  Check(!PageSwitchOn(program) && !IsWindowVisible(view) &&
            TextOf(program, IDC_STATUS) == "Página para móviles: apagada",
        "apagada, la dirección se va: " + TextOf(program, IDC_STATUS));
  Check(CheckedFromLinux(program, work, "pagina-3", "apagada"), "y la página ya no se sirve");
}

HWND AskRun(const Program& program, const wchar_t* count, const std::string& folder) {
  Command(program, IDM_PREPARE_CARDS);
  const HWND form = WaitForDialog(program, L"Preparar cartones");
  if (form == nullptr) return nullptr;
  SendMessageW(GetDlgItem(form, IDC_FORM_FIRST_FIELD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(count));
  SendMessageW(GetDlgItem(form, IDC_FORM_FIRST_FIELD + 4), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(Wide(folder).c_str()));
  return form;
}

// A game of 90 from two series prepared in the window: a 91 refused as no ball of the
// cage, a cartón's code scanned into the ball field, and the record of its kind of cards.
void PlayNinety(const Program& program, const std::string& work) {
  const std::string folder = work + "\\series";
  const HWND form = AskRun(program, L"2", folder);
  if (!Check(form != nullptr, "«Preparar cartones…» de series")) return;
  SendMessageW(GetDlgItem(form, IDC_FORM_FIRST_FIELD + 6), CB_SETCURSEL, 1, 0);  // 90 balls
  Press(form, IDOK);
  AnswerMessage(program, IDNO, 120000);  // the sheets not opened
  Check(AnswerMessage(program, IDYES) == "¿Empezar la partida con esta lista?", "ofrece la partida de 90");
  const HWND in_play = WaitForDialog(program, kTitle);
  if (in_play != nullptr) Press(in_play, IDOK);
  Settle(program);
  Check(TextOf(program, IDC_STATUS) == "Partida nueva con 12 cartones",
        "dos series, doce cartones: " + TextOf(program, IDC_STATUS));
  Type(program, IDC_NUMBER, "91");
  Check(TextOf(program, IDC_STATUS) == "El 91 no está en el bombo: las bolas van del 1 al 90",
        "el 91 no está en el bombo: " + TextOf(program, IDC_STATUS));
  std::ifstream list(folder + "\\cartones.csv");
  std::string header, first;
  std::getline(list, header);
  std::getline(list, first);
  const std::string code = first.substr(first.find(',') + 1, 8);
  Check(code.size() == 8 && code[6] == '-', "el código de un cartón de 90: " + code);
  Click(program, IDC_DRAW);
  const int drawn = CalledNumber(TextOf(program, IDC_STATUS));
  Check(drawn >= 1 && drawn <= 90, "una bola del 1 al 90: " + TextOf(program, IDC_STATUS));
  Type(program, IDC_NUMBER, code);
  Check(StartsWith(TextOf(program, IDC_VERDICT), "No es línea"),
        "el código escaneado comprueba el cartón: " + TextOf(program, IDC_VERDICT));
  const std::string record = work + "\\acta90";
  SaveRecordAs(program, record, true);
  Check(ReadAll(record + ".csv").find("cartones,,,,,,\"de 90 bolas, en series de 6\"") != std::string::npos,
        "el acta dice que se jugó con cartones de 90");
}

// Answers the program's one-line question with `text`, or with what it offers when null.
bool AnswerText(const Program& program, const wchar_t* text) {
  const HWND form = WaitForDialog(program, kTitle);
  if (form == nullptr || GetDlgItem(form, IDC_FORM_FIRST_FIELD) == nullptr) return false;
  if (text != nullptr)
    SendMessageW(GetDlgItem(form, IDC_FORM_FIRST_FIELD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  Press(form, IDOK);
  return WaitGone(form);
}

// A command of the menu that opens no dialog, done once the status line says something new.
void CommandAndWait(const Program& program, int id) {
  const std::string before = TextOf(program, IDC_STATUS);
  Command(program, id);
  WaitUntil([&] { return TextOf(program, IDC_STATUS) != before; }, 10000);
}

// The next game's sale from the end of the game in play: the same list, its money and
// its cartones sold as ranges; `other_list` when it is another.
void AnswerNextSale(const Program& program, const std::string& other_list,
                    const std::vector<const wchar_t*>& money_and_sold) {
  Check(AnswerMessage(program, IDYES) == "La partida ha terminado. ¿Preparar la siguiente partida de la noche?",
        "la última bola da paso a la siguiente partida");
  const std::string same = AnswerMessage(program, other_list.empty() ? IDYES : IDNO);
  Check(StartsWith(same, "¿La siguiente partida con la misma lista, "), "pregunta por la lista: " + same);
  if (!other_list.empty()) Check(AnswerFileDialog(program, L"Lista de cartones", other_list), "otra lista");
  for (const wchar_t* answer : money_and_sold) Check(AnswerText(program, answer), "precio, premios y ventas");
  Settle(program);
}

// Balls drawn and prizes confirmed until the game's last prize, whose questions `at_the_end`
// answers.
void PlayOut(const Program& program, const std::function<void()>& at_the_end) {
  for (int step = 0; step < 400; ++step) {
    if (StartsWith(TextOf(program, IDC_PRIZE), "Partida terminada")) return;
    if (!IsWindowEnabled(Item(program, IDC_CONFIRM))) {
      Click(program, IDC_DRAW);
      continue;
    }
    const bool last = StartsWith(TextOf(program, IDC_PRIZE), "Se juega: bingo");
    PostMessageW(program.main, WM_COMMAND, MAKEWPARAM(IDC_CONFIRM, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(program, IDC_CONFIRM)));
    if (!last) {
      Settle(program);
      continue;
    }
    at_the_end();
    return;
  }
}

// Two cartones whose first rows share a number, the rest of both filling no row of
// either: called in that order, the shared number gives both the línea on one ball.
struct Tie {
  int a = -1, b = -1, number = 0;
  std::vector<int> before;
};

bool FillsARow(const ListedCard& card, const std::vector<int>& called) {
  for (const std::vector<int>& row : card.rows) {
    bool full = !row.empty();
    for (int n : row) full = full && std::find(called.begin(), called.end(), n) != called.end();
    if (full) return true;
  }
  return false;
}

Tie FindTie(const std::vector<ListedCard>& cards) {
  for (int a = 0; a < static_cast<int>(cards.size()); ++a)
    for (int b = a + 1; b < static_cast<int>(cards.size()); ++b)
      for (int shared : cards[a].rows[0]) {
        const std::vector<int>& other = cards[b].rows[0];
        if (std::find(other.begin(), other.end(), shared) == other.end()) continue;
        std::vector<int> rest;
        for (const std::vector<int>* row : {&cards[a].rows[0], &other})
          for (int n : *row)
            if (n != shared && std::find(rest.begin(), rest.end(), n) == rest.end()) rest.push_back(n);
        if (!FillsARow(cards[a], rest) && !FillsARow(cards[b], rest)) return {a, b, shared, rest};
      }
  return {};
}

// The night's record CSV reconciled by its own lines: each game's takings are its
// cartones at its price, its prizes' shares and cents left over make each amount, what
// stays is the takings less the shares, and the night's totals are the sums.
bool Reconciles(const std::string& csv, std::string* why) {
  std::map<std::string, std::map<std::string, long long>> sum;
  std::stringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string game = line.substr(0, line.find(','));
    const size_t after = game.size() + 1;
    const std::string section = line.substr(after, line.find(',', after) - after);
    const std::string cents = line.substr(line.rfind(',') + 1);
    if (!cents.empty()) sum[game][section] += std::stoll(cents);
    if (section == "en juego") sum[game]["vendidos"] = std::stoll(line.substr(line.find(" (") + 2));
  }
  long long takings = 0, paid = 0;
  for (auto& [game, total] : sum) {
    if (game == "noche") continue;
    if (total["recaudacion"] != total["vendidos"] * total["precio"] ||
        total["pago"] + total["sobrante"] != total["importe"] ||
        total["caja"] != total["recaudacion"] - total["pago"]) {
      *why = "la partida " + game + " no cuadra";
      return false;
    }
    takings += total["recaudacion"];
    paid += total["pago"];
  }
  *why = std::to_string(sum.size() - 1) + " partidas, " + std::to_string(takings) + " céntimos";
  return sum.size() == 4 && sum["noche"]["recaudacion"] == takings && sum["noche"]["pagos"] == paid &&
         sum["noche"]["caja"] == takings - paid;
}

// The night continued in a new window: the second game's sale as it was, the game played,
// the third on the series' list with a tied línea, and the night's record saved and
// reconciled.
void ContinueNight(const std::wstring& exe, Program* program, const std::vector<ListedCard>& cards,
                   const std::string& work) {
  if (!Check(Start(exe, program), "tessarine-bingo.exe abre otra vez la noche")) return;
  const std::string offer = AnswerMessage(*program, IDYES);
  Check(offer == "Continuar la noche: venta de la partida 2 (3 cartones vendidos)?", "ofrece: " + offer);
  Type(*program, IDC_NUMBER, cards[4].code);
  Check(TextOf(*program, IDC_STATUS) == "El cartón 0005 ya está vendido", "vendido dos veces: " + TextOf(*program, IDC_STATUS));
  Command(*program, IDM_SELL_CARDS);
  Check(AnswerText(*program, L"15-16"), "más vendidos por rangos");
  Settle(*program);
  Check(TextOf(*program, IDC_MONEY).find("Recaudación: 10,00 € (5 cartones a 2,00 €)") != std::string::npos,
        "la venta sigue tras matarla: " + TextOf(*program, IDC_MONEY));
  CommandAndWait(*program, IDM_START_SOLD_GAME);
  const std::string series_list = work + "\\series\\cartones.csv";
  const std::vector<ListedCard> series = ListedCards(series_list);
  const Tie tie = FindTie(series);
  if (!Check(tie.number > 0, "dos cartones de series que empatan la línea")) return;
  std::wstring sold = std::to_wstring(tie.a + 1) + L"," + std::to_wstring(tie.b + 1);
  for (int card = 0, more = 0; more < 4; ++card) {
    if (card == tie.a || card == tie.b) continue;
    sold += L"," + std::to_wstring(card + 1);
    ++more;
  }
  PlayOut(*program, [&] { AnswerNextSale(*program, series_list, {L"1", L"10 %", L"60 %", sold.c_str()}); });
  CommandAndWait(*program, IDM_START_SOLD_GAME);
  for (int n : tie.before) Type(*program, IDC_NUMBER, std::to_string(n));
  Type(*program, IDC_NUMBER, std::to_string(tie.number));
  Check(SendMessageW(Item(*program, IDC_WINNERS), LB_GETCOUNT, 0, 0) == 2, "dos cartones cantan línea a la vez");
  Click(*program, IDC_CONFIRM);
  Check(TextOf(*program, IDC_STATUS) == "Premio confirmado: línea, 0,60 € entre 2: 0,30 € cada uno",
        "el empate, al céntimo: " + TextOf(*program, IDC_STATUS));
  PlayOut(*program, [&] { AnswerMessage(*program, IDNO); });
  Command(*program, IDM_SAVE_NIGHT_RECORD);
  Check(AnswerText(*program, nullptr), "el título del acta de la noche");
  const std::string record = work + "\\acta-noche";
  Check(AnswerFileDialog(*program, L"Acta de la partida (se guarda en PDF y en CSV)", record + ".pdf"),
        "el acta de la noche se guarda");
  Settle(*program);
  Check(StartsWith(TextOf(*program, IDC_STATUS), "Acta de la noche guardada en "), TextOf(*program, IDC_STATUS));
  std::string why;
  const bool reconciles = Reconciles(ReadAll(record + ".csv"), &why);
  Check(reconciles, "el CSV de la noche cuadra: " + why);
}


// A night of three games: the first sold by ranges and played, the second's sale begun
// with cartones scanned at the door and the window killed; then continued.
void PlayNight(const std::wstring& exe, Program* program, const std::string& list, const std::string& work) {
  const std::vector<ListedCard> cards = ListedCards(list);
  Command(*program, IDM_NEXT_GAME);
  Check(AnswerMessage(*program, IDYES) == "Hay una partida en curso. ¿Dejarla y empezar otra?",
        "la noche empieza dejando la partida de 90");
  AnswerMessage(*program, IDNO);  // not the series' list
  Check(AnswerFileDialog(*program, L"Lista de cartones", list), "la lista de la noche");
  for (const wchar_t* answer : {static_cast<const wchar_t*>(nullptr), L"1,50", L"15 %", L"50 %", L"1-12"})
    Check(AnswerText(*program, answer), "la moneda, el precio, los premios y los vendidos");
  Settle(*program);
  Check(TextOf(*program, IDC_STATUS) == "Venta de la partida 1: 12 cartones vendidos, 18,00 €",
        "la venta: " + TextOf(*program, IDC_STATUS));
  Check(TextOf(*program, IDC_MONEY).find("Recaudación: 18,00 € (12 cartones a 1,50 €)\nLínea (15 %): 2,70 €") !=
            std::string::npos,
        "la recaudación y los premios antes de empezar: " + TextOf(*program, IDC_MONEY));
  CommandAndWait(*program, IDM_START_SOLD_GAME);
  Check(TextOf(*program, IDC_STATUS) == "Partida 1 con 12 cartones", "empieza: " + TextOf(*program, IDC_STATUS));
  PlayOut(*program, [&] { AnswerNextSale(*program, "", {L"2", L"20 %", L"5,00 €", L""}); });
  for (int card : {2, 4, 6}) Type(*program, IDC_NUMBER, cards[static_cast<size_t>(card)].code);
  Check(TextOf(*program, IDC_STATUS) == "Vendido el cartón 0007 (3 vendidos)",
        "tres cartones escaneados en la puerta: " + TextOf(*program, IDC_STATUS));
  Kill(program);
  ContinueNight(exe, program, cards, work);
}

int Drive(const std::wstring& exe, const std::string& list, const std::string& work,
          const std::string& events_path) {
  const std::string game_folder = GameFolder();
  Check(!game_folder.empty(), "la carpeta de la partida es %APPDATA%\\Tessarine: " + game_folder);
  DeleteFileW(Wide(game_folder + "\\partida.txt").c_str());
  const std::vector<std::vector<int>> rows = FirstCardRows(list);
  if (!Check(rows.size() == 3 && rows[0].size() == 5, "la lista da las filas del primer cartón"))
    return 1;

  Program program;
  if (!Check(Start(exe, &program), "tessarine-bingo.exe abre su ventana")) return 1;
  Settle(program);
  Check(WindowText(program.main) == kTitle, "el título es «Tessarine Bingo»");
  Check(FindDialog(program, kTitle) == nullptr, "sin partida guardada, no ofrece continuar");
  Check(TextOf(program, IDC_PRIZE) == "Sin partida: Partida ▸ Nueva partida…",
        "sin partida lo dice: " + TextOf(program, IDC_PRIZE));
  Check(!IsWindowEnabled(Item(program, IDC_DRAW)), "sin partida, «Sacar bola» no se puede pulsar");
  // Wine has no Spanish voice of its own: the program's recordings speak.
  const bool voice = IsWindowEnabled(Item(program, IDC_VOICE)) != FALSE;
  const std::string which_voice = TextOf(program, IDC_VOICE_WHY_NOT);
  Check(voice && StartsWith(which_voice, "Voz: "), "«Voz» se puede marcar y dice qué voz habla: " + which_voice);
  // PlaySound needs a sound output; a Wine with none (no sound server) is told, not failed.
  const bool can_play = waveOutGetNumDevs() > 0;
  const std::string played = PlayEmbeddedRecording(exe, 47, can_play);
  Check(played.empty(), std::string("la grabación del 47 está en los recursos del programa") +
                            (can_play ? " y suena con PlaySound: " : ": ") +
                            (played.empty() ? std::string("sí") : played));
  if (!can_play) std::printf("  omitida - la grabación con PlaySound: Wine no tiene salida de sonido aquí\n");
  Check(FileExists(game_folder), "la carpeta de la partida existe");

  // A second window on the same game is refused with the core's words.
  Program second;
  if (Check(Launch(exe, nullptr, &second), "una segunda ventana arranca")) {
    const std::string refused = AnswerMessage(second, IDOK);
    Check(StartsWith(refused, "Esta partida ya está abierta en otra ventana: "),
          "la segunda ventana se niega: " + refused);
    Check(Ended(&second), "y termina");
  }

  // A new game: the menu, the list in the file dialog, every card in play.
  Command(program, IDM_NEW_GAME);
  Check(AnswerFileDialog(program, L"Lista de cartones", list), "«Nueva partida…» pide la lista");
  const HWND form = WaitForDialog(program, kTitle);
  if (Check(form != nullptr && GetDlgItem(form, IDC_FORM_FIRST_FIELD) != nullptr,
            "pregunta los cartones en juego"))
    Press(form, IDOK);
  Settle(program);
  Check(TextOf(program, IDC_STATUS) == "Partida nueva con 20 cartones",
        "partida nueva: " + TextOf(program, IDC_STATUS));
  Check(StartsWith(TextOf(program, IDC_PRIZE), "Se juega: línea\nCompromiso del sorteo: "),
        "se juega la línea, y antes de la primera bola el compromiso del sorteo: " +
            TextOf(program, IDC_PRIZE));
  Check(FileExists(game_folder + "\\partida.txt"), "la partida se guarda en la carpeta");
  Check(IsWindowVisible(Item(program, IDC_FORECAST)) != FALSE, "antes de la primera bola, el pronóstico");

  // A drawn ball.
  Click(program, IDC_DRAW);
  const int drawn = CalledNumber(TextOf(program, IDC_STATUS));
  Check(drawn >= 1 && drawn <= 99, "«Sacar bola» saca una: " + TextOf(program, IDC_STATUS));
  g_events.push_back("draw " + std::to_string(drawn));
  Check(!IsWindowVisible(Item(program, IDC_FORECAST)), "con la primera bola el pronóstico se va");
  const std::string saved_after_one = ReadAll(game_folder + "\\partida.txt");
  Check(saved_after_one.find(std::to_string(drawn)) != std::string::npos,
        "la bola está guardada antes de verse");

  // The first card's first row, typed (the drawn ball too if it is there).
  const std::vector<int>& first = rows[0];
  int typed_count = 0;
  for (size_t i = 0; i + 1 < first.size(); ++i) {
    if (first[i] == drawn) continue;
    Type(program, IDC_NUMBER, std::to_string(first[i]));
    ++typed_count;
    if (!Check(CalledNumber(TextOf(program, IDC_STATUS)) == first[i],
               "el " + std::to_string(first[i]) + " escrito y Intro: " + TextOf(program, IDC_STATUS)))
      break;
    g_events.push_back("call " + std::to_string(first[i]));
  }

  // A number already called is refused and said so.
  Type(program, IDC_NUMBER, std::to_string(drawn));
  Check(TextOf(program, IDC_STATUS) == "El " + std::to_string(drawn) + " ya ha salido",
        "un número ya cantado se rechaza: " + TextOf(program, IDC_STATUS));

  // A cell clicked on the board: the first of 9, 19, ... not yet called nor in the card.
  int clicked = 0;
  for (int number = 9; number <= 99 && clicked == 0; number += 10) {
    bool taken = number == drawn;
    for (const auto& row : rows)
      for (int n : row) taken = taken || n == number;
    if (!taken) clicked = number;
  }
  ClickBoardNumberEndingInNine(program, clicked);
  const std::string sure = AnswerMessage(program, IDYES);
  Check(sure == "¿Cantar el " + std::to_string(clicked) + "?", "un clic en el tablero pregunta: " + sure);
  Check(CalledNumber(TextOf(program, IDC_STATUS)) == clicked,
        "un clic en el " + std::to_string(clicked) + " del tablero lo canta: " + TextOf(program, IDC_STATUS));
  g_events.push_back("call " + std::to_string(clicked));

  // Undo, confirmed.
  PostMessageW(program.main, WM_COMMAND, MAKEWPARAM(IDC_UNDO, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(program, IDC_UNDO)));
  const std::string question = AnswerMessage(program, IDYES);
  Check(question == "¿Anular la bola " + std::to_string(clicked) + "? En el acta constará como anulada.",
        "«Deshacer» pregunta: " + question);
  Check(TextOf(program, IDC_STATUS) == "Bola " + std::to_string(clicked) + " anulada",
        "la bola anulada: " + TextOf(program, IDC_STATUS));
  g_events.push_back("undo");

  // The row's last number: the first card wins the línea.
  const int last_of_row = first.back() == drawn ? first[first.size() - 2] : first.back();
  if (first.back() != drawn) {
    Type(program, IDC_NUMBER, std::to_string(last_of_row));
    g_events.push_back("call " + std::to_string(last_of_row));
  }
  const HWND winners = Item(program, IDC_WINNERS);
  const LRESULT winner_count = SendMessageW(winners, LB_GETCOUNT, 0, 0);
  std::wstring first_winner(256, L'\0');
  if (winner_count > 0) {
    const LRESULT length = SendMessageW(winners, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(&first_winner[0]));
    first_winner.resize(length > 0 ? static_cast<size_t>(length) : 0);
  }
  Check(winner_count >= 1 && StartsWith(Utf8(first_winner), "Cartón 0001") &&
            Utf8(first_winner).find("4730F0CA") != std::string::npos &&
            Utf8(first_winner).find("línea") != std::string::npos,
        "los premiados: " + Utf8(first_winner));
  Check(IsWindowEnabled(Item(program, IDC_CONFIRM)) != FALSE, "«Confirmar premio» se puede pulsar");

  // Claims: a card number that has no line, the code, a barcode scanned into the number field.
  const Colours no_card = ColoursOnScreen(Item(program, IDC_CLAIM_CARD));
  std::string losing = "20";
  Type(program, IDC_CLAIM, losing);
  const std::string not_line = TextOf(program, IDC_VERDICT);
  Check(StartsWith(not_line, "No es línea") || StartsWith(not_line, "La línea"),
        "reclamación del cartón 20: " + not_line);
  Type(program, IDC_CLAIM, "4730F0CA");
  Settle(program);
  const Colours card = ColoursOnScreen(Item(program, IDC_CLAIM_CARD));
  Check(no_card.card == 0 && card.card > 1000 && card.white > 1000,
        "el cartón reclamado se ve, en su color y blanco (" + std::to_string(card.card) + " y " +
            std::to_string(card.white) + " píxeles; antes de reclamar, " +
            std::to_string(no_card.card) + " y " + std::to_string(no_card.white) + ")");
  Check(StartsWith(TextOf(program, IDC_VERDICT), "Línea válida: se completó con el " +
                                                    std::to_string(last_of_row)),
        "reclamación por código: " + TextOf(program, IDC_VERDICT));
  Type(program, IDC_CLAIM, "20");
  Check(StartsWith(TextOf(program, IDC_VERDICT), "No es línea"), "otra vez el cartón 20: no es línea");
  Check(Type(program, IDC_NUMBER, "4730f0ca"), "un código de barras en el campo del número, con Intro");
  Check(StartsWith(TextOf(program, IDC_VERDICT), "Línea válida"),
        "el código de barras comprueba el cartón: " + TextOf(program, IDC_VERDICT));

  Click(program, IDC_CONFIRM);
  Check(TextOf(program, IDC_STATUS) == "Premio confirmado: línea",
        "premio confirmado: " + TextOf(program, IDC_STATUS));
  Check(TextOf(program, IDC_PRIZE) == "Se juega: bingo", "luego se juega el bingo");
  g_events.push_back("confirm");

  // The record, under one name.
  const std::string record = work + "\\acta";
  const std::string said = SaveRecordAs(program, record, true);
  Check(said == "Acta guardada en " + record + ".pdf y " + record + ".csv", "el acta: " + said);
  Check(FileExists(record + ".pdf") && FileExists(record + ".csv"), "acta.pdf y acta.csv existen");

  // Two balls more, one with the button and one with Space after Tab, then a kill:
  // nothing may be lost.
  Click(program, IDC_DRAW);
  int number = CalledNumber(TextOf(program, IDC_STATUS));
  Check(number >= 1, "otra bola: " + TextOf(program, IDC_STATUS));
  g_events.push_back("draw " + std::to_string(number));
  // The keys go to the active window, as the organiser's do to the window in front.
  SetForegroundWindow(program.main);
  Check(FocusComesTo(program, IDC_BOARD), "el tablero tiene el foco tras Intro");
  PressKey(program, VK_TAB);
  Check(FocusComesTo(program, IDC_DRAW), "Tab lleva a «Sacar bola»");
  PressKey(program, VK_TAB);
  Check(FocusComesTo(program, IDC_NUMBER), "otro Tab, al número de la jaula");
  PressKey(program, VK_TAB);
  Check(FocusComesTo(program, IDC_UNDO), "otro, a «Deshacer»");
  // Space on a button presses it; it draws only from the board.
  PressKey(program, VK_SPACE);
  const std::string undo_asked = AnswerMessage(program, IDNO);
  Check(StartsWith(undo_asked, "¿Anular la bola "), "Espacio sobre «Deshacer» lo pulsa: " + undo_asked);
  const int cage = BallOffTheCard(rows, 99);
  Type(program, IDC_NUMBER, std::to_string(cage));
  g_events.push_back("call " + std::to_string(cage));
  Check(FocusComesTo(program, IDC_BOARD), "tras Intro en el número, el foco vuelve al tablero");
  const std::string before_space = TextOf(program, IDC_STATUS);
  PressKey(program, VK_SPACE);
  WaitUntil([&] { return TextOf(program, IDC_STATUS) != before_space; }, 5000);
  number = CalledNumber(TextOf(program, IDC_STATUS));
  if (Check(number >= 1 && TextOf(program, IDC_STATUS) != before_space,
            "Espacio saca una bola: " + TextOf(program, IDC_STATUS)))
    g_events.push_back("draw " + std::to_string(number));
  CheckHallScreen(program, rows);
  CheckPlayersPage(program, work);
  const std::string before = SaveRecordAs(program, work + "\\antes", false);
  Check(!before.empty(), "el acta de antes de matarlo: " + before);
  Kill(&program);

  size_t standing = 0;
  for (const std::string& event : g_events)
    standing = event == "undo" ? standing - 1 : IsBall(event) ? standing + 1 : standing;
  if (!Check(Start(exe, &program), "tessarine-bingo.exe abre otra vez")) return 1;
  const std::string offer = AnswerMessage(program, IDYES);
  Check(StartsWith(offer, "Continuar la partida de las ") &&
            offer.find("(" + std::to_string(standing) + " bolas)?") != std::string::npos,
        "ofrece continuar: " + offer);
  Check(TextOf(program, IDC_PRIZE) == "Se juega: bingo", "continúa con el bingo en juego");
  const std::string after = SaveRecordAs(program, work + "\\despues", true);
  const std::vector<std::string> before_lines = BallLines(ReadAll(work + "\\antes.csv"));
  const std::vector<std::string> after_lines = BallLines(ReadAll(work + "\\despues.csv"));
  Check(!before_lines.empty() && before_lines == after_lines,
        "las mismas bolas, en el mismo orden, tras matarlo (" + std::to_string(after_lines.size()) +
            " bolas en el acta)");
  Check(before_lines.size() == standing + 1, "el acta tiene cada bola, la anulada también");
  Type(program, IDC_CLAIM, "1");
  Check(StartsWith(TextOf(program, IDC_VERDICT), "No es bingo"),
        "tras continuar, el cartón 1 se comprueba: " + TextOf(program, IDC_VERDICT));

  // A key on the board goes to the number field, as a cage's number is typed there.
  PostMessageW(Item(program, IDC_BOARD), WM_CHAR, L'4', 1);
  Check(WaitUntil([&] { return TextOf(program, IDC_NUMBER) == "4"; }, 5000),
        "una cifra escrita sobre el tablero va al campo del número");
  SendMessageW(Item(program, IDC_NUMBER), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));

  // The rest of the first card, then its bingo, the last prize: the game ends.
  std::vector<bool> called(100, false);
  for (const std::string& event : g_events)
    if (IsBall(event)) called[static_cast<size_t>(std::atoi(event.c_str() + 5))] = true;
  for (size_t i = 0; i < g_events.size(); ++i)
    if (g_events[i] == "undo")  // the call before it is taken back
      for (size_t j = i; j-- > 0;)
        if (IsBall(g_events[j])) {
          called[static_cast<size_t>(std::atoi(g_events[j].c_str() + 5))] = false;
          break;
        }
  int bingo_ball = 0;
  for (const auto& row : rows)
    for (int n : row)
      if (!called[static_cast<size_t>(n)]) {
        Type(program, IDC_NUMBER, std::to_string(n));
        g_events.push_back("call " + std::to_string(n));
        called[static_cast<size_t>(n)] = true;
        bingo_ball = n;
      }
  const LRESULT bingo_winners = SendMessageW(Item(program, IDC_WINNERS), LB_GETCOUNT, 0, 0);
  Check(bingo_winners >= 1, "con el " + std::to_string(bingo_ball) + " el cartón 1 canta bingo");
  PostMessageW(program.main, WM_COMMAND, MAKEWPARAM(IDC_CONFIRM, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(program, IDC_CONFIRM)));
  const std::string over = AnswerMessage(program, IDYES);
  Check(over == "La partida ha terminado. ¿Guardar el acta de la partida?",
        "confirmado el bingo, la partida termina y ofrece el acta: " + over);
  g_events.push_back("confirm");
  const std::string final_record = work + "\\final";
  Check(AnswerFileDialog(program, L"Acta de la partida (se guarda en PDF y en CSV)", final_record + ".pdf"),
        "el acta final se guarda");
  Settle(program);
  Check(TextOf(program, IDC_PRIZE) == "Partida terminada: todos los premios dados",
        "partida terminada: " + TextOf(program, IDC_PRIZE));
  Check(!IsWindowEnabled(Item(program, IDC_DRAW)) && !IsWindowEnabled(Item(program, IDC_NUMBER)),
        "terminada, no se sacan más bolas");
  Check(FileExists(final_record + ".csv"), "final.csv existe");

  {
    std::ofstream events(events_path);
    for (const std::string& event : g_events) events << event << "\n";
  }

  // F11: the whole screen, and back to where the window was.
  RECT windowed{};
  GetWindowRect(program.main, &windowed);
  PressKey(program, VK_F11);
  RECT full{};
  WaitUntil([&] { return GetWindowRect(program.main, &full) && !EqualRect(&full, &windowed); }, 5000);
  Check(full.left == 0 && full.top == 0 && full.right == GetSystemMetrics(SM_CXSCREEN) &&
            full.bottom == GetSystemMetrics(SM_CYSCREEN),
        "F11: pantalla completa (" + std::to_string(full.right - full.left) + " x " +
            std::to_string(full.bottom - full.top) + ")");
  PressKey(program, VK_F11);
  RECT back{};
  WaitUntil([&] { return GetWindowRect(program.main, &back) && !EqualRect(&back, &full); }, 5000);
  Check(EqualRect(&back, &windowed) != FALSE, "F11 otra vez: la ventana vuelve a su sitio");

  // A run of cards from the window, then a game with its list.
  const std::string cards_folder = work + "\\cartones";
  const HWND run_form = AskRun(program, L"3", cards_folder);
  if (Check(run_form != nullptr, "«Preparar cartones…» pregunta cómo")) {
    Press(run_form, IDOK);
    const std::string said = AnswerMessage(program, IDNO, 120000);
    Check(said.size() > 20 && said.substr(said.size() - 20) == "\n\n¿Abrir las hojas?",
          "la tanda hecha, ofrece abrir las hojas: " + said);
    const std::string start = AnswerMessage(program, IDYES);
    Check(start == "¿Empezar la partida con esta lista?", "y empezar la partida: " + start);
    const HWND in_play = WaitForDialog(program, kTitle);
    if (Check(in_play != nullptr && GetDlgItem(in_play, IDC_FORM_FIRST_FIELD) != nullptr,
              "pregunta los cartones en juego de la tanda"))
      Press(in_play, IDOK);
    Settle(program);
    Check(FileExists(cards_folder + "\\hojas.pdf") && FileExists(cards_folder + "\\cartones.csv"),
          "hojas.pdf y cartones.csv en la carpeta elegida");
    Check(TextOf(program, IDC_STATUS) == "Partida nueva con 3 cartones",
          "la partida con la lista de la tanda: " + TextOf(program, IDC_STATUS));
  }

  // A run into the folder of the list in play is refused, naming it, and writes nothing.
  const std::string list_in_play = ReadAll(cards_folder + "\\cartones.csv");
  const HWND again_form = AskRun(program, L"5", cards_folder);
  if (Check(again_form != nullptr, "«Preparar cartones…» en la carpeta de la lista en juego")) {
    Press(again_form, IDOK);
    const std::string refused = AnswerMessage(program, IDOK);
    Check(StartsWith(refused, "No se prepara la tanda: «" + cards_folder + "\\cartones.csv» es la lista "
                              "de la partida en juego"),
          "se niega: " + refused);
    Check(!list_in_play.empty() && ReadAll(cards_folder + "\\cartones.csv") == list_in_play,
          "la lista en juego sigue como estaba");
  }

  // A long run cancelled: what was saved stays, listed, and the window says so.
  const std::string long_folder = work + "\\muchos";
  const HWND long_form = AskRun(program, L"30000", long_folder);
  if (Check(long_form != nullptr, "«Preparar cartones…» otra vez")) {
    SendMessageW(GetDlgItem(long_form, IDC_FORM_FIRST_FIELD + 5), CB_SETCURSEL, 1, 0);  // PNG
    Press(long_form, IDOK);
    const HWND bar = Item(program, IDC_PROGRESS);
    const HWND cancel = Item(program, IDC_RUN_CANCEL);
    Check(WaitUntil([&] { return IsWindowVisible(cancel) && SendMessageW(bar, PBM_GETPOS, 0, 0) > 0; }),
          "la barra avanza y «Cancelar la tanda» está a la vista");
    PostMessageW(program.main, WM_COMMAND, MAKEWPARAM(IDC_RUN_CANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(cancel));
    const std::string said = AnswerMessage(program, IDNO, 120000);
    const size_t interrupted = said.find("interrumpido: ");
    const int saved = interrupted == std::string::npos ? 0 : std::atoi(said.c_str() + interrupted + 14);
    // Cards count as saved once flushed to the disk, so a quick Cancel may keep none.
    Check(interrupted != std::string::npos && saved < 30000,
          "cancelada, lo dice: " + said.substr(0, said.find('\n')));
    std::ifstream list(long_folder + "\\cartones.csv");
    int lines = 0;
    std::string line;
    while (std::getline(list, line)) ++lines;
    Check(lines == saved + 1, "la lista tiene los " + std::to_string(saved) + " cartones guardados");
    Check(AnswerMessage(program, IDNO) == "¿Empezar la partida con esta lista?",
          "ofrece la partida con lo guardado");
    Check(!IsWindowVisible(cancel) && IsWindowEnabled(Item(program, IDC_DRAW)),
          "la tanda acabada, la ventana sigue con su partida");
  }

  PlayNinety(program, work);
  PlayNight(exe, &program, list, work);
  PostMessageW(program.main, WM_CLOSE, 0, 0);
  Check(Ended(&program), "se cierra");
  return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    std::printf("uso: bingo_driver.exe PROGRAMA.exe LISTA.csv CARPETA EVENTOS.txt\n");
    return 2;
  }
  CoInitialize(nullptr);
  Drive(argv[1], Utf8(argv[2]), Utf8(argv[3]), Utf8(argv[4]));
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}

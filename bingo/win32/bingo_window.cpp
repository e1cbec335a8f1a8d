// The board takes the window; the organiser's controls stand in a narrow column on the
// right. Each control's command arrives at BingoProcedure, which hands it to the
// procedure that does it; every one of those asks the session, then Refresh shows it.
#include "bingo/win32/bingo_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "bingo/record_pdf.h"
#include "bingo/win32/form.h"
#include "disk/file_system.h"
#include "text/utf16_win32.h"
#include "game/game_clock.h"
#include "game/record.h"

const char* const kBingoTitle = "Tessarine Bingo";

namespace {
const wchar_t* const kBingoClass = L"TessarineBingo";
constexpr int kControlsWidth = 280;
constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kButtonHeight = 28;
constexpr int kEditHeight = 24;
constexpr int kLabelHeight = 18;
constexpr int kWinnersHeight = 70;
constexpr int kCardViewHeight = 90;  // the card, 720 x 241, in the column
constexpr int kForecastHeight = 100;
constexpr COLORREF kValidColour = RGB(0x1A, 0x7F, 0x1A);
constexpr COLORREF kInvalidColour = RGB(0xB0, 0x00, 0x00);
constexpr COLORREF kWhyNotColour = RGB(0x80, 0x80, 0x80);

BingoWindow* BingoOf(HWND window) {
  return reinterpret_cast<BingoWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND Control(const BingoWindow& bingo, int id) { return GetDlgItem(bingo.window, id); }

void SetText(HWND control, const std::string& text) {
  const std::wstring wide = WideOfUtf8(text);
  SetWindowTextW(control, wide.c_str());
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A code as the sheets' barcode gives it: eight hexadecimal digits.
bool LooksLikeCode(const std::string& text) {
  if (text.size() != 8) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

int Ask(const BingoWindow& bingo, const std::string& text, UINT style) {
  const std::wstring wide = WideOfUtf8(text);
  const std::wstring title = WideOfUtf8(kBingoTitle);
  return MessageBoxW(bingo.window, wide.c_str(), title.c_str(), style);
}

bool AskYesNo(const BingoWindow& bingo, const std::string& question, bool default_no = false) {
  return Ask(bingo, question,
             MB_YESNO | MB_ICONQUESTION | (default_no ? MB_DEFBUTTON2 : MB_DEFBUTTON1)) == IDYES;
}

void Say(const BingoWindow& bingo, const std::string& text) {
  SetText(Control(bingo, IDC_STATUS), text);
}

// An edit field that acts on Enter, as a barcode scanner ends a code: the dialog manager
// is told the field wants the key, and the field tells its window.
LRESULT CALLBACK EnterFieldProcedure(HWND field, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(field, GWLP_USERDATA));
  if (message == WM_GETDLGCODE && lparam != 0 &&
      reinterpret_cast<const MSG*>(lparam)->message == WM_KEYDOWN &&
      reinterpret_cast<const MSG*>(lparam)->wParam == VK_RETURN)
    return DLGC_WANTALLKEYS;
  if (message == WM_KEYDOWN && wparam == VK_RETURN) {
    const int command =
        GetDlgCtrlID(field) == IDC_NUMBER ? IDM_ENTER_NUMBER : IDM_ENTER_CLAIM;
    PostMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return 0;
  }
  if (message == WM_CHAR && (wparam == L'\r' || wparam == L'\n')) return 0;  // no beep
  return CallWindowProcW(previous, field, message, wparam, lparam);
}

HWND MakeControl(BingoWindow* bingo, const wchar_t* window_class, const std::string& text,
                 DWORD style, int id, DWORD extended_style = 0) {
  const std::wstring wide = WideOfUtf8(text);
  const HWND control = CreateWindowExW(
      extended_style, window_class, wide.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
      bingo->window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(bingo->font), FALSE);
  return control;
}

void MakeEnterField(BingoWindow* bingo, int id) {
  const HWND field = MakeControl(bingo, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, id, WS_EX_CLIENTEDGE);
  const LONG_PTR previous =
      SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EnterFieldProcedure));
  SetWindowLongPtrW(field, GWLP_USERDATA, previous);
}

void MakeMenu(HWND window) {
  const HMENU bar = CreateMenu();
  const HMENU game = CreatePopupMenu();
  const struct {
    const char* text;
    int id;
  } items[] = {
      {"&Nueva partida…\tCtrl+N", IDM_NEW_GAME},
      {"&Preparar cartones…\tCtrl+P", IDM_PREPARE_CARDS},
      {"&Guardar el acta…\tCtrl+S", IDM_SAVE_RECORD},
      {"Pantalla &completa\tF11", IDM_FULL_SCREEN},
      {"&Salir\tCtrl+Q", IDM_QUIT},
  };
  for (const auto& item : items) {
    const std::wstring text = WideOfUtf8(item.text);
    AppendMenuW(game, MF_STRING, static_cast<UINT_PTR>(item.id), text.c_str());
  }
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(game), L"&Partida");
  SetMenu(window, bar);
}

// The record as comctl32 5 knows it (no lpReserved): without a manifest asking for
// version 6, that is the library every Windows loads for the program.
TOOLINFOW VoiceTool(const BingoWindow& bingo) {
  TOOLINFOW tool{};
  tool.cbSize = static_cast<UINT>(offsetof(TOOLINFOW, lpReserved));
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = bingo.window;  // the window, not the switch: a disabled switch gets no mouse
  tool.uId = IDC_VOICE;
  return tool;
}

// The switch is greyed out when there is no voice; its tooltip says why, as its label does.
void MakeVoiceTip(BingoWindow* bingo) {
  bingo->tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                bingo->window, nullptr, GetModuleHandleW(nullptr), nullptr);
  TOOLINFOW tool = VoiceTool(*bingo);
  wchar_t empty[] = L"";
  tool.lpszText = empty;
  SendMessageW(bingo->tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(bingo->tips, TTM_SETMAXTIPWIDTH, 0, kControlsWidth);
}

// The controls in tab order: the board first, so Space draws and typing goes to the
// number field at once.
void MakeControls(BingoWindow* bingo) {
  const LOGFONTW face = MessageFont();
  bingo->font = CreateFontIndirectW(&face);
  LOGFONTW large = face;
  large.lfWeight = FW_BOLD;
  large.lfHeight = large.lfHeight * 6 / 5;
  bingo->verdict_font = CreateFontIndirectW(&large);

  const HWND board = MakeControl(bingo, kBoardClass, "", WS_TABSTOP, IDC_BOARD);
  SetWindowLongPtrW(board, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bingo->board));
  MakeControl(bingo, L"BUTTON", "Sacar bola (Espacio)", WS_TABSTOP | BS_PUSHBUTTON, IDC_DRAW);
  MakeControl(bingo, L"STATIC", "Número de la jaula y Intro", SS_LEFT, IDC_NUMBER_LABEL);
  MakeEnterField(bingo, IDC_NUMBER);
  MakeControl(bingo, L"BUTTON", "Deshacer (Ctrl+Z)", WS_TABSTOP | BS_PUSHBUTTON, IDC_UNDO);
  MakeControl(bingo, L"BUTTON", "Voz", WS_TABSTOP | BS_AUTOCHECKBOX, IDC_VOICE);
  MakeControl(bingo, L"STATIC", "", SS_LEFT, IDC_VOICE_WHY_NOT);
  MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_STATUS);
  MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_PRIZE);
  MakeControl(bingo, L"LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
              IDC_WINNERS, WS_EX_CLIENTEDGE);
  MakeControl(bingo, L"BUTTON", "Confirmar premio", WS_TABSTOP | BS_PUSHBUTTON, IDC_CONFIRM);
  const HWND progress = MakeControl(bingo, PROGRESS_CLASSW, "", 0, IDC_PROGRESS);
  const HWND cancel = MakeControl(bingo, L"BUTTON", "Cancelar la tanda", WS_TABSTOP | BS_PUSHBUTTON,
                                  IDC_RUN_CANCEL);
  ShowWindow(progress, SW_HIDE);
  ShowWindow(cancel, SW_HIDE);
  MakeControl(bingo, L"STATIC", "Comprobar un cartón (número o código):", SS_LEFT, IDC_CLAIM_LABEL);
  MakeEnterField(bingo, IDC_CLAIM);
  MakeControl(bingo, L"STATIC", "0300 o 4730F0CA y Intro", SS_LEFT, IDC_CLAIM_HINT);
  const HWND card = MakeControl(bingo, kCardViewClass, "", 0, IDC_CLAIM_CARD);
  SetWindowLongPtrW(card, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bingo->claim_card));
  const HWND verdict = MakeControl(bingo, L"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_VERDICT);
  SendMessageW(verdict, WM_SETFONT, reinterpret_cast<WPARAM>(bingo->verdict_font), FALSE);
  const HWND forecast = MakeControl(bingo, kForecastClass, "", 0, IDC_FORECAST);
  SetWindowLongPtrW(forecast, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bingo->forecast));
  MakeVoiceTip(bingo);
  SetFocus(board);
}

void PlaceControls(const BingoWindow& bingo, int width, int height) {
  const int board_width = width > kControlsWidth ? width - kControlsWidth : 0;
  MoveWindow(Control(bingo, IDC_BOARD), 0, 0, board_width, height, TRUE);
  const int x = board_width + kMargin;
  const int column = kControlsWidth - 2 * kMargin;
  int y = kMargin;
  const auto place = [&](int id, int control_height) {
    MoveWindow(Control(bingo, id), x, y, column, control_height, TRUE);
    y += control_height + kGap;
  };
  place(IDC_DRAW, kButtonHeight);
  place(IDC_NUMBER_LABEL, kLabelHeight);
  place(IDC_NUMBER, kEditHeight);
  place(IDC_UNDO, kButtonHeight);
  TOOLINFOW tool = VoiceTool(bingo);
  tool.rect = RECT{x, y, x + column, y + kLabelHeight};
  SendMessageW(bingo.tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  place(IDC_VOICE, kLabelHeight);
  place(IDC_VOICE_WHY_NOT, 2 * kLabelHeight);
  place(IDC_STATUS, 2 * kLabelHeight);
  place(IDC_PRIZE, kLabelHeight);
  place(IDC_WINNERS, kWinnersHeight);
  place(IDC_CONFIRM, kButtonHeight);
  const bool running = IsWindowVisible(Control(bingo, IDC_PROGRESS)) != FALSE;
  if (running) {
    place(IDC_PROGRESS, kLabelHeight);
    place(IDC_RUN_CANCEL, kButtonHeight);
  }
  y += kGap;
  place(IDC_CLAIM_LABEL, kLabelHeight);
  place(IDC_CLAIM, kEditHeight);
  place(IDC_CLAIM_HINT, kLabelHeight);
  place(IDC_CLAIM_CARD, kCardViewHeight);
  place(IDC_VERDICT, 2 * kLabelHeight + 4);
  place(IDC_FORECAST, kForecastHeight);
}

void Refresh(BingoWindow* bingo) {
  const Game& game = bingo->session.game;
  const bool has_game = bingo->session.has_game;
  const bool playing = has_game && !GameOver(game);
  bingo->board.called = {};
  for (uint8_t number : game.called.order) bingo->board.called[number] = true;
  bingo->board.last = has_game && !game.standing.empty() ? game.calls[game.standing.back()].number : 0;
  bingo->board.balls = has_game ? static_cast<int>(game.standing.size()) : 0;
  InvalidateRect(Control(*bingo, IDC_BOARD), nullptr, FALSE);
  EnableWindow(Control(*bingo, IDC_DRAW), playing);
  EnableWindow(Control(*bingo, IDC_NUMBER), playing);
  EnableWindow(Control(*bingo, IDC_UNDO), playing && !game.standing.empty());
  if (!has_game)
    SetText(Control(*bingo, IDC_PRIZE), "Sin partida: Partida ▸ Nueva partida…");
  else
    SetText(Control(*bingo, IDC_PRIZE), playing ? "Se juega: " + std::string(PrizeText(CurrentPrize(game)))
                                                : "Partida terminada: todos los premios dados");
  const HWND winners = Control(*bingo, IDC_WINNERS);
  SendMessageW(winners, LB_RESETCONTENT, 0, 0);
  const std::vector<uint32_t> cards = has_game ? CurrentWinners(game) : std::vector<uint32_t>();
  for (uint32_t card : cards) {
    const std::wstring line = WideOfUtf8("Cartón " + WinnerText(game, card));
    SendMessageW(winners, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  EnableWindow(Control(*bingo, IDC_CONFIRM), !cards.empty());
  // The forecast is for before the game: it goes with the first ball.
  ShowWindow(Control(*bingo, IDC_FORECAST),
             bingo->forecast.has_forecast && game.standing.empty() ? SW_SHOW : SW_HIDE);
  InvalidateRect(Control(*bingo, IDC_FORECAST), nullptr, FALSE);
  EnableWindow(Control(*bingo, IDC_VOICE), bingo->voice.speech != nullptr);
  SetText(Control(*bingo, IDC_VOICE_WHY_NOT), bingo->voice.why_not);
  std::wstring tip = WideOfUtf8(bingo->voice.why_not);
  TOOLINFOW tool = VoiceTool(*bingo);
  tool.lpszText = &tip[0];
  if (!tip.empty()) SendMessageW(bingo->tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(bingo->tips, TTM_ACTIVATE, !tip.empty(), 0);
  ShowWindow(Control(*bingo, IDC_VOICE_WHY_NOT), bingo->voice.why_not.empty() ? SW_HIDE : SW_SHOW);
  // The focus must not be left on a control just disabled, or the keys go nowhere.
  const HWND focus = GetFocus();
  if (focus == nullptr || (GetParent(focus) == bingo->window && !IsWindowEnabled(focus)))
    SetFocus(Control(*bingo, IDC_BOARD));
}

// The ball is saved by now: only then is it shown and said.
void Called(BingoWindow* bingo, const std::string& error, int number) {
  if (!error.empty()) {
    Say(*bingo, error);
    return;
  }
  std::string words;
  if (SendMessageW(Control(*bingo, IDC_VOICE), BM_GETCHECK, 0, 0) == BST_CHECKED)
    words = SayNumber(bingo->voice, number);
  Say(*bingo, words.empty() ? "Bola " + std::to_string(number)
                            : "Bola " + std::to_string(number) + ": " + words);
  Refresh(bingo);
}

void ShowVerdict(BingoWindow* bingo, const ClaimVerdict& verdict) {
  bingo->claim_card.pixels.clear();
  if (verdict.card_found)
    bingo->claim_card.pixels =
        ClaimCardPixels(bingo->session.game.cards[verdict.card].seed_bits, verdict.layout,
                        verdict.marked, static_cast<Colour>(bingo->claim_card.colour));
  bingo->claim_card.has_card = !bingo->claim_card.pixels.empty();
  InvalidateRect(Control(*bingo, IDC_CLAIM_CARD), nullptr, FALSE);
  bingo->verdict_valid = verdict.valid;
  SetText(Control(*bingo, IDC_VERDICT), verdict.text);
}

void Claim(BingoWindow* bingo) {
  const HWND field = Control(*bingo, IDC_CLAIM);
  const std::string typed = Trimmed(TextOf(field));
  SetWindowTextW(field, L"");
  ShowVerdict(bingo, JudgeClaim(bingo->session.game, typed));
}

void Mark(BingoWindow* bingo, int number) {
  if (number == 0) {
    const HWND field = Control(*bingo, IDC_NUMBER);
    const std::string typed = Trimmed(TextOf(field));
    SetWindowTextW(field, L"");
    if (LooksLikeCode(typed)) {  // a card's barcode scanned into the number field
      SetText(Control(*bingo, IDC_CLAIM), typed);
      Claim(bingo);
      return;
    }
    const TypedBall ball = ReadTypedBall(typed);
    if (!ball.error.empty()) {
      Say(*bingo, ball.error);
      return;
    }
    number = ball.number;
  }
  Called(bingo, MarkCalled(&bingo->session, number, NowMilliseconds()), number);
}

void Undo(BingoWindow* bingo) {
  const Game& game = bingo->session.game;
  if (!bingo->session.has_game || game.standing.empty()) {
    Say(*bingo, "No hay ninguna bola que deshacer");
    return;
  }
  const std::string last = std::to_string(game.calls[game.standing.back()].number);
  if (!AskYesNo(*bingo, "¿Anular la bola " + last + "? En el acta constará como anulada.", true))
    return;
  const std::string failed = UndoLastCall(&bingo->session, NowMilliseconds());
  Say(*bingo, failed.empty() ? "Bola " + last + " anulada" : failed);
  Refresh(bingo);
}

// The system's file dialog: a file to save (its replacement asked about) or one that
// exists to open. "" when the organiser cancels.
std::string AskFileName(const BingoWindow& bingo, bool saving, const std::string& caption,
                        const std::string& filter_name, const wchar_t* pattern,
                        const std::string& folder, const std::string& offered) {
  std::wstring path = WideOfUtf8(offered);
  path.resize(MAX_PATH * 4, L'\0');
  const std::wstring initial = WideOfUtf8(folder);
  const std::wstring title = WideOfUtf8(caption);
  const std::wstring filter = WideOfUtf8(filter_name) + L'\0' + pattern + L'\0' + L'\0';
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = bingo.window;
  request.lpstrFilter = filter.c_str();
  request.lpstrFile = &path[0];
  request.nMaxFile = static_cast<DWORD>(path.size());
  request.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  request.lpstrTitle = title.c_str();
  request.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                  (saving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = saving ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
  return chosen ? Utf8OfWide(path.c_str()) : std::string();
}

// One name, two files: the printable record and the table beside it.
void SaveRecord(BingoWindow* bingo) {
  if (!bingo->session.has_game) {
    Say(*bingo, "No hay ninguna partida de la que guardar el acta");
    return;
  }
  const RecordNaming naming = RecordNamingOf(bingo->session.game.list_path);
  const std::string path = AskFileName(*bingo, true, "Acta de la partida (se guarda en PDF y en CSV)",
                                       "Acta en PDF y CSV (*.pdf *.csv)", L"*.pdf;*.csv",
                                       naming.folder, naming.offered);
  if (path.empty()) return;
  Say(*bingo, SaveRecordFiles(bingo->session.game, naming.title, path));
}

void ConfirmPrize(BingoWindow* bingo) {
  const std::vector<uint32_t> winners = CurrentWinners(bingo->session.game);
  const std::string prize = PrizeText(CurrentPrize(bingo->session.game));
  const std::string failed = ConfirmPrize(&bingo->session, winners, NowMilliseconds());
  if (!failed.empty()) {
    Say(*bingo, failed);
    return;
  }
  Say(*bingo, "Premio confirmado: " + prize);
  Refresh(bingo);
  if (GameOver(bingo->session.game) &&
      AskYesNo(*bingo, "La partida ha terminado. ¿Guardar el acta de la partida?"))
    SaveRecord(bingo);
}

std::string StartGame(BingoWindow* bingo, const std::string& list_path, const std::string& in_play) {
  const std::string failed = StartNewGame(&bingo->session, list_path, in_play,
                                          PrizePlan::kLineThenBingo, NowMilliseconds());
  bingo->claim_card.has_card = false;
  InvalidateRect(Control(*bingo, IDC_CLAIM_CARD), nullptr, FALSE);
  SetText(Control(*bingo, IDC_VERDICT), "");
  Say(*bingo, failed.empty()
                  ? "Partida nueva con " + std::to_string(bingo->session.game.play.count) + " cartones"
                  : failed);
  if (failed.empty()) {
    bingo->forecast.forecast =
        RunForecastFromSystem(InPlayLayouts(bingo->session.game), kForecastGames);
    bingo->forecast.has_forecast = bingo->forecast.forecast.error.empty();
  }
  Refresh(bingo);
  return failed;
}

void NewGame(BingoWindow* bingo) {
  const Game& game = bingo->session.game;
  if (bingo->session.has_game && !game.standing.empty() && !GameOver(game) &&
      !AskYesNo(*bingo, "Hay una partida en curso. ¿Dejarla y empezar otra?", true))
    return;
  const std::string path = AskFileName(*bingo, false, "Lista de cartones",
                                       "Listas de cartones (*.csv)", L"*.csv", "", "");
  if (path.empty()) return;
  std::vector<FormField> fields(1);
  fields[0].label = "Cartones en juego (por ejemplo 1-250, 300-320; vacío: todos):";
  if (!AskForm(bingo->window, kBingoTitle, &fields)) return;
  const std::string failed = StartGame(bingo, path, fields[0].text);
  if (!failed.empty()) Ask(*bingo, failed, MB_OK | MB_ICONWARNING);
}

void ToggleFullScreen(BingoWindow* bingo) {
  const HWND window = bingo->window;
  if (!bingo->full_screen) {
    bingo->placement.length = sizeof(bingo->placement);
    GetWindowPlacement(window, &bingo->placement);
    bingo->windowed_style = GetWindowLongPtrW(window, GWL_STYLE);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    SetWindowLongPtrW(window, GWL_STYLE, bingo->windowed_style & ~static_cast<LONG_PTR>(WS_OVERLAPPEDWINDOW));
    SetWindowPos(window, HWND_TOP, monitor.rcMonitor.left, monitor.rcMonitor.top,
                 monitor.rcMonitor.right - monitor.rcMonitor.left,
                 monitor.rcMonitor.bottom - monitor.rcMonitor.top, SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    bingo->full_screen = true;
  } else {
    SetWindowLongPtrW(window, GWL_STYLE, bingo->windowed_style);
    SetWindowPlacement(window, &bingo->placement);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    bingo->full_screen = false;
  }
}

void PrepareCards(BingoWindow* bingo);

void Run(BingoWindow* bingo, int command) {
  // While a run of cards works, the window's loop runs too: no other command starts.
  if (bingo->making_run && command != IDC_RUN_CANCEL) return;
  switch (command) {
    case IDM_NEW_GAME: NewGame(bingo); break;
    case IDM_PREPARE_CARDS: PrepareCards(bingo); break;
    case IDM_SAVE_RECORD: SaveRecord(bingo); break;
    case IDM_FULL_SCREEN: ToggleFullScreen(bingo); break;
    case IDM_QUIT: DestroyWindow(bingo->window); break;
    case IDC_DRAW: {
      if (!bingo->session.has_game || GameOver(bingo->session.game)) break;
      const SessionDraw drawn = DrawAndCall(&bingo->session, NowMilliseconds());
      Called(bingo, drawn.error, drawn.number);
      break;
    }
    case IDM_ENTER_NUMBER:
      Mark(bingo, 0);
      SetFocus(Control(*bingo, IDC_BOARD));
      break;
    case IDC_UNDO: Undo(bingo); break;
    case IDC_RUN_CANCEL: AbandonSaves(); break;
    case IDC_CONFIRM: ConfirmPrize(bingo); break;
    case IDM_ENTER_CLAIM:
      Claim(bingo);
      SetFocus(Control(*bingo, IDC_BOARD));
      break;
    default: break;
  }
}

// A key typed on the board goes on into the number field, which takes the focus.
void TypeIntoNumberField(const BingoWindow& bingo, wchar_t key) {
  const HWND field = Control(bingo, IDC_NUMBER);
  if (!IsWindowEnabled(field)) return;
  SetFocus(field);
  const wchar_t typed[2] = {key, 0};
  SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
}

// The verdict in green or red, the quiet labels in grey, all on the window's face.
LRESULT LabelColours(const BingoWindow& bingo, HWND control, HDC dc) {
  const int id = GetDlgCtrlID(control);
  if (id == IDC_VERDICT) SetTextColor(dc, bingo.verdict_valid ? kValidColour : kInvalidColour);
  if (id == IDC_VOICE_WHY_NOT || id == IDC_NUMBER_LABEL || id == IDC_CLAIM_HINT)
    SetTextColor(dc, kWhyNotColour);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The focus goes back to the control that had it when the window was left (for a
// message box, another program), else to the board: never to the bare window.
void Activated(BingoWindow* bingo, bool active) {
  if (!active) {
    const HWND focus = GetFocus();
    if (focus != nullptr && GetParent(focus) == bingo->window) bingo->last_focus = focus;
    return;
  }
  SetFocus(bingo->last_focus != nullptr && IsWindowEnabled(bingo->last_focus)
               ? bingo->last_focus
               : Control(*bingo, IDC_BOARD));
}

// A number clicked on the board is a call only in a game under way, not during a run.
bool TakesCalls(const BingoWindow& bingo) {
  return !bingo.making_run && bingo.session.has_game && !GameOver(bingo.session.game);
}

// The window's record comes with its creation and is found by the window from then on.
void Attach(HWND window, const CREATESTRUCTW* creation) {
  auto* bingo = static_cast<BingoWindow*>(creation->lpCreateParams);
  bingo->window = window;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bingo));
}

void ReleaseFonts(BingoWindow* bingo) {
  DeleteObject(bingo->font);
  DeleteObject(bingo->verdict_font);
}

LRESULT CALLBACK BingoProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  BingoWindow* bingo = BingoOf(window);
  switch (message) {
    case WM_NCCREATE:
      Attach(window, reinterpret_cast<CREATESTRUCTW*>(lparam));
      break;
    case WM_CREATE:
      MakeMenu(window);
      MakeControls(bingo);
      Refresh(bingo);
      return 0;
    case WM_SIZE:
      if (bingo != nullptr) PlaceControls(*bingo, LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = POINT{kControlsWidth + 400, 560};
      return 0;
    case WM_COMMAND:
      if (bingo != nullptr && (lparam == 0 || HIWORD(wparam) == BN_CLICKED))
        Run(bingo, LOWORD(wparam));
      return 0;
    case WM_BOARD_CLICKED:
      if (bingo != nullptr && TakesCalls(*bingo)) Mark(bingo, static_cast<int>(wparam));
      return 0;
    case WM_BOARD_TYPED:
      TypeIntoNumberField(*bingo, static_cast<wchar_t>(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return LabelColours(*bingo, reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam));
    case WM_ACTIVATE:
      if (bingo == nullptr) break;
      Activated(bingo, LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_SETFOCUS:
      if (bingo != nullptr) SetFocus(Control(*bingo, IDC_BOARD));
      return 0;
    case WM_CLOSE:
      if (bingo != nullptr && bingo->making_run) return 0;  // Cancel ends the run first
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (bingo != nullptr) ReleaseFonts(bingo);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}
}  // namespace

bool RegisterBingoClasses(HINSTANCE instance) {
  WNDCLASSEXW main_class{};
  main_class.cbSize = sizeof(main_class);
  main_class.lpfnWndProc = BingoProcedure;
  main_class.hInstance = instance;
  main_class.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  main_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  main_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  main_class.lpszClassName = kBingoClass;
  WNDCLASSEXW board_class = main_class;
  board_class.lpfnWndProc = BoardProcedure;
  board_class.hbrBackground = nullptr;
  board_class.lpszClassName = kBoardClass;
  WNDCLASSEXW card_class = board_class;
  card_class.lpfnWndProc = CardViewProcedure;
  card_class.lpszClassName = kCardViewClass;
  WNDCLASSEXW forecast_class = board_class;
  forecast_class.lpfnWndProc = ForecastProcedure;
  forecast_class.lpszClassName = kForecastClass;
  return RegisterClassExW(&main_class) != 0 && RegisterClassExW(&board_class) != 0 &&
         RegisterClassExW(&card_class) != 0 && RegisterClassExW(&forecast_class) != 0;
}

HWND CreateBingoWindow(BingoWindow* bingo, HINSTANCE instance) {
  const std::wstring title = WideOfUtf8(kBingoTitle);
  // 1280 x 800 as on Linux, where the screen has room for it; else the whole work area.
  RECT frame{0, 0, 1280, 800};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
  RECT work{0, 0, frame.right - frame.left, frame.bottom - frame.top};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = static_cast<int>(std::min(frame.right - frame.left, work.right - work.left));
  const int height = static_cast<int>(std::min(frame.bottom - frame.top, work.bottom - work.top));
  return CreateWindowExW(0, kBingoClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         work.left + (work.right - work.left - width) / 2,
                         work.top + (work.bottom - work.top - height) / 2, width, height, nullptr,
                         nullptr, instance, bingo);
}

std::string OpenBingo(BingoWindow* bingo) {
  const std::string refused = OpenGameFolder(bingo->game_folder, &bingo->session);
  if (!refused.empty()) return refused;
  const SavedGame saved = LookForSavedGame(bingo->session.folder);
  if (saved.state == SavedGameState::kFound && !saved.over) {
    if (AskYesNo(*bingo, saved.offer + "?")) {
      const std::string failed = ContinueSavedGame(&bingo->session);
      if (!failed.empty()) Ask(*bingo, failed, MB_OK | MB_ICONWARNING);
    }
  } else if (saved.state == SavedGameState::kDamaged) {
    // Continuing keeps the damaged file aside, untouched, and says where it went.
    Ask(*bingo, ContinueSavedGame(&bingo->session), MB_OK | MB_ICONWARNING);
  }
  Refresh(bingo);
  return std::string();
}

bool BingoKey(BingoWindow* bingo, const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  const HWND focus = GetFocus();
  wchar_t focus_class[16] = {};
  if (focus != nullptr) GetClassNameW(focus, focus_class, 15);
  // In an edit field Space and Ctrl+Z are the field's own.
  if (lstrcmpiW(focus_class, L"Edit") == 0) return false;
  if (message.wParam == VK_SPACE && GetKeyState(VK_CONTROL) >= 0) {
    Run(bingo, IDC_DRAW);
    return true;
  }
  if (message.wParam == 'Z' && GetKeyState(VK_CONTROL) < 0) {
    Run(bingo, IDC_UNDO);
    return true;
  }
  return false;
}

namespace {
void StartPreparedGame(BingoWindow* bingo, const std::string& list) {
  const std::string failed = StartGame(bingo, list, std::string());
  if (!failed.empty()) Ask(*bingo, failed, MB_OK | MB_ICONWARNING);
}
void PrepareCards(BingoWindow* bingo) { RunPreparedCards(bingo, StartPreparedGame); }
}  // namespace

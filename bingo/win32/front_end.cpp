// The controller's calls on Win32: questions in message boxes, a line of text and the
// run's settings in the window's form, files through the system's dialogs, the sheets
// opened by the shell, and the run made by the same code as tessarine-cards on a thread
// of its own. The worker only makes the run: its progress goes to the window's bar by a
// posted message and its lines into a list the window reads when the run has ended; the
// window's own loop keeps running meanwhile, so Cancel and repaints go on. Cancel keeps
// what was saved, as Ctrl-C does for tessarine-cards.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bingo/win32/bingo_window.h"
#include "bingo/win32/controls.h"
#include "bingo/win32/form.h"
#include "text/utf16_win32.h"
#include "bingo/run_form.h"
#include "runs/card_run.h"

namespace {
struct RunWatch {
  HWND bar = nullptr;
  HWND window = nullptr;
  std::mutex lock;
  std::vector<std::string> said;
  std::atomic<bool> ended{false};
};

void KeepSaid(void* context, bool, const std::string& text) {
  auto* watch = static_cast<RunWatch*>(context);
  const std::lock_guard<std::mutex> hold(watch->lock);
  watch->said.push_back(text);
}

void PostProgress(void* context, int32_t done) {
  auto* watch = static_cast<RunWatch*>(context);
  PostMessageW(watch->bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

std::string HomeFolder() {
  wchar_t home[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", home, MAX_PATH);
  return length > 0 && length < MAX_PATH ? Utf8OfWide(home) : std::string("C:");
}

// The count typed, or 0 where it is no whole number of up to five digits.
int CountOf(const std::string& text) {
  if (text.empty() || text.size() > 5) return 0;
  int count = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    count = count * 10 + (c - '0');
  }
  return count;
}

bool AskCardRun(HWND owner, CardRunRequest* request) {
  std::vector<FormField> fields(7);
  fields[0].label = kRunFormCountLabel;
  fields[0].text = std::to_string(kRunFormDefaultCount);
  fields[1].label = kRunFormColourLabel;
  fields[1].kind = FieldKind::kColour;
  fields[1].colour = request->colour;
  fields[2].label = kRunFormTitleLabel;
  fields[3].label = kRunFormPaperLabel;
  fields[3].kind = FieldKind::kChoice;
  fields[3].choices.assign(std::begin(kRunFormPapers), std::end(kRunFormPapers));
  fields[4].label = kRunFormFolderLabel;
  fields[4].text = HomeFolder() + "\\cartones";
  fields[5].label = kRunFormExtraLabel;
  fields[5].kind = FieldKind::kChoice;
  fields[5].choices.assign(std::begin(kRunFormExtras), std::end(kRunFormExtras));
  fields[6].label = kRunFormKindLabel;
  fields[6].kind = FieldKind::kChoice;
  fields[6].choices.assign(std::begin(kRunFormKinds), std::end(kRunFormKinds));
  RunFormAnswers answers;
  for (;;) {
    if (!AskForm(owner, kRunFormTitle, &fields)) return false;
    answers.kind = fields[6].choice;
    answers.count = CountOf(fields[0].text);
    const std::string refused = RunFormCountRefusal(answers);
    if (refused.empty()) break;
    const std::wstring text = WideOfUtf8(refused);
    const std::wstring title = WideOfUtf8(kBingoTitle);
    MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
  }
  answers.colour = static_cast<Colour>(fields[1].colour);
  answers.title = fields[2].text;
  answers.paper = fields[3].choice;
  answers.folder = fields[4].text;
  answers.extra = fields[5].choice;
  *request = RunRequestOf(answers, *request);
  return true;
}

// The bar and its Cancel shown under the controls while a run goes, hidden after; the
// controls are laid out again around them.
void ShowRunBar(BingoWindow* bingo, int32_t count, bool shown) {
  const HWND bar = GetDlgItem(bingo->window, IDC_PROGRESS);
  if (shown) {
    SendMessageW(bar, PBM_SETRANGE32, 0, count);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
  }
  ShowInColumn(*bingo, IDC_PROGRESS, shown);
  EnableWindow(GetDlgItem(bingo->window, IDC_RUN_CANCEL), TRUE);
  ShowInColumn(*bingo, IDC_RUN_CANCEL, shown);
}

// The run on a thread of its own while this one keeps the window answering (Cancel among
// it); what the run said is kept in `watch`.
CardRunOutcome RunWithTheWindowAlive(BingoWindow* bingo, const CardRunRequest& request,
                                     RunWatch* watch) {
  watch->bar = GetDlgItem(bingo->window, IDC_PROGRESS);
  watch->window = bingo->window;
  CardRunHooks hooks;
  hooks.context = watch;
  hooks.say = KeepSaid;
  hooks.progress = PostProgress;
  CardRunOutcome outcome = CardRunOutcome::kFailed;
  std::thread worker([&] {
    outcome = MakeCardRun(request, hooks);
    watch->ended = true;
    PostMessageW(watch->window, WM_NULL, 0, 0);  // wakes the loop below
  });
  MSG message;
  while (!watch->ended && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(bingo->window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  worker.join();
  // A Cancel after the run had looked must not stop the game's own saves later.
  ResumeSaves();
  return outcome;
}

}  // namespace

std::string AskFileName(HWND owner, bool saving, const std::string& caption,
                        const std::string& filter_name, const wchar_t* pattern,
                        const std::string& folder, const std::string& offered) {
  std::wstring path = WideOfUtf8(offered);
  path.resize(MAX_PATH * 4, L'\0');
  const std::wstring initial = WideOfUtf8(folder);
  const std::wstring title = WideOfUtf8(caption);
  const std::wstring filter = WideOfUtf8(filter_name) + L'\0' + pattern + L'\0' + L'\0';
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
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

bool WindowFrontEnd::Ask(const std::string& question, bool default_no) {
  const std::wstring text = WideOfUtf8(question);
  const std::wstring title = WideOfUtf8(kBingoTitle);
  return MessageBoxW(bingo->window, text.c_str(), title.c_str(),
                     MB_YESNO | MB_ICONQUESTION | (default_no ? MB_DEFBUTTON2 : MB_DEFBUTTON1)) == IDYES;
}

bool WindowFrontEnd::AskText(const std::string& question, const std::string& initial,
                             std::string* answer) {
  std::vector<FormField> fields(1);
  fields[0].label = question;
  fields[0].text = initial;
  if (!AskForm(bingo->window, kBingoTitle, &fields)) return false;
  *answer = fields[0].text;
  return true;
}

void WindowFrontEnd::Warn(const std::string& text) {
  const std::wstring wide = WideOfUtf8(text);
  const std::wstring title = WideOfUtf8(kBingoTitle);
  MessageBoxW(bingo->window, wide.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
}

std::string WindowFrontEnd::ChooseList() {
  return AskFileName(bingo->window, false, "Lista de cartones", "Listas de cartones (*.csv)",
                     L"*.csv", "", "");
}

std::string WindowFrontEnd::ChooseRecordFile(const std::string& folder, const std::string& offered) {
  return AskFileName(bingo->window, true, "Acta de la partida (se guarda en PDF y en CSV)",
                     "Acta en PDF y CSV (*.pdf *.csv)", L"*.pdf;*.csv", folder, offered);
}

bool WindowFrontEnd::FillRunForm(CardRunRequest* request) {
  return AskCardRun(bingo->window, request);
}

std::vector<std::string> WindowFrontEnd::MakeRun(const CardRunRequest& request) {
  const std::wstring out = WideOfUtf8(request.out);
  SHCreateDirectoryExW(nullptr, out.c_str(), nullptr);  // the list's folder, files or not
  RunWatch watch;
  RefreshBingo(bingo);  // the controls go grey while the run works
  ShowRunBar(bingo, request.count, true);
  RunWithTheWindowAlive(bingo, request, &watch);
  ShowRunBar(bingo, request.count, false);
  return watch.said;
}

void WindowFrontEnd::OpenFile(const std::string& path) {
  const std::wstring wide = WideOfUtf8(path);
  ShellExecuteW(bingo->window, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string WindowFrontEnd::Speak(int number) {
  const bool on = SendMessageW(GetDlgItem(bingo->window, IDC_VOICE), BM_GETCHECK, 0, 0) == BST_CHECKED;
  return on ? SayNumber(bingo->voice, number) : std::string();
}

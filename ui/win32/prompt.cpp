// PromptForText: a small modal dialog with a prompt, one edit field, OK and Cancel,
// built as an in-memory DLGTEMPLATE at every call.
#include <windows.h>

#include <cstring>
#include <string>

#include "ui/constants.h"
#include "ui/dialogs.h"
#include "text/utf16_win32.h"

namespace {
constexpr int IDC_INPUT_TEXT = 101;
constexpr int IDC_INPUT_PROMPT = 102;
constexpr SIZE_T kTemplateBlockBytes = 4096;
constexpr DWORD kPromptDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME;  // 0x80C80880
constexpr WORD kEditClass = 0x0081;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;

struct PromptItem {
  WORD window_class;
  WORD id;
  DialogUnitRect place;
  DWORD style;
  const std::wstring* text;
};

// Writes 16-bit words into the zeroed template block.
struct TemplateWriter {
  BYTE* start;
  size_t offset = 0;

  void Word(WORD value) {
    std::memcpy(start + offset, &value, sizeof(value));
    offset += sizeof(value);
  }
  void Dword(DWORD value) {
    std::memcpy(start + offset, &value, sizeof(value));
    offset += sizeof(value);
  }
  void Text(const std::wstring& text) {
    for (wchar_t c : text) Word(static_cast<WORD>(c));
    Word(0);
  }
  void AlignToDword() { offset = (offset + 3) & ~size_t{3}; }  // the gap stays zero
};

// Header and fixed fields, the item texts with their zeros, and alignment slack.
size_t TemplateBytes(const std::wstring& caption, const PromptItem* items, int count) {
  size_t characters = caption.size() + 1;
  for (int i = 0; i < count; ++i) characters += items[i].text->size() + 1;
  return 256 + 2 * characters;
}

void WriteTemplate(BYTE* block, const std::wstring& caption, const PromptItem* items, int count) {
  TemplateWriter out{block};
  out.Dword(kPromptDialogStyle);
  out.Dword(0);  // extended style
  out.Word(static_cast<WORD>(count));
  out.Word(static_cast<WORD>(kPromptDialogRect.x));  // x and y: without effect under DS_CENTER
  out.Word(static_cast<WORD>(kPromptDialogRect.y));
  out.Word(static_cast<WORD>(kPromptDialogRect.width));
  out.Word(static_cast<WORD>(kPromptDialogRect.height));
  out.Word(0);  // no menu
  out.Word(0);  // the standard dialog class
  out.Text(caption);
  for (int i = 0; i < count; ++i) {
    const PromptItem& item = items[i];
    out.AlignToDword();
    out.Dword(item.style);
    out.Dword(0);  // extended style
    out.Word(static_cast<WORD>(item.place.x));
    out.Word(static_cast<WORD>(item.place.y));
    out.Word(static_cast<WORD>(item.place.width));
    out.Word(static_cast<WORD>(item.place.height));
    out.Word(item.id);
    out.Word(0xFFFF);  // class by ordinal
    out.Word(item.window_class);
    out.Text(*item.text);
    out.Word(0);  // no creation data
  }
}

struct PromptState {
  int16_t x;
  int16_t y;
  std::wstring answer;
};

INT_PTR CALLBACK PromptProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      const auto* state = reinterpret_cast<const PromptState*>(lparam);
      if (state->x >= 0 && state->y >= 0)
        SetWindowPos(dialog, nullptr, state->x, state->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      const HWND edit = GetDlgItem(dialog, IDC_INPUT_TEXT);
      SetFocus(edit);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      return TRUE;
    }
    case WM_COMMAND: {
      auto* state = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
      if (LOWORD(wparam) == IDOK) {
        // The whole text, however long: the buffer is as long as the field's text.
        const HWND edit = GetDlgItem(dialog, IDC_INPUT_TEXT);
        const int length = GetWindowTextLengthW(edit);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const int read = GetWindowTextW(edit, &text[0], length + 1);
        text.resize(static_cast<size_t>(read > 0 ? read : 0));
        if (state != nullptr) state->answer = text;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        if (state != nullptr) state->answer.clear();
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}
}  // namespace

std::string PromptForText(const char* prompt, const char* caption, const char* default_text,
                          int16_t x, int16_t y) {
  std::wstring wide_caption = WideOfUtf8(caption);
  if (wide_caption.empty()) wide_caption = WideOfUtf8(kProgramName);
  const std::wstring wide_default = WideOfUtf8(default_text);
  const std::wstring wide_prompt = WideOfUtf8(prompt);
  const std::wstring ok = WideOfUtf8(kPromptOkText);
  const std::wstring cancel = WideOfUtf8(kPromptCancelText);

  // Order is tab order: the edit field first.
  const PromptItem items[] = {
      {kEditClass, IDC_INPUT_TEXT, kPromptEditRect,
       WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, &wide_default},
      {kButtonClass, IDOK, kPromptOkRect, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
       &ok},
      {kButtonClass, IDCANCEL, kPromptCancelRect,
       WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, &cancel},
      {kStaticClass, IDC_INPUT_PROMPT, kPromptTextRect, WS_CHILD | WS_VISIBLE | SS_LEFT,
       &wide_prompt},
  };
  constexpr int kItemCount = sizeof(items) / sizeof(items[0]);

  // Long texts get a bigger block rather than being cut.
  SIZE_T block_bytes = TemplateBytes(wide_caption, items, kItemCount);
  if (block_bytes < kTemplateBlockBytes) block_bytes = kTemplateBlockBytes;
  const HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, block_bytes);
  if (block == nullptr) return std::string();
  WriteTemplate(static_cast<BYTE*>(block), wide_caption, items, kItemCount);

  PromptState state{x, y, std::wstring()};
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(block),
                          nullptr, PromptProcedure, reinterpret_cast<LPARAM>(&state));
  GlobalFree(block);
  return Utf8OfWide(state.answer);
}

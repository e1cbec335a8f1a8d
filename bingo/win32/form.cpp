// The form is a dialog box made from a template with no items; its controls are made
// when it starts, in pixels, and the box is sized around them. The dialog manager gives
// Tab, Enter and Escape their usual meaning.
#include "bingo/win32/form.h"

#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "text/utf16_win32.h"

namespace {
constexpr int kMargin = 10;
constexpr int kLabelWidth = 170;
constexpr int kFieldWidth = 260;
constexpr int kRowHeight = 24;
constexpr int kRowGap = 8;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 26;
constexpr int kChoiceListHeight = 120;  // the drop-down list of a choice
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;

struct FormState {
  std::vector<FormField>* fields;
  HFONT font;
};

HWND MakeControl(HWND dialog, const wchar_t* window_class, const std::string& text, DWORD style,
                 int id, int x, int y, int width, int height, HFONT font) {
  const std::wstring wide = WideOfUtf8(text);
  const HWND control = CreateWindowExW(
      window_class == std::wstring(L"EDIT") ? WS_EX_CLIENTEDGE : 0, window_class, wide.c_str(),
      WS_CHILD | WS_VISIBLE | style, x, y, width, height, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void ShowColour(HWND button, COLORREF colour) {
  wchar_t text[32];
  wsprintfW(text, L"Color\x2026  #%02X%02X%02X", GetRValue(colour), GetGValue(colour),
            GetBValue(colour));
  SetWindowTextW(button, text);
}

int LabelHeight(HWND dialog, HFONT font, const std::string& label) {
  const std::wstring wide = WideOfUtf8(label);
  RECT box{0, 0, kLabelWidth - 6, 0};
  const HDC dc = GetDC(dialog);
  const HGDIOBJ old = SelectObject(dc, font);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return static_cast<int>(box.bottom - box.top);
}

void MakeFields(HWND dialog, FormState* state) {
  std::vector<FormField>& fields = *state->fields;
  int y = kMargin;
  HWND first = nullptr;
  for (size_t i = 0; i < fields.size(); ++i) {
    const FormField& field = fields[i];
    const int id = IDC_FORM_FIRST_FIELD + static_cast<int>(i);
    const int x = kMargin + kLabelWidth;
    // A long label wraps, and its row grows to hold it.
    const int label_height = LabelHeight(dialog, state->font, field.label);
    MakeControl(dialog, L"STATIC", field.label, SS_LEFT, -1, kMargin, y + 4, kLabelWidth - 6,
                label_height, state->font);
    HWND control = nullptr;
    if (field.kind == FieldKind::kText) {
      control = MakeControl(dialog, L"EDIT", field.text, WS_TABSTOP | ES_AUTOHSCROLL, id, x, y,
                            kFieldWidth, kRowHeight, state->font);
    } else if (field.kind == FieldKind::kChoice) {
      control = MakeControl(dialog, L"COMBOBOX", "", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, id,
                            x, y, kFieldWidth, kChoiceListHeight, state->font);
      for (const std::string& choice : field.choices) {
        const std::wstring wide = WideOfUtf8(choice);
        SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
      }
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(field.choice), 0);
    } else {
      control = MakeControl(dialog, L"BUTTON", "", WS_TABSTOP | BS_PUSHBUTTON, id, x, y,
                            kFieldWidth, kRowHeight, state->font);
      ShowColour(control, field.colour);
    }
    if (first == nullptr) first = control;
    y += std::max(kRowHeight, label_height + 4) + kRowGap;
  }
  const int right = kMargin + kLabelWidth + kFieldWidth;
  y += kRowGap;
  MakeControl(dialog, L"BUTTON", "Aceptar", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
              right - 2 * kButtonWidth - kRowGap, y, kButtonWidth, kButtonHeight, state->font);
  MakeControl(dialog, L"BUTTON", "Cancelar", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL,
              right - kButtonWidth, y, kButtonWidth, kButtonHeight, state->font);
  RECT frame{0, 0, right + kMargin, y + kButtonHeight + kMargin};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  RECT owner_place{};
  const HWND owner = GetWindow(dialog, GW_OWNER);
  if (owner == nullptr || !GetWindowRect(owner, &owner_place))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner_place, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (owner_place.left + owner_place.right - width) / 2,
               (owner_place.top + owner_place.bottom - height) / 2, width, height, SWP_NOZORDER);
  if (first != nullptr) SetFocus(first);
}

void ChooseColour(HWND button, FormField* field) {
  static COLORREF customs[16] = {};
  CHOOSECOLORW chooser{};
  chooser.lStructSize = sizeof(chooser);
  chooser.hwndOwner = GetParent(button);
  chooser.rgbResult = field->colour;
  chooser.lpCustColors = customs;
  chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (ChooseColorW(&chooser)) {
    field->colour = chooser.rgbResult;
    ShowColour(button, field->colour);
  }
}

void ReadFields(HWND dialog, std::vector<FormField>* fields) {
  for (size_t i = 0; i < fields->size(); ++i) {
    FormField& field = (*fields)[i];
    const HWND control = GetDlgItem(dialog, IDC_FORM_FIRST_FIELD + static_cast<int>(i));
    if (field.kind == FieldKind::kText) field.text = TextOf(control);
    if (field.kind == FieldKind::kChoice)
      field.choice = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
  }
}

INT_PTR CALLBACK FormProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<FormState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      MakeFields(dialog, reinterpret_cast<FormState*>(lparam));
      return FALSE;  // the focus is set
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDOK || id == IDCANCEL) {
        if (id == IDOK) ReadFields(dialog, state->fields);
        EndDialog(dialog, id);
        return TRUE;
      }
      const size_t index = static_cast<size_t>(id - IDC_FORM_FIRST_FIELD);
      if (id >= IDC_FORM_FIRST_FIELD && index < state->fields->size() &&
          (*state->fields)[index].kind == FieldKind::kColour && HIWORD(wparam) == BN_CLICKED) {
        ChooseColour(reinterpret_cast<HWND>(lparam), &(*state->fields)[index]);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}
}  // namespace

LOGFONTW MessageFont() {
  // The record as the NT releases before Vista know it, without iPaddedBorderWidth: every
  // release takes that size, while only Vista and later take the longer one.
  constexpr UINT kMetricsSize = static_cast<UINT>(offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = kMetricsSize;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kMetricsSize, &metrics, 0)) {
    LOGFONTW fallback{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(fallback), &fallback);
    return fallback;
  }
  return metrics.lfMessageFont;
}

bool AskForm(HWND owner, const std::string& caption, std::vector<FormField>* fields) {
  // The template: the box's style and caption, no items, no menu, the standard class.
  const std::wstring wide_caption = WideOfUtf8(caption);
  std::vector<WORD> block(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3 + wide_caption.size() + 1, 0);
  DLGTEMPLATE header{};
  header.style = kFormStyle;
  header.cx = 200;  // resized once the controls are made
  header.cy = 100;
  std::memcpy(block.data(), &header, sizeof(header));
  WORD* after = block.data() + sizeof(DLGTEMPLATE) / sizeof(WORD);
  after[0] = 0;  // no menu
  after[1] = 0;  // the standard dialog class
  for (size_t i = 0; i < wide_caption.size(); ++i) after[2 + i] = static_cast<WORD>(wide_caption[i]);

  const LOGFONTW face = MessageFont();
  FormState state{fields, CreateFontIndirectW(&face)};
  const INT_PTR answer =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(block.data()),
                              owner, FormProcedure, reinterpret_cast<LPARAM>(&state));
  DeleteObject(state.font);
  return answer == IDOK;
}

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(control, &text[0], length + 1);
  text.resize(static_cast<size_t>(read > 0 ? read : 0));
  return Utf8OfWide(text);
}

// A small modal form: a label and a field a row (text, a choice, a colour), then
// "Aceptar" and "Cancelar". What the bingo window asks in one go: the cards in play of
// a new game, the settings of a run of cards.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

enum class FieldKind { kText, kChoice, kColour };

struct FormField {
  FieldKind kind = FieldKind::kText;
  std::string label;
  std::string text;                  // kText: what is typed
  std::vector<std::string> choices;  // kChoice
  int choice = 0;                    // kChoice: the index chosen
  COLORREF colour = 0;               // kColour: chosen with the system's colour chooser
};

// Field ids, in order from this one; the end-to-end driver finds them so.
constexpr int IDC_FORM_FIRST_FIELD = 3001;

// A control's text, in UTF-8.
std::string TextOf(HWND control);

// The system's message face, the one its dialogs and message boxes use.
LOGFONTW MessageFont();

// True when the user pressed "Aceptar"; the fields then hold the answers.
bool AskForm(HWND owner, const std::string& caption, std::vector<FormField>* fields);

// Every window service and standard dialog, scripted or trivial (see fake_ui.h).
#include "fake_ui.h"

#include "ui/dialogs.h"
#include "ui/window.h"

FakeUi& TheFakeUi() {
  static FakeUi ui;
  return ui;
}

void ResetFakeUi() { TheFakeUi() = FakeUi{}; }

std::string PromptForText(const char* prompt, const char* caption, const char* default_text,
                          int16_t x, int16_t y) {
  FakeUi& ui = TheFakeUi();
  ui.prompts.push_back({prompt, caption, default_text, x, y});
  if (ui.answers.empty()) return std::string();
  std::string answer = ui.answers.front();
  ui.answers.pop_front();
  return answer;
}

int32_t ShowMessage(const char* text, int32_t style, const char* title) {
  TheFakeUi().messages.push_back({text, style, title});
  return IDOK;
}

int32_t PickColour(uint32_t, int32_t, int32_t, int32_t, int32_t*, int32_t) { return -1; }

uint32_t CreateDialogWindow(int32_t, uint32_t, const char*, int32_t, int32_t, int32_t, int32_t,
                            uint32_t, uint32_t) {
  static uint32_t next_window = 0x1000;
  return ++next_window;
}

void AddControl(int32_t, uint32_t, int32_t, const char*, int32_t, int32_t, int32_t, int32_t,
                uint32_t, uint32_t, WindowCallback) {}

uint32_t NewMenu(int32_t) {
  static uint32_t next_menu = 0x2000;
  return ++next_menu;
}

void AddMenuItem(uint32_t, uint32_t, int32_t, int32_t, int32_t, void*, int32_t, const char*) {}
void AttachMenu(uint32_t, uint32_t) {}
uint32_t LoadMenuImage(const char*) { return 0; }
uint32_t MenuImageFromPixels(int32_t, int32_t, int32_t, const uint32_t*) { return 0; }
void SetMenuItemImage(uint32_t, int32_t, uint32_t) {}

void RunModal(uint32_t, WindowCallback, int32_t* result) {
  if (result != nullptr) *result = 0;
}

void EndDialogWindow(uint32_t, int32_t) {}
uint32_t FocusWindow() { return 0; }
void SetFocusWindow(uint32_t) {}
int RunFrontEnd(int, char**, int (*main_routine)()) { return main_routine(); }

// A scripted user interface for the commands' tests: PromptForText answers from a list,
// ShowMessage records what it was asked to show, and every other window service does
// the least it can.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct RecordedPrompt {
  std::string prompt, caption, default_text;
  int16_t x, y;
};
struct RecordedMessage {
  std::string text;
  int32_t style;
  std::string title;
};

struct FakeUi {
  std::deque<std::string> answers;  // the next PromptForText answers; "" once used up
  std::vector<RecordedPrompt> prompts;
  std::vector<RecordedMessage> messages;
};
FakeUi& TheFakeUi();
void ResetFakeUi();

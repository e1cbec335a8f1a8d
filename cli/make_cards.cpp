// Results go to standard output; errors and warnings to standard error, each after the
// program's name.
#include "cli/make_cards.h"

#include <cstdio>
#include <string>

#include "cli/interrupt.h"
#include "cli/progress.h"
#include "cli/report.h"
#include "runs/card_run.h"

namespace {
void SayOnTerminal(void*, bool is_error, const std::string& text) {
  if (is_error)
    std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
  else
    std::printf("%s\n", text.c_str());
}

void ShowProgress(void* context, int32_t done) { UpdateProgress(static_cast<Progress*>(context), done); }

void EndBar(void* context) { EndProgress(static_cast<Progress*>(context)); }

// The run's refusals name the options that gave the clashing outputs.
CardRunTexts OptionTexts() {
  CardRunTexts texts;
  texts.same_list_and_pdf = "--list y --pdf no pueden ser el mismo archivo";
  texts.list_is_a_card = "--list no puede ser uno de los cartones de la tanda";
  texts.pdf_is_a_card = "--pdf no puede ser uno de los cartones de la tanda";
  return texts;
}
}  // namespace

int MakeCards(const CliOptions& options) {
  CatchInterruptions();
  Progress progress = StartProgress(options.run.count);
  CardRunHooks hooks;
  hooks.context = &progress;
  hooks.texts = OptionTexts();
  hooks.say = SayOnTerminal;
  hooks.progress = ShowProgress;
  hooks.cards_done = EndBar;
  switch (MakeCardRun(options.run, hooks)) {
    case CardRunOutcome::kMade: return Finish(0);
    case CardRunOutcome::kBadInput: return kBadInputExit;
    case CardRunOutcome::kInterrupted: return InterruptionExitCode();
    case CardRunOutcome::kFailed: break;
  }
  return Finish(kFailedExit);
}

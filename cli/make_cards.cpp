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

CardRunRequest RequestOf(const CliOptions& options) {
  CardRunRequest request;
  request.count = options.count;
  request.out = options.out;
  request.colour = options.colour;
  request.png = options.png;
  request.no_files = options.no_files;
  request.list = options.list;
  request.pdf = options.pdf;
  request.paper = options.paper;
  request.title = options.title;
  request.start = options.start;
  return request;
}
}  // namespace

int MakeCards(const CliOptions& options) {
  CatchInterruptions();
  Progress progress = StartProgress(options.count);
  CardRunHooks hooks;
  hooks.context = &progress;
  hooks.say = SayOnTerminal;
  hooks.progress = ShowProgress;
  hooks.cards_done = EndBar;
  switch (MakeCardRun(RequestOf(options), hooks)) {
    case CardRunOutcome::kMade: return Finish(0);
    case CardRunOutcome::kBadInput: return kBadInputExit;
    case CardRunOutcome::kInterrupted: return InterruptionExitCode();
    case CardRunOutcome::kFailed: break;
  }
  return Finish(kFailedExit);
}

// The list and the sheets of a run are fed each card once its file is in place (files go
// to the disk in order, a few cards behind the drawing), so a run that stops on a failed
// file or an interruption still gives a list and sheets of the cards it saved. Both are
// begun before the first card, so that a list or PDF that cannot be written refuses the
// run at once, and put in place only after the folder's entries are on the disk.
#include "runs/card_run.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "card/run_seeds.h"
#include "card/series.h"
#include "text/quoted_text.h"
#include "card/random.h"
#include "card/renderer.h"
#include "files/batch_card.h"
#include "files/card_files.h"
#include "formats/card_list.h"
#include "disk/file_system.h"
#include "disk/folder_lock.h"
#include "formats/png_writer.h"
#include "disk/save_error_text.h"
#include "runs/pdf_file.h"

namespace {
// What became of a step: done or not, and what to say either way (why not, in Spanish).
struct Outcome {
  bool ok = true;
  std::string text;
};

struct RunOutputs {
  const CardRunRequest* options = nullptr;
  const char* extension = kBitmapExtension;
  bool has_pdf = false;
  bool has_list = false;
  PdfFile pdf;
  FileReplacement list_file;
  std::vector<ListLine> lines;                          // the cards handed on
  int32_t handed_on = 0;
  std::vector<std::pair<int32_t, uint32_t>> waiting;  // (number, seed): file not yet in place
  const CardRunHooks* hooks = nullptr;
  uint32_t first_series_seed = 0;  // of a run of series
  CardSeries series{};             // the series of the last cartón handed on
  uint32_t series_seed = 0;
  bool has_series = false;
};

bool IsSeriesRun(const RunOutputs* out) { return out->options->type == CardType::kSeries90; }

// The list and sheets of a series run take whole series: of the first `saved` cartones,
// those of the series whose six are all in place.
int32_t WholeSeriesCards(const RunOutputs* out, int32_t saved) {
  if (!IsSeriesRun(out) || out->options->first_place != 1) return saved;
  return saved - saved % kCardsPerSeries;
}

ListLine LineOfCard(RunOutputs* out, int32_t number, uint32_t seed_bits) {
  const std::string name = CardFileName(number, out->extension);
  if (!IsSeriesRun(out)) return ListLineOf(name, seed_bits);
  const SeriesRunCard card =
      SeriesCardOfRun(out->first_series_seed, out->options->first_place, number - 1);
  // A series is made once for its six cartones.
  if (!out->has_series || out->series_seed != card.series_seed) {
    out->series = MakeSeries(card.series_seed);
    out->series_seed = card.series_seed;
    out->has_series = true;
  }
  ListLine line;
  line.file_name = name;
  line.seed_bits = card.series_seed;
  line.layout = out->series.card[size_t(card.place - 1)];
  line.type = CardType::kSeries90;
  line.place = card.place;
  return line;
}

void Say(const RunOutputs* out, bool is_error, const std::string& text) {
  if (out->hooks->say != nullptr) out->hooks->say(out->hooks->context, is_error, text);
}

void ShowDone(const RunOutputs* out, int32_t done) {
  if (out->hooks->progress != nullptr) out->hooks->progress(out->hooks->context, done);
}

// The card file of this run that `output` would take the place of, or "" for none: only
// a name of digits can be one, so the folder is looked at for that one number alone.
std::string CardFileTaken(const CardRunRequest& options, const std::string& output) {
  const size_t slash = output.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? output : output.substr(slash + 1);
  int32_t number = 0;
  size_t digits = 0;
  for (; digits < name.size() && digits < 6 && name[digits] >= '0' && name[digits] <= '9';
       ++digits)
    number = number * 10 + (name[digits] - '0');
  if (digits == 0 || number < 1 || number > options.count) return "";
  const std::string card =
      PathInFolder(options.out, CardFileName(number, options.png ? kPngExtension : kBitmapExtension));
  return SameFile(output, card) ? card : "";
}

// Why the run's outputs would overwrite each other, told from the files the names reach
// (one file spelled two ways is one file); "" when each has its own.
std::string OutputsClash(const CardRunRequest& options, const CardRunTexts& texts) {
  if (!options.list.empty() && !options.pdf.empty() && SameFile(options.list, options.pdf))
    return std::string(texts.same_list_and_pdf) + ": " + EscapedText(options.list) + " y " +
           EscapedText(options.pdf);
  if (options.no_files) return "";
  const std::pair<const char*, const std::string*> outputs[] = {
      {texts.list_is_a_card, &options.list}, {texts.pdf_is_a_card, &options.pdf}};
  for (const auto& output : outputs) {
    if (output.second->empty()) continue;
    const std::string card = CardFileTaken(options, *output.second);
    if (!card.empty()) return std::string(output.first) + ": " + EscapedText(card);
  }
  return "";
}

bool BeginOutputs(const CardRunRequest& options, RunOutputs* out) {
  out->options = &options;
  out->extension = options.png ? kPngExtension : kBitmapExtension;
  out->has_pdf = !options.pdf.empty();
  out->has_list = !options.list.empty();
  const std::string nothing_made = ": no se hizo ningún cartón";
  if (out->has_pdf &&
      !BeginPdfFile(options.pdf, options.paper, options.title, &out->pdf, options.type)) {
    if (out->pdf.file.error != SaveError::kNone)
      Say(out, true, NotSavedText(options.pdf, out->pdf.file.error) + nothing_made);
    else
      Say(out, true, "no se pudo hacer " + EscapedText(options.pdf) + " (" + out->pdf.error + ")" + nothing_made);
    return false;
  }
  if (out->has_list && BeginReplacement(options.list, &out->list_file) != SaveError::kNone) {
    Say(out, true, NotSavedText(options.list, out->list_file.error) + nothing_made);
    if (out->has_pdf) AbandonPdfFile(&out->pdf);
    return false;
  }
  return true;
}

void AbandonOutputs(RunOutputs* out) {
  if (out->has_pdf) AbandonPdfFile(&out->pdf);
  if (out->has_list) AbandonReplacement(&out->list_file);
}

// The cards made whose files are in place (the first `saved` of the run) go to the list
// and the sheets.
void HandOn(RunOutputs* out, int32_t saved) {
  size_t taken = 0;
  saved = WholeSeriesCards(out, saved);
  for (; taken < out->waiting.size() && out->waiting[taken].first <= saved; ++taken) {
    const int32_t number = out->waiting[taken].first;
    const ListLine line = LineOfCard(out, number, out->waiting[taken].second);
    if (out->has_pdf) {
      SheetCard card;
      card.number = number;
      card.seed_bits = line.seed_bits;
      card.layout = line.layout;
      card.colour = out->options->colour;
      card.type = line.type;
      card.place = line.place;
      card.series_number = (number - 1) / kCardsPerSeries + 1;
      AddPdfCard(&out->pdf, card);
    }
    if (out->has_list) out->lines.push_back(line);
    ++out->handed_on;
  }
  out->waiting.erase(out->waiting.begin(), out->waiting.begin() + static_cast<long>(taken));
}

void CardMade(void* context, int32_t number, uint32_t seed_bits, int32_t saved) {
  auto* out = static_cast<RunOutputs*>(context);
  out->waiting.emplace_back(number, seed_bits);
  HandOn(out, saved);
}

void ShowProgress(void* context, int32_t done) { ShowDone(static_cast<RunOutputs*>(context), done); }

// The cards of the run with no files: each only a seed, nothing drawn. Stops at an
// interruption, or when the sheets fail and there is nothing else to make. The number
// of cards made.
int32_t MakeSeedsOnly(const CardRunRequest& options, RunOutputs* out) {
  CardRun run;
  int32_t made = 0;
  while (made < options.count && !SavesAbandoned()) {
    const uint32_t seed_bits =
        IsSeriesRun(out)
            ? SeriesCardOfRun(out->first_series_seed, options.first_place, made).series_seed
            : NextSeedOfRun(run, options.start, ClockSeedBitsNow());
    ++made;
    CardMade(out, made, seed_bits, made);
    ShowDone(out, made);
    if (out->has_pdf && !out->pdf.error.empty() && !out->has_list) break;
  }
  return made;
}

struct FilesResult {
  bool refused = false;  // another batch holds the folder: nothing was made
  int32_t saved = 0;
  bool flushed = true;   // the folder's entries are on the disk
  CardFilesFailure failure;
};

FilesResult MakeFiles(const CardRunRequest& options, RunOutputs* out) {
  FilesResult result;
  MakeFolder(options.out);
  // A folder no lock file can be made in takes no card files either: the first save
  // then says why.
  FolderLock lock;
  if (LockFolder(options.out, &lock) == FolderLockResult::kInUse) {
    Say(out, true, FolderInUseText(EscapedText(options.out)));
    result.refused = true;
    return result;
  }
  // The picture: a white 721 x 241 surface, as the window's picture control is.
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(kWhite, 0);

  CardFilesRequest request;
  request.picture = picture;
  request.count = options.count;
  request.folder = options.out;
  request.start = options.start;
  request.type = options.type;
  request.first_series_seed = out->first_series_seed;
  request.first_place = options.first_place;
  request.colour = options.colour;
  if (options.png) request.encode = EncodePng;
  request.extension = out->extension;
  request.progress = ShowProgress;
  request.card_made = CardMade;
  request.context = out;
  result.saved = MakeCardFiles(request, &result.failure);
  SelectTarget(picture, 0, 0);
  EndBitmap();
  // Nothing is said, and nothing listed, before the folder's entries are on the disk.
  const SaveError flushed = UnlockFolder(&lock);
  if (flushed != SaveError::kNone) {
    result.failure.path = options.out;
    result.failure.error = flushed;
    result.saved = 0;
    result.flushed = false;
  }
  return result;
}

// "hojas en cards.pdf: 8 cartones, 3 páginas", or why the sheets are not in place.
Outcome FinishPdf(RunOutputs* out) {
  if (FinishPdfFile(&out->pdf)) {
    char text[96];
    std::snprintf(text, sizeof text, ": %d cartones, %d páginas", out->pdf.cards,
                  PdfPages(out->pdf.cards, out->options->type));
    return {true, "hojas en " + EscapedText(out->options->pdf) + text};
  }
  if (out->pdf.file.error != SaveError::kNone)
    return {false, NotSavedText(out->options->pdf, out->pdf.file.error)};
  return {false, "no se pudo hacer " + EscapedText(out->options->pdf) + " (" + out->pdf.error + ")"};
}

Outcome FinishList(RunOutputs* out) {
  const std::string bytes = CardListBytes(out->lines);
  if (AppendToReplacement(&out->list_file, bytes.data(), bytes.size()) != SaveError::kNone ||
      CommitReplacement(&out->list_file) != SaveError::kNone)
    return {false, NotSavedText(out->options->list, out->list_file.error)};
  return {true, "lista en " + EscapedText(out->options->list) + ": " +
                    std::to_string(out->lines.size()) + " cartones"};
}

// What the list and the sheets say once put in place, or why not.
std::vector<Outcome> FinishOutputs(RunOutputs* out, bool flushed) {
  std::vector<Outcome> said;
  if (!flushed) {
    if (out->has_pdf || out->has_list)
      said.push_back({false, "no se escribieron la lista ni las hojas: ningún cartón consta en "
                             "el disco"});
    return said;
  }
  if (out->has_pdf) said.push_back(FinishPdf(out));
  if (out->has_list) said.push_back(FinishList(out));
  return said;
}

// A run that did not make every card: why, and what became of its outputs.
CardRunOutcome ReportStopped(const RunOutputs* out, const FilesResult& files, bool interrupted,
                             const std::vector<Outcome>& said) {
  const CardRunRequest& options = *out->options;
  const char* what = options.no_files ? "hechos" : "guardados";
  if (interrupted) {
    Say(out, true, "interrumpido: " + std::to_string(files.saved) + " cartones " + what);
  } else if (!options.no_files) {
    // Without card files only the sheets stop a run, and their own line says why: no
    // file failed, and none was saved.
    Say(out, true, NotSavedText(files.failure.path, files.failure.error) + "; " +
                       std::to_string(files.saved) + " cartones guardados antes");
  }
  for (const Outcome& line : said) Say(out, true, line.text);
  return interrupted ? CardRunOutcome::kInterrupted : CardRunOutcome::kFailed;
}

// What a run that made every card says: where they are, then its list and sheets.
CardRunOutcome ReportMade(const RunOutputs* out, const std::vector<Outcome>& said) {
  const CardRunRequest& options = *out->options;
  if (!options.no_files) {
    Say(out, false, std::to_string(options.count) + " cartones en " +
                        EscapedText(PathInFolder(options.out, "")));
  }
  bool outputs_ok = true;
  for (const Outcome& line : said) {
    Say(out, !line.ok, line.text);
    outputs_ok = outputs_ok && line.ok;
  }
  return outputs_ok ? CardRunOutcome::kMade : CardRunOutcome::kFailed;
}
}  // namespace

std::string NotSavedText(const std::string& path, SaveError error) {
  const std::string why = SaveErrorText(error);
  return "no se pudo guardar " + EscapedText(path) + (why.empty() ? "" : " (" + why + ")");
}

CardRunOutcome MakeCardRun(const CardRunRequest& options, const CardRunHooks& hooks) {
  RunOutputs out;
  out.hooks = &hooks;
  const SeriesRunStart series_start{options.start.has_code, options.start.code_bits,
                                    options.start.has_time, options.start.time_ms};
  if (options.type == CardType::kSeries90)
    out.first_series_seed = FirstSeriesSeed(series_start, MillisecondsSinceMidnight());
  const std::string clash = OutputsClash(options, hooks.texts);
  if (!clash.empty()) {
    Say(&out, true, clash);
    return CardRunOutcome::kBadInput;
  }
  if (!BeginOutputs(options, &out)) return CardRunOutcome::kFailed;

  FilesResult files;
  if (options.no_files)
    files.saved = MakeSeedsOnly(options, &out);
  else
    files = MakeFiles(options, &out);
  if (hooks.cards_done != nullptr) hooks.cards_done(hooks.context);
  if (files.refused || !files.flushed) {
    AbandonOutputs(&out);
    if (files.refused) return CardRunOutcome::kFailed;
  } else {
    HandOn(&out, files.saved);
  }

  const bool interrupted = SavesAbandoned();
  // The saves were abandoned to stop the run; what it made is still to be listed.
  if (interrupted) ResumeSaves();
  const bool stopped = interrupted || files.saved < options.count;
  const std::vector<Outcome> said = FinishOutputs(&out, files.flushed);
  if (stopped) return ReportStopped(&out, files, interrupted, said);
  return ReportMade(&out, said);
}

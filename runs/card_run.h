// A run of cards as tessarine-cards and the bingo window make it: the card files (BMP or
// PNG) of a folder, and beside them the list of the run's cards and its print-ready
// sheets, both holding exactly the cards whose files are on the disk. What the run has
// to say goes to the caller's hooks, so each program says it its own way; a run is
// cancelled by AbandonSaves (Ctrl-C, or a window's Cancel), keeping what was saved.
#pragma once
#include <cstdint>
#include <string>

#include "card/card_type.h"
#include "card/run_seeds.h"
#include "disk/file_system.h"
#include "draw/draw.h"
#include "sheets/sheet_layout.h"

struct CardRunRequest {
  int32_t count = 1;
  std::string out = "muchas";
  Colour colour = 0xC0C0C0;  // 0x00BBGGRR
  bool png = false;          // PNG card files instead of bitmaps
  bool no_files = false;     // no card files: only the list or the sheets
  std::string list;          // "" for none
  std::string pdf;           // "" for none
  Paper paper = Paper::kA4;
  std::string title;
  RunStart start;            // where the first card comes from: a code, a clock, now
  // Series cartones instead (count a multiple of six for whole series): the first series
  // is the one of start's code (its seed in code_bits) or its clock; the run's first
  // cartón is at first_place of it. The list and the sheets hold whole series only.
  CardType type = CardType::kAnywhere99;
  int first_place = 1;
};

// The texts of refusals that name an output as the caller names it: by default as the
// bingo window's form does; tessarine-cards passes its options' names.
struct CardRunTexts {
  const char* same_list_and_pdf = "la lista y las hojas no pueden ser el mismo archivo";
  const char* list_is_a_card = "la lista no puede ser uno de los cartones de la tanda";
  const char* pdf_is_a_card = "las hojas no pueden ser uno de los cartones de la tanda";
};

struct CardRunHooks {
  void* context = nullptr;
  CardRunTexts texts;
  // A line to say: an error or warning (stderr for tessarine-cards), or a result.
  void (*say)(void* context, bool is_error, const std::string& text) = nullptr;
  // Cards made so far, of the request's count.
  void (*progress)(void* context, int32_t done) = nullptr;
  // Every card is made and on the disk; the list and the sheets come next.
  void (*cards_done)(void* context) = nullptr;
};

enum class CardRunOutcome {
  kMade,         // every card, the list and the sheets in place
  kFailed,       // a file could not be saved: what was saved is listed
  kBadInput,     // the outputs would overwrite each other: nothing made
  kInterrupted,  // saves abandoned: what was saved is listed
};

CardRunOutcome MakeCardRun(const CardRunRequest& request, const CardRunHooks& hooks);

// "no se pudo guardar PATH (disco lleno)".
std::string NotSavedText(const std::string& path, SaveError error);

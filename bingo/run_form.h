// "Preparar cartones…": the form both windows ask, its texts and limits, and the run its
// answers make. A window lays the fields out its own way and hands the answers here.
#pragma once
#include <string>

#include "runs/card_run.h"

constexpr int kRunFormMostCards = 30000;
constexpr int kRunFormMostSeries = 5000;
constexpr int kRunFormDefaultCount = 100;

extern const char* const kRunFormTitle;        // "Preparar cartones"
extern const char* const kRunFormKindLabel;    // "Cartones:"
extern const char* const kRunFormCountLabel;   // "Cuántos cartones:"
extern const char* const kRunFormColourLabel;  // "Color:"
extern const char* const kRunFormTitleLabel;   // "Título de las hojas:"
extern const char* const kRunFormPaperLabel;   // "Papel:"
extern const char* const kRunFormFolderLabel;  // "Carpeta:"
extern const char* const kRunFormExtraLabel;   // "Cada cartón, además:"
// The choices, in the order of RunFormAnswers' indexes.
extern const char* const kRunFormKinds[2];   // the program's cards, series of six
extern const char* const kRunFormPapers[2];  // A4, Carta
extern const char* const kRunFormExtras[3];  // no card files, PNG, BMP

struct RunFormAnswers {
  int kind = 0;  // 1: 90-ball cartones, counted in series
  int count = kRunFormDefaultCount;
  Colour colour = 0;
  std::string title;
  int paper = 0;
  std::string folder;
  int extra = 0;
};

// The most the count may be for that kind.
int RunFormMostCount(int kind);
// "" when the count is in range, else what to tell the caller ("Cuántas series: de 1 a 5000").
std::string RunFormCountRefusal(const RunFormAnswers& answers);
// `request` as the controller offered it, with the answers put in: its cards (six a
// series), and its list and sheets in the folder, as cartones.csv and hojas.pdf.
CardRunRequest RunRequestOf(const RunFormAnswers& answers, CardRunRequest request = {});

#include "bingo/run_form.h"

#include "card/series.h"
#include "disk/file_system.h"

const char* const kRunFormTitle = "Preparar cartones";
const char* const kRunFormKindLabel = "Cartones:";
const char* const kRunFormCountLabel = "Cuántos cartones:";
const char* const kRunFormColourLabel = "Color:";
const char* const kRunFormTitleLabel = "Título de las hojas:";
const char* const kRunFormPaperLabel = "Papel:";
const char* const kRunFormFolderLabel = "Carpeta:";
const char* const kRunFormExtraLabel = "Cada cartón, además:";
const char* const kRunFormKinds[2] = {"De 1 a 99 (los de Tessarine)",
                                      "De 90 bolas, en series de 6 (cuántas series)"};
const char* const kRunFormPapers[2] = {"A4", "Carta"};
const char* const kRunFormExtras[3] = {"Sin archivos de cartones", "PNG", "BMP"};

int RunFormMostCount(int kind) { return kind == 1 ? kRunFormMostSeries : kRunFormMostCards; }

std::string RunFormCountRefusal(const RunFormAnswers& answers) {
  const int most = RunFormMostCount(answers.kind);
  if (answers.count >= 1 && answers.count <= most) return "";
  return (answers.kind == 1 ? "Cuántas series: de 1 a " : "Cuántos cartones: de 1 a ") +
         std::to_string(most);
}

CardRunRequest RunRequestOf(const RunFormAnswers& answers, CardRunRequest request) {
  const bool series = answers.kind == 1;
  request.type = series ? CardType::kSeries90 : CardType::kAnywhere99;
  request.count = series ? answers.count * kCardsPerSeries : answers.count;
  request.colour = answers.colour;
  request.title = answers.title;
  request.paper = answers.paper == 1 ? Paper::kLetter : Paper::kA4;
  request.out = answers.folder;
  request.no_files = answers.extra == 0;
  request.png = answers.extra == 1;
  request.list = PathInFolder(answers.folder, "cartones.csv");
  request.pdf = PathInFolder(answers.folder, "hojas.pdf");
  return request;
}

// Spanish writes 1..29 as single words (dieciséis, veintitrés) and the tens from 30 on
// as "treinta y uno"; the accents follow the Real Academia's spelling.
#include "card/number_words.h"

#include "card/layout.h"

namespace {
const char* const kUpToTwentyNine[30] = {
    "",           "uno",         "dos",        "tres",        "cuatro",     "cinco",
    "seis",       "siete",       "ocho",       "nueve",       "diez",       "once",
    "doce",       "trece",       "catorce",    "quince",      "dieciséis",  "diecisiete",
    "dieciocho",  "diecinueve",  "veinte",     "veintiuno",   "veintidós",  "veintitrés",
    "veinticuatro", "veinticinco", "veintiséis", "veintisiete", "veintiocho", "veintinueve"};
const char* const kTens[10] = {"",        "",        "",         "treinta", "cuarenta",
                               "cincuenta", "sesenta", "setenta", "ochenta", "noventa"};
}  // namespace

std::string SpanishNumberWords(int number) {
  if (number < 1 || number > kHighestNumber) return "";
  if (number < 30) return kUpToTwentyNine[number];
  std::string words = kTens[number / 10];
  if (number % 10 != 0) words += std::string(" y ") + kUpToTwentyNine[number % 10];
  return words;
}

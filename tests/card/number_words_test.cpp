#include "card/number_words.h"

#include <gtest/gtest.h>

namespace {
// Every number of the board, written out by hand as a Spanish caller says it.
const char* const kExpected[100] = {
    "",
    "uno", "dos", "tres", "cuatro", "cinco", "seis", "siete", "ocho", "nueve", "diez",
    "once", "doce", "trece", "catorce", "quince", "dieciséis", "diecisiete", "dieciocho",
    "diecinueve", "veinte",
    "veintiuno", "veintidós", "veintitrés", "veinticuatro", "veinticinco", "veintiséis",
    "veintisiete", "veintiocho", "veintinueve", "treinta",
    "treinta y uno", "treinta y dos", "treinta y tres", "treinta y cuatro", "treinta y cinco",
    "treinta y seis", "treinta y siete", "treinta y ocho", "treinta y nueve", "cuarenta",
    "cuarenta y uno", "cuarenta y dos", "cuarenta y tres", "cuarenta y cuatro",
    "cuarenta y cinco", "cuarenta y seis", "cuarenta y siete", "cuarenta y ocho",
    "cuarenta y nueve", "cincuenta",
    "cincuenta y uno", "cincuenta y dos", "cincuenta y tres", "cincuenta y cuatro",
    "cincuenta y cinco", "cincuenta y seis", "cincuenta y siete", "cincuenta y ocho",
    "cincuenta y nueve", "sesenta",
    "sesenta y uno", "sesenta y dos", "sesenta y tres", "sesenta y cuatro", "sesenta y cinco",
    "sesenta y seis", "sesenta y siete", "sesenta y ocho", "sesenta y nueve", "setenta",
    "setenta y uno", "setenta y dos", "setenta y tres", "setenta y cuatro", "setenta y cinco",
    "setenta y seis", "setenta y siete", "setenta y ocho", "setenta y nueve", "ochenta",
    "ochenta y uno", "ochenta y dos", "ochenta y tres", "ochenta y cuatro", "ochenta y cinco",
    "ochenta y seis", "ochenta y siete", "ochenta y ocho", "ochenta y nueve", "noventa",
    "noventa y uno", "noventa y dos", "noventa y tres", "noventa y cuatro", "noventa y cinco",
    "noventa y seis", "noventa y siete", "noventa y ocho", "noventa y nueve"};

TEST(SpanishNumberWords, EveryNumberOfTheBoard) {
  for (int number = 1; number <= 99; ++number)
    EXPECT_EQ(SpanishNumberWords(number), kExpected[number]) << number;
}

TEST(SpanishNumberWords, NothingOutsideTheBoard) {
  EXPECT_EQ(SpanishNumberWords(0), "");
  EXPECT_EQ(SpanishNumberWords(100), "");
  EXPECT_EQ(SpanishNumberWords(-47), "");
}
}  // namespace

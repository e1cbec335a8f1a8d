#include "game/cards_in_play.h"

#include <gtest/gtest.h>

namespace {
std::vector<size_t> Numbers(const CardsInPlay& play) {
  std::vector<size_t> numbers;
  for (size_t i = 0; i < play.in_play.size(); ++i)
    if (play.in_play[i]) numbers.push_back(i + 1);
  return numbers;
}

TEST(CardsInPlayTest, RangesAndSingleCards) {
  const CardsInPlay play = ParseCardsInPlay("1-3, 7,9-10", 12);
  EXPECT_EQ(play.error, "");
  EXPECT_EQ(Numbers(play), (std::vector<size_t>{1, 2, 3, 7, 9, 10}));
  EXPECT_EQ(play.count, 6u);
  EXPECT_EQ(play.text, "1-3,7,9-10");
  EXPECT_EQ(ParseCardsInPlay("2-2 2", 3).count, 1u) << "overlaps count once";
}

TEST(CardsInPlayTest, NothingOrTodosIsTheWholeList) {
  for (const char* all : {"", "  ", "todos"}) {
    const CardsInPlay play = ParseCardsInPlay(all, 4);
    EXPECT_EQ(play.error, "");
    EXPECT_EQ(Numbers(play), (std::vector<size_t>{1, 2, 3, 4})) << all;
  }
}

TEST(CardsInPlayTest, RefusalsNameWhatIsWrong) {
  EXPECT_EQ(ParseCardsInPlay("1-250, 300-320", 300).error,
            "el cartón 320 no está en la lista (tiene 300 cartones)");
  EXPECT_EQ(ParseCardsInPlay("5-2", 10).error,
            "el rango 5-2 va al revés (se escribe de menor a mayor)");
  EXPECT_EQ(ParseCardsInPlay("0-2", 10).error,
            "\"0-2\" no es un número de cartón ni un rango como 1-250");
  EXPECT_EQ(ParseCardsInPlay("1-", 10).error,
            "\"1-\" no es un número de cartón ni un rango como 1-250");
  EXPECT_EQ(ParseCardsInPlay("1-2-3", 10).error,
            "\"1-2-3\" no es un número de cartón ni un rango como 1-250");
  EXPECT_EQ(ParseCardsInPlay("uno", 10).error,
            "\"uno\" no es un número de cartón ni un rango como 1-250");
  EXPECT_EQ(ParseCardsInPlay("2", 1).error, "el cartón 2 no está en la lista (tiene 1 cartón)");
}

TEST(CardsInPlayTest, CardNumbersHaveFourDigitsAtLeast) {
  EXPECT_EQ(CardNumberText(0), "0001");
  EXPECT_EQ(CardNumberText(299), "0300");
  EXPECT_EQ(CardNumberText(29999), "30000");
}
}  // namespace

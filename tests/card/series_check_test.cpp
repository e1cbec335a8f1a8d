#include <gtest/gtest.h>

#include "card/series.h"
#include "card/series_check.h"

namespace {
// A cartón that keeps every rule; each case below breaks one.
CardLayout GoodCard() {
  CardLayout card{};
  card.cell[0] = {1, 0, 20, 0, 40, 0, 60, 0, 80};
  card.cell[1] = {0, 11, 0, 31, 0, 51, 0, 71, 85};
  card.cell[2] = {5, 0, 25, 0, 45, 0, 65, 0, 90};
  return card;
}
}  // namespace

TEST(CheckSeriesCard, NamesTheRuleABadCartonBreaks) {
  EXPECT_EQ(CheckSeriesCard(GoodCard()), "");
  CardLayout card = GoodCard();
  card.cell[0][8] = 90;
  card.cell[2][8] = 80;
  EXPECT_EQ(CheckSeriesCard(card), "la columna 9 no va en orden");
  card = GoodCard();
  card.cell[1][1] = 0;
  card.cell[1][0] = 3;
  EXPECT_EQ(CheckSeriesCard(card), "la columna 2 está vacía");
  card = GoodCard();
  card.cell[1][0] = 3;
  EXPECT_EQ(CheckSeriesCard(card), "la fila 2 tiene 6 números");
  card = GoodCard();
  card.cell[0] = {1, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(CheckSeriesCard(card), "la fila 1 tiene 1 número");
  card = GoodCard();
  card.cell[2][8] = 95;
  EXPECT_EQ(CheckSeriesCard(card), "el 95 no es un número del 1 al 90");
  card = GoodCard();
  card.cell[2][2] = 47;
  EXPECT_EQ(CheckSeriesCard(card), "el 47 no va en la columna 3");
  card = GoodCard();
  card.cell[0][8] = 9;
  EXPECT_EQ(CheckSeriesCard(card), "el 9 no va en la columna 9");
  card = GoodCard();
  card.cell[2][0] = 1;
  EXPECT_EQ(CheckSeriesCard(card), "el 1 está dos veces en el cartón");
}

TEST(CheckSeries, FindsABadCartonOrANumberTwiceAcrossTheSix) {
  const CardSeries good = MakeSeries(0x4730F0);
  ASSERT_EQ(CheckSeries(good), "");
  CardSeries series = good;
  int blank = 0;
  while (series.card[2].cell[0][blank] != 0) ++blank;
  series.card[2].cell[0][blank] = static_cast<uint8_t>(SeriesColumnFirst(blank));
  EXPECT_EQ(CheckSeries(series), "en el cartón 3, la fila 1 tiene 6 números");
  series = good;
  series.card[4] = series.card[1];
  int first = 0;
  for (int column = 0; first == 0; ++column) first = good.card[1].cell[0][column];
  EXPECT_EQ(CheckSeries(series), "el " + std::to_string(first) + " está dos veces en la serie");
}

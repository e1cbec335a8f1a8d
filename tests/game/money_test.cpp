// The night's money against sums the test does its own way: percentages by splitting the
// takings into whole hundreds of cents and the rest, shares checked by multiplying back,
// and amounts read back from their text digit by digit.
#include "game/money.h"

#include <gtest/gtest.h>

#include <random>

namespace {
// floor(takings * hundredths / 10000), without one product that large.
Cents PercentOfTakings(Cents takings, int64_t hundredths) {
  const Cents whole = takings / kWholePercent, rest = takings % kWholePercent;
  return whole * hundredths + rest * hundredths / kWholePercent;
}

// "1.234,50 €" read back: every digit in order, the symbol after a blank.
Cents CentsOfText(const std::string& text, const std::string& symbol) {
  EXPECT_EQ(text.substr(text.size() - symbol.size() - 1), " " + symbol);
  EXPECT_EQ(text[text.size() - symbol.size() - 4], ',');
  Cents cents = 0;
  for (char c : text.substr(0, text.size() - symbol.size() - 1))
    if (c >= '0' && c <= '9') cents = cents * 10 + (c - '0');
  return cents;
}

TEST(Money, PricesAsTheCallerTypesThem) {
  EXPECT_EQ(ReadPrice("1,50", "€").cents, 150);
  EXPECT_EQ(ReadPrice("1.50", "€").cents, 150);
  EXPECT_EQ(ReadPrice(" 2 ", "€").cents, 200);
  EXPECT_EQ(ReadPrice("0,5", "€").cents, 50);
  EXPECT_EQ(ReadPrice("0,01 €", "€").cents, 1);
  EXPECT_EQ(ReadPrice("100", "€").cents, 10000);
  EXPECT_EQ(ReadPrice("3 $", "$").cents, 300);
}

TEST(Money, PricesRefusedWithTheirReason) {
  EXPECT_EQ(ReadPrice("0", "€").error, "El precio del cartón ha de ser mayor que 0");
  EXPECT_EQ(ReadPrice("0,00", "€").error, "El precio del cartón ha de ser mayor que 0");
  EXPECT_EQ(ReadPrice("-1,50", "€").error, "El precio del cartón no puede ser negativo");
  EXPECT_EQ(ReadPrice("uno", "€").error, "\"uno\" no es un precio: escríbalo como 1,50 o 2");
  for (const char* bad : {"", "1,505", "1,", ",5", "1,5,0", "1 50", "2 $", "1e3"})
    EXPECT_NE(ReadPrice(bad, "€").error, "") << bad;
  EXPECT_EQ(ReadPrice("10000,01", "€").error, "El precio del cartón no puede pasar de 10.000,00 €");
}

TEST(Money, PrizesAsShareOrFixed) {
  const ReadShare line = ReadPrizeShare("15 %", "€");
  EXPECT_FALSE(line.share.fixed);
  EXPECT_EQ(line.share.value, 1500);
  EXPECT_EQ(ReadPrizeShare("12,5%", "€").share.value, 1250);
  const ReadShare fixed = ReadPrizeShare("20,00 €", "€");
  EXPECT_TRUE(fixed.share.fixed);
  EXPECT_EQ(fixed.share.value, 2000);
  EXPECT_EQ(ReadPrizeShare("0 %", "€").error, "");
  EXPECT_EQ(ReadPrizeShare("20", "€").error,
            "\"20\" no es un premio: escríbalo como 15 % o como 20,00 €");
  EXPECT_EQ(ReadPrizeShare("101 %", "€").error,
            "Un premio no puede pasar del 100 % de la recaudación");
  EXPECT_EQ(ShareText(line.share, "€"), "15 %");
  EXPECT_EQ(ShareText({false, 1250}, "€"), "12,5 %");
  EXPECT_EQ(ShareText(fixed.share, "€"), "20,00 €");
  for (const PrizeShare& share : {line.share, fixed.share}) {
    const ReadShare back = ShareOfWord(ShareWord(share));
    EXPECT_EQ(back.error, "");
    EXPECT_EQ(back.share.fixed, share.fixed);
    EXPECT_EQ(back.share.value, share.value);
  }
}

TEST(Money, AmountsWrittenTheSpanishWay) {
  EXPECT_EQ(MoneyText(1250, "€"), "12,50 €");
  EXPECT_EQ(MoneyText(5, "€"), "0,05 €");
  EXPECT_EQ(MoneyText(300000000, "€"), "3.000.000,00 €");
  EXPECT_EQ(MoneyText(123456, ""), "1.234,56");
}

TEST(Money, PrizesThatCannotBePaidAreRefused) {
  const std::vector<std::string> names = {"línea", "bingo"};
  EXPECT_EQ(CheckPrizeShares({{false, 1500}, {false, 5000}}, names, 10000, "€"), "");
  EXPECT_EQ(CheckPrizeShares({{false, 0}, {false, 10000}}, names, 10000, "€"), "");
  EXPECT_EQ(CheckPrizeShares({{false, 6000}, {false, 5000}}, names, 10000, "€"),
            "Los premios suman 110 % de la recaudación: no pueden pasar del 100 %");
  EXPECT_EQ(CheckPrizeShares({{false, 1500}, {true, 12000}}, names, 10000, "€"),
            "El premio de bingo (120,00 €) es mayor que la recaudación (100,00 €)");
  EXPECT_EQ(CheckPrizeShares({{true, 6000}, {false, 5000}}, names, 10000, "€"),
            "Los premios suman 110,00 €, más que la recaudación (100,00 €)");
}

// Random nights: 1 to 30,000 cartones at 0,01 to 100,00, two or three prizes, ties of 1
// to 7 cartones, every sum checked against the test's own.
TEST(Money, RandomNightsAddUpToTheCent) {
  std::mt19937_64 random(20261210);
  for (int game = 0; game < 20000; ++game) {
    const size_t sold = game < 4 ? (game % 2 ? 30000 : 1) : 1 + random() % 30000;
    const Cents price = game < 4 ? (game < 2 ? 1 : 10000) : 1 + static_cast<Cents>(random() % 10000);
    const Cents takings = Takings(sold, price);
    Cents by_adding = 0;
    for (size_t card = 0; card < sold; ++card) by_adding += price;
    ASSERT_EQ(takings, by_adding);
    const int64_t hundredths = static_cast<int64_t>(random() % (kWholePercent + 1));
    const Cents amount = PrizeAmount({false, hundredths}, takings);
    ASSERT_EQ(amount, PercentOfTakings(takings, hundredths)) << takings << " " << hundredths;
    ASSERT_EQ(CentsOfText(MoneyText(amount, "€"), "€"), amount);
    const size_t winners = 1 + random() % 7;
    const SharedPrize shared = SharePrize(amount, winners);
    ASSERT_EQ(shared.each * static_cast<Cents>(winners) + shared.left_over, amount);
    ASSERT_GE(shared.left_over, 0);
    ASSERT_LT(shared.left_over, static_cast<Cents>(winners));
  }
}

TEST(Money, TiesOfTwoToSevenShareToTheCentRoundedDown) {
  // 100 cartones at 1,50: 15 % is 22,50 €.
  const Cents amount = PrizeAmount({false, 1500}, Takings(100, 150));
  EXPECT_EQ(amount, 2250);
  const Cents each[] = {1125, 750, 562, 450, 375, 321};
  const Cents left[] = {0, 0, 2, 0, 0, 3};
  for (size_t winners = 2; winners <= 7; ++winners) {
    EXPECT_EQ(SharePrize(amount, winners).each, each[winners - 2]) << winners;
    EXPECT_EQ(SharePrize(amount, winners).left_over, left[winners - 2]) << winners;
  }
  EXPECT_EQ(PrizeAmount({false, 0}, Takings(100, 150)), 0);
  EXPECT_EQ(SharePrize(0, 3).each, 0);
}
}  // namespace

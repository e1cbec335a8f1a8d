#include <gtest/gtest.h>

#include <random>
#include <string>

#include "card/series.h"
#include "card/series_code.h"

TEST(SeriesCode, IsSixHexDigitsOfTheSeedAHyphenAndThePlace) {
  EXPECT_EQ(SeriesCode(0x4730F0, 3), "4730F0-3");
  EXPECT_EQ(SeriesCode(0, 1), "000000-1");
  EXPECT_EQ(SeriesCode(0xFFFFFF, 6), "FFFFFF-6");
  EXPECT_EQ(SeriesCode(0x12ABCDEF, 2), "ABCDEF-2");
}

TEST(SeriesCode, ReadsBackWhatItWritesTypedOrScanned) {
  std::mt19937 random(3);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t seed = random() & kSeriesSeedMask;
    const int place = 1 + static_cast<int>(random() % 6);
    std::string code = SeriesCode(seed, place);
    SeriesCodeRead read = ReadSeriesCode(code);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.series_seed, seed);
    ASSERT_EQ(read.place, place);
    for (char& c : code) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    read = ReadSeriesCode(" \t" + code + "\r\n");
    ASSERT_EQ(read.error, "") << code;
    ASSERT_EQ(read.series_seed, seed);
    ASSERT_EQ(read.place, place);
  }
}

TEST(SeriesCode, RefusesWhatIsNotACodeSayingWhy) {
  const std::string not_one = " no es un código de cartón de 90: ";
  const std::string form =
      "se esperan seis cifras hexadecimales, un guion y el cartón de la serie, "
      "por ejemplo 4730F0-3";
  EXPECT_EQ(ReadSeriesCode("4730F0-7").error,
            "«4730F0-7»" + not_one + "el cartón de la serie va del 1 al 6");
  EXPECT_EQ(ReadSeriesCode(" 4730f0-0 ").error,
            "«4730f0-0»" + not_one + "el cartón de la serie va del 1 al 6");
  EXPECT_EQ(ReadSeriesCode("4730F0CA").error,
            "«4730F0CA»" + not_one + "es el código de un cartón de 1 a 99");
  for (const std::string bad : {"", "4730G0-3", "4730F0-", "4730F0 3", "4730F0-33", "-4730F0-3",
                                "4730F0+3", "+730F0-3", "4730F0-x"})
    EXPECT_EQ(ReadSeriesCode(bad).error, "«" + bad + "»" + not_one + form) << bad;
  EXPECT_EQ(ReadSeriesCode("4730F0\x1b-3").error, "«4730F0\\x1b-3»" + not_one + form);
  EXPECT_EQ(ReadSeriesCode("ABCDEFGHIJKLMNOPQRSTUVWXYZ").error,
            "«ABCDEFGHIJKLMNOPQRSTUVWX…»" + not_one + form);
  const SeriesCodeRead refused = ReadSeriesCode("4730F0-9");
  EXPECT_EQ(refused.series_seed, 0u);
  EXPECT_EQ(refused.place, 0);
}

TEST(SeriesCard, IsTheCartonItsCodeNamesMadeAgain) {
  for (uint32_t seed : {0x4730F0u, 0u, 0xFFFFFFu}) {
    const CardSeries series = MakeSeries(seed);
    for (int place = 1; place <= 6; ++place) {
      const SeriesCardFound found = SeriesCard(SeriesCode(seed, place));
      ASSERT_EQ(found.error, "");
      EXPECT_EQ(found.series_seed, seed);
      EXPECT_EQ(found.place, place);
      EXPECT_EQ(found.layout, series.card[place - 1]);
    }
  }
  const SeriesCardFound refused = SeriesCard("4730F0-7");
  EXPECT_EQ(refused.error, ReadSeriesCode("4730F0-7").error);
  EXPECT_EQ(refused.layout, CardLayout{});
}

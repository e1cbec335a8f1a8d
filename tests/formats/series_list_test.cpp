// The list of a run of series: written with its series and places, read back, and
// refused whole (naming the line) when it mixes kinds, cuts a series, repeats one or
// holds rows that are not its codes'.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "card/series.h"
#include "formats/card_list.h"
#include "tests/support/test_support.h"

namespace {
const std::string kSeriesHeader = "archivo,codigo,fila1,fila2,fila3,serie,lugar\r\n";

std::string RowText(const CardLayout& layout, int row) {
  std::string text;
  for (int column = 0; column < kCardColumns; ++column) {
    char field[4];
    const int n = layout.cell[row][column];
    std::snprintf(field, sizeof field, n ? "%02d" : "--", n);
    text += (column ? " " : "") + std::string(field);
  }
  return text;
}

// A record written here, field by field: the test's own idea of the format.
std::string Record(int number, uint32_t seed, int place, int series, const CardLayout& layout) {
  char head[48];
  std::snprintf(head, sizeof head, "%04d.bmp,%06X-%d,", number, static_cast<unsigned>(seed), place);
  return head + RowText(layout, 0) + "," + RowText(layout, 1) + "," + RowText(layout, 2) + "," +
         std::to_string(series) + "," + std::to_string(place) + "\r\n";
}

std::string SeriesRecords(uint32_t seed, int series, int first_number, int places = 6) {
  const CardSeries six = MakeSeries(seed);
  std::string bytes;
  for (int place = 1; place <= places; ++place)
    bytes += Record(first_number + place - 1, seed, place, series, six.card[place - 1]);
  return bytes;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Refusal(const std::string& bytes) {
  const CardListParse parsed = ParseCardList(bytes);
  EXPECT_TRUE(parsed.lines.empty());
  EXPECT_FALSE(parsed.error.empty());
  return parsed.error;
}
}  // namespace

TEST(SeriesList, WrittenAsTheTestWritesItAndReadBack) {
  std::vector<ListLine> lines;
  for (int i = 0; i < 12; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d.png", i + 1);
    lines.push_back(SeriesListLineOf(name, 0x4730F0u + uint32_t(i / 6), i % 6 + 1));
  }
  std::string expected = kSeriesHeader + SeriesRecords(0x4730F0, 1, 1) + SeriesRecords(0x4730F1, 2, 7);
  for (size_t at = 0; (at = expected.find(".bmp", at)) != std::string::npos;) expected.replace(at, 4, ".png");
  EXPECT_EQ(CardListBytes(lines), expected);

  const CardListParse parsed = ParseCardList(expected);
  ASSERT_EQ(parsed.error, "");
  ASSERT_EQ(parsed.lines.size(), 12u);
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(parsed.lines[i].type, CardType::kSeries90);
    EXPECT_EQ(parsed.lines[i].place, lines[i].place);
    EXPECT_EQ(parsed.lines[i].seed_bits, lines[i].seed_bits);
    EXPECT_EQ(parsed.lines[i].layout, lines[i].layout);
    EXPECT_EQ(ListLineCode(parsed.lines[i]), ListLineCode(lines[i]));
  }
  // A 1–99 list keeps its own header and five fields.
  const std::string plain = CardListBytes({ListLineOf("0001.bmp", 0x4730F0CAu)});
  EXPECT_EQ(plain.substr(0, plain.find('\n') + 1), "archivo,codigo,fila1,fila2,fila3\r\n");
}

TEST(SeriesList, RefusesAListThatMixesTheTwoKinds) {
  // A 1–99 card in a series list.
  const ListLine plain = ListLineOf("0007.bmp", 0x4730F0CAu);
  std::string bytes = kSeriesHeader + SeriesRecords(0x10, 1, 1) + "0007.bmp,4730F0CA," +
                      RowText(plain.layout, 0) + "," + RowText(plain.layout, 1) + "," +
                      RowText(plain.layout, 2) + ",2,1\r\n";
  std::string error = Refusal(bytes);
  EXPECT_TRUE(Contains(error, "línea 8: ")) << error;
  EXPECT_TRUE(Contains(error, "no mezcla los dos tipos")) << error;
  // A series cartón in a 1–99 list.
  const CardLayout card = MakeSeriesCard(0x10, 2);
  bytes = "archivo,codigo,fila1,fila2,fila3\r\n0001.bmp,000010-2," + RowText(card, 0) + "," +
          RowText(card, 1) + "," + RowText(card, 2) + "\r\n";
  error = Refusal(bytes);
  EXPECT_TRUE(Contains(error, "línea 2: ")) << error;
  EXPECT_TRUE(Contains(error, "no mezcla los dos tipos")) << error;
}

TEST(SeriesList, RefusesASeriesCutShortOrOutOfOrder) {
  std::string error = Refusal(kSeriesHeader + SeriesRecords(0x20, 1, 1, 4));
  EXPECT_TRUE(Contains(error, "la serie 1 (desde la línea 2) se corta: tiene 4 cartones de 6"))
      << error;
  error = Refusal(kSeriesHeader + SeriesRecords(0x20, 1, 1, 5) + SeriesRecords(0x21, 2, 7));
  EXPECT_TRUE(Contains(error, "línea 7: la serie 1 (desde la línea 2) se corta")) << error;
  // Places swapped: 1, 3, 2, ...
  const CardSeries six = MakeSeries(0x20);
  std::string swapped = kSeriesHeader + Record(1, 0x20, 1, 1, six.card[0]) +
                        Record(2, 0x20, 3, 1, six.card[2]);
  error = Refusal(swapped);
  EXPECT_TRUE(Contains(error, "línea 3: el cartón 000020-3 va en el lugar 2 de la serie 1")) << error;
  // A lugar that is not the code's.
  std::string wrong_place = kSeriesHeader + SeriesRecords(0x20, 1, 1);
  wrong_place.replace(wrong_place.find(",1\r\n"), 4, ",2\r\n");
  EXPECT_TRUE(Contains(Refusal(wrong_place), "línea 2: el lugar 2 no es el del código 000020-1"));
}

TEST(SeriesList, RefusesASeriesWithANumberTwiceOrGivenTwice) {
  // Place 6 of another series: every row its code's, but the six do not hold 1 to 90 once.
  std::string bytes = kSeriesHeader + SeriesRecords(0x30, 1, 1, 5) +
                      Record(6, 0x31, 6, 1, MakeSeriesCard(0x31, 6));
  std::string error = Refusal(bytes);
  EXPECT_TRUE(Contains(error, "líneas 2 a 7: la serie 1: el ")) << error;
  EXPECT_TRUE(Contains(error, "dos veces en la serie")) << error;
  // A series number given twice.
  error = Refusal(kSeriesHeader + SeriesRecords(0x30, 1, 1) + SeriesRecords(0x31, 1, 7));
  EXPECT_TRUE(Contains(error, "línea 8: la serie se numera 1 y tocaba la 2")) << error;
  // The same series twice in one list.
  error = Refusal(kSeriesHeader + SeriesRecords(0x30, 1, 1) + SeriesRecords(0x30, 2, 7));
  EXPECT_TRUE(Contains(error, "líneas 8 a 13: la serie 2: repite la serie 1 (000030)")) << error;
}

TEST(SeriesList, RefusesARowThatIsNotItsCodes) {
  // Series 0x41's rows under series 0x40's codes: a valid series, but not those codes'.
  const CardSeries other = MakeSeries(0x41);
  std::string bytes = kSeriesHeader;
  for (int place = 1; place <= 6; ++place)
    bytes += Record(place, 0x40, place, 1, other.card[place - 1]);
  const std::string error = Refusal(bytes);
  EXPECT_TRUE(Contains(error, "línea 2: la fila 1 no es la del cartón 000040-1")) << error;
}

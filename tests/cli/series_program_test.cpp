// tessarine-cards --series, run as a user runs it: the list checked against the rules of
// the 90-ball cartón by a checker of this file's own, the sheets' barcodes read back with
// zbarimg, the cartones made again from their codes, bad input refused with nothing
// written, and the checks and forecast of a series list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cards_runner.h"
#include "sheets/sheet_layout.h"

namespace {
std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

struct ListedCarton {
  std::string file, code, rows[3];
  int series = 0, place = 0;
  int cell[3][9] = {};
};

std::vector<ListedCarton> ReadSeriesList(const std::string& bytes) {
  std::vector<ListedCarton> cards;
  const std::vector<std::string> lines = Split(bytes, '\n');
  EXPECT_FALSE(lines.empty());
  if (lines.empty()) return cards;
  EXPECT_EQ(lines[0], "archivo,codigo,fila1,fila2,fila3,serie,lugar\r");
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string line = lines[i];
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = Split(line, ',');
    EXPECT_EQ(fields.size(), 7u) << line;
    if (fields.size() != 7) continue;
    ListedCarton card;
    card.file = fields[0];
    card.code = fields[1];
    card.series = std::atoi(fields[5].c_str());
    card.place = std::atoi(fields[6].c_str());
    for (int row = 0; row < 3; ++row) {
      card.rows[row] = fields[2 + row];
      const std::vector<std::string> cells = Split(fields[2 + row], ' ');
      EXPECT_EQ(cells.size(), 9u) << line;
      for (size_t c = 0; c < cells.size() && c < 9; ++c)
        card.cell[row][c] = cells[c] == "--" ? 0 : std::atoi(cells[c].c_str());
    }
    cards.push_back(card);
  }
  return cards;
}

// The rules of a cartón, checked here from scratch: "" or the first broken.
std::string CartonFault(const ListedCarton& card) {
  for (int row = 0; row < 3; ++row) {
    int numbers = 0;
    for (int c = 0; c < 9; ++c) numbers += card.cell[row][c] != 0;
    if (numbers != 5) return "row of " + std::to_string(numbers);
  }
  for (int c = 0; c < 9; ++c) {
    const int low = c == 0 ? 1 : c * 10, high = c == 8 ? 90 : c * 10 + 9;
    int count = 0, last = 0;
    for (int row = 0; row < 3; ++row) {
      const int n = card.cell[row][c];
      if (n == 0) continue;
      if (n < low || n > high) return "column " + std::to_string(c + 1) + " holds " + std::to_string(n);
      if (n <= last) return "column " + std::to_string(c + 1) + " not ascending";
      last = n;
      ++count;
    }
    if (count < 1 || count > 3) return "column " + std::to_string(c + 1) + " of " + std::to_string(count);
  }
  return "";
}

// Every cartón keeps the rules, every six of one series hold 1 to 90 once, numbered in
// order with their places, codes naming the series and place.
void ExpectWholeSeries(const std::vector<ListedCarton>& cards, size_t series_count) {
  ASSERT_EQ(cards.size(), series_count * 6);
  std::set<std::string> seeds;
  for (size_t s = 0; s < series_count; ++s) {
    int seen[91] = {};
    const std::string seed = cards[s * 6].code.substr(0, 6);
    EXPECT_TRUE(seeds.insert(seed).second) << "series " << seed << " twice";
    for (size_t p = 0; p < 6; ++p) {
      const ListedCarton& card = cards[s * 6 + p];
      char file[16];
      std::snprintf(file, sizeof file, "%04zu.bmp", s * 6 + p + 1);
      EXPECT_EQ(card.file, file);
      EXPECT_EQ(card.code, seed + "-" + std::to_string(p + 1));
      EXPECT_EQ(card.series, int(s + 1));
      EXPECT_EQ(card.place, int(p + 1));
      EXPECT_EQ(CartonFault(card), "") << card.code;
      for (const auto& row : card.cell)
        for (int n : row) seen[n] += n != 0;
    }
    for (int n = 1; n <= 90; ++n) EXPECT_EQ(seen[n], 1) << "series " << s + 1 << ", " << n;
  }
}

class SeriesProgram : public ScratchFolderTest {
 protected:
  std::string Shell(const std::string& command) {
    std::string output;
    FILE* pipe = popen(("cd '" + dir_ + "' && " + command).c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    pclose(pipe);
    return output;
  }
};
}  // namespace

TEST_F(SeriesProgram, FiftySeriesGiveAListOfWholeSeriesAndSheetsWhoseBarcodesReadBack) {
  const Result made = Run("--series 50 --time 20:15:00.000 --list s.csv --pdf s.pdf --no-files");
  ASSERT_EQ(made.exit_code, 0) << made.err;
  EXPECT_NE(made.out.find("hojas en s.pdf: 300 cartones, 51 páginas"), std::string::npos) << made.out;
  const std::vector<ListedCarton> cards = ReadSeriesList(ReadAll(At("s.csv")));
  ExpectWholeSeries(cards, 50);
  EXPECT_NE(Shell("pdfinfo s.pdf").find("Pages:           51"), std::string::npos);
  // Each page's six barcodes, read back at 150 dpi, are its series' six codes.
  Shell("pdftoppm -r 150 -gray s.pdf page");
  for (int page = 1; page <= 50; ++page) {
    char name[32];
    std::snprintf(name, sizeof name, "page-%02d.pgm", page);
    std::vector<std::string> read;
    for (const std::string& line : Split(Shell(std::string("zbarimg -q --raw ") + name + " 2>/dev/null"), '\n'))
      if (!line.empty()) read.push_back(line);
    std::vector<std::string> expected;
    for (int p = 0; p < 6; ++p) expected.push_back(cards[size_t((page - 1) * 6 + p)].code);
    std::sort(read.begin(), read.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(read, expected) << "page " << page;
  }
  const std::string text = Shell("pdftotext -f 1 -l 1 s.pdf -");
  EXPECT_NE(text.find("Cartón 0001 · serie 1 · código " + cards[0].code), std::string::npos) << text;
  // The board: 1 to 90 and nothing above.
  const std::string board = Shell("pdftotext -f 51 -l 51 s.pdf -");
  EXPECT_NE(board.find("90"), std::string::npos);
  EXPECT_EQ(board.find("91"), std::string::npos) << board;
}

TEST_F(SeriesProgram, TheNumbersOfASeriesPageAreSevenMillimetresHighOnBothPapers) {
  for (const std::string paper : {"a4", "letter"}) {
    const std::string pdf = paper + ".pdf";
    ASSERT_EQ(Run("--series 1 --code 000001-1 --colour 000000 --no-files --paper " + paper +
                  " --pdf " + pdf).exit_code, 0);
    // The first cartón's cells at 300 dpi: the tallest run of rows with ink inside any cell.
    constexpr double kDpi = 300;
    Shell("pdftoppm -r 300 -gray -f 1 -l 1 " + pdf + " " + paper);
    const std::string image = ReadAll(At(paper + "-1.pgm"));
    int width = 0, height = 0, depth = 0, header = 0;
    ASSERT_EQ(std::sscanf(image.c_str(), "P5 %d %d %d%n", &width, &height, &depth, &header), 3);
    const unsigned char* pixels = reinterpret_cast<const unsigned char*>(image.data()) + header + 1;
    const SheetLayout l = LayoutSeriesSheets(paper == "a4" ? Paper::kA4 : Paper::kLetter);
    const double to_pixels = kDpi / 72 * l.card_scale;
    int tallest = 0;
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 9; ++column) {
        // Inside the ring, a few pixels in from it.
        const int x1 = int((l.card[0].x / l.card_scale + column * 80 + 4) * to_pixels);
        const int x2 = int((l.card[0].x / l.card_scale + column * 80 + 76) * to_pixels);
        const int y1 = int((l.card[0].y / l.card_scale + row * 80 + 4) * to_pixels);
        const int y2 = int((l.card[0].y / l.card_scale + row * 80 + 76) * to_pixels);
        int top = -1, bottom = -1, dark_columns = 0;
        for (int y = y1; y < y2; ++y)
          for (int x = x1; x < x2; ++x)
            if (pixels[size_t(y) * size_t(width) + size_t(x)] < 100) {
              if (top < 0) top = y;
              bottom = y;
              ++dark_columns;
            }
        // A blank cell is ink all over; a number's is a glyph's height.
        if (top >= 0 && dark_columns < (x2 - x1) * (y2 - y1) / 2) tallest = std::max(tallest, bottom - top + 1);
      }
    EXPECT_GE(tallest / kDpi * 25.4, 7.0) << paper << ": " << tallest << " pixels";
  }
}

TEST_F(SeriesProgram, ACartonMadeAgainFromItsCodeIsTheSameBytes) {
  ASSERT_EQ(Run("--series 2 --time 12:34:56.789 --out run --list run.csv").exit_code, 0);
  const std::vector<ListedCarton> cards = ReadSeriesList(ReadAll(At("run.csv")));
  ASSERT_EQ(cards.size(), 12u);
  const Result again = Run("--code " + cards[8].code + " --out again");
  ASSERT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(ReadAll(At("again/0001.bmp")), ReadAll(At("run/0009.bmp")));
  EXPECT_EQ(ReadAll(At("run/0009.bmp")).size(), 521578u);
  // --layout prints its rows as the list has them.
  const Result layout = Run("--layout --code " + cards[8].code);
  EXPECT_EQ(layout.out, cards[8].rows[0] + "\n" + cards[8].rows[1] + "\n" + cards[8].rows[2] + "\n");
  // A run started at the second series' code is the run's second series, file for file.
  ASSERT_EQ(Run("--series 1 --code " + cards[10].code + " --out second --list second.csv").exit_code, 0);
  for (int i = 1; i <= 6; ++i) {
    char mine[16], theirs[16];
    std::snprintf(mine, sizeof mine, "second/%04d.bmp", i);
    std::snprintf(theirs, sizeof theirs, "run/%04d.bmp", i + 6);
    EXPECT_EQ(ReadAll(At(mine)), ReadAll(At(theirs))) << mine;
  }
  const std::vector<ListedCarton> second = ReadSeriesList(ReadAll(At("second.csv")));
  ASSERT_EQ(second.size(), 6u);
  EXPECT_EQ(second[0].code, cards[6].code);
  // And the same --time gives the same bytes again, PNG and sheets too.
  for (const char* name : {"a", "b"})
    ASSERT_EQ(Run(std::string("--series 3 --time 07:00:00.001 --png --out ") + name + " --list " +
                  name + ".csv --pdf " + name + ".pdf").exit_code, 0);
  EXPECT_EQ(ReadAll(At("a.csv")), ReadAll(At("b.csv")));
  EXPECT_EQ(ReadAll(At("a.pdf")), ReadAll(At("b.pdf")));
  EXPECT_EQ(ReadAll(At("a/0018.png")), ReadAll(At("b/0018.png")));
  EXPECT_FALSE(ReadAll(At("a/0018.png")).empty());
}

TEST_F(SeriesProgram, BadSeriesRunsAreRefusedWithNothingWritten) {
  const std::pair<std::string, std::string> refused[] = {
      {"--series 2 --count 12", "--series y --count se excluyen"},
      {"--series 0", "número de series fuera de rango: 0 (de 1 a 5000)"},
      {"--series 5001", "número de series fuera de rango: 5001 (de 1 a 5000)"},
      {"--series dos", "el número de series no es un número entero"},
      {"--series 1 --code 4730F0CA", "--series necesita el código de un cartón de 90"},
      {"--code 4730F0-7", "4730F0-7"},
      {"--code 4730F0-2 --pdf h.pdf", "la lista y las hojas llevan series enteras"},
  };
  for (const auto& [args, message] : refused) {
    const Result result = Run(args + " --list l.csv --out c");
    EXPECT_EQ(result.exit_code, 2) << args;
    EXPECT_NE(result.err.find(message), std::string::npos) << args << ": " << result.err;
    EXPECT_TRUE(SortedEntries(dir_).empty()) << args;
  }
}

TEST_F(SeriesProgram, ChecksAndForecastTakeASeriesList) {
  ASSERT_EQ(Run("--series 5 --time 09:00:00.000 --no-files --list s.csv").exit_code, 0);
  const std::vector<ListedCarton> cards = ReadSeriesList(ReadAll(At("s.csv")));
  ASSERT_EQ(cards.size(), 30u);
  std::string called;
  for (const auto& row : cards[13].cell)
    for (int n : row)
      if (n) called += std::to_string(n) + " ";
  const Result check = Run("--check s.csv --called \"" + called + "\"");
  ASSERT_EQ(check.exit_code, 0) << check.err;
  EXPECT_NE(check.out.find("0014.bmp  " + cards[13].code + "  bingo  (con el último número)"),
            std::string::npos) << check.out;
  // One of each series holds each number: 15 numbers of one cartón give no other a bingo.
  EXPECT_NE(check.out.find("30 cartones comprobados con 15 números"), std::string::npos) << check.out;
  const Result by_code = Run("--check --code " + cards[13].code + " --called \"" + called + "\"");
  EXPECT_EQ(by_code.exit_code, 0) << by_code.err;
  EXPECT_EQ(by_code.out.rfind(cards[13].code + "  bingo", 0), 0u) << by_code.out;
  for (const std::string& source : {std::string("--check s.csv"), "--check --code " + cards[0].code}) {
    const Result beyond = Run(source + " --called \"7 95\"");
    EXPECT_EQ(beyond.exit_code, 2) << source;
    EXPECT_NE(beyond.err.find("el 95 no sale en un bingo de 90 bolas"), std::string::npos) << beyond.err;
  }
  // A list that mixes the two kinds is refused naming the line.
  std::string mixed = ReadAll(At("s.csv"));
  ASSERT_EQ(Run("--count 1 --time 12:34:56.789 --no-files --list one.csv").exit_code, 0);
  const std::string one = Split(ReadAll(At("one.csv")), '\n')[1];
  mixed += one.substr(0, one.size() - 1) + ",6,1\r\n";
  FILE* file = std::fopen(At("mixed.csv").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(mixed.data(), 1, mixed.size(), file);
  std::fclose(file);
  const Result refused = Run("--check mixed.csv --called 7");
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_NE(refused.err.find("línea 32: \"4730F0CA\" es un cartón de 1 a 99"), std::string::npos)
      << refused.err;
  // The forecast plays a cage of 90: bingo with every ball at the latest.
  const Result forecast = Run("--forecast s.csv --in-play 1-30");
  ASSERT_EQ(forecast.exit_code, 0) << forecast.err;
  EXPECT_NE(forecast.out.find("Pronóstico de 10000 partidas con 30 cartones en juego"), std::string::npos);
  const size_t bingo = forecast.out.find("bingo: mediana ");
  ASSERT_NE(bingo, std::string::npos) << forecast.out;
  const size_t upto = forecast.out.find(" de ", forecast.out.find("al 90 %", bingo) + 8);
  EXPECT_LE(std::atoi(forecast.out.c_str() + forecast.out.find(" a ", upto) + 3), 90) << forecast.out;
}

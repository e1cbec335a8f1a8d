// tessarine-cards' codes, PNG cards, lists, PDF sheets and win checks, run as a user
// runs it: its output, exit codes and messages, and the files it writes read back
// independently (libpng, poppler's tools, a win checker of this file's own).
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cards_runner.h"
#include "sheets/sheet_layout.h"

namespace {
void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

// A card as the list gives it, read here without the program's own reader.
struct ListedCard {
  std::string file, code;
  int cell[3][9] = {};
};

std::vector<ListedCard> ReadList(const std::string& bytes) {
  std::vector<ListedCard> cards;
  std::vector<std::string> lines = Split(bytes, '\n');
  EXPECT_FALSE(lines.empty());
  if (lines.empty()) return cards;
  EXPECT_EQ(lines[0], "archivo,codigo,fila1,fila2,fila3\r");
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string line = lines[i];
    EXPECT_FALSE(line.empty() || line.back() != '\r') << "line " << i + 1 << " ends in CRLF";
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = Split(line, ',');
    EXPECT_EQ(fields.size(), 5u) << line;
    if (fields.size() != 5) continue;
    ListedCard card;
    card.file = fields[0];
    card.code = fields[1];
    for (int row = 0; row < 3; ++row) {
      const std::vector<std::string> cells = Split(fields[2 + row], ' ');
      EXPECT_EQ(cells.size(), 9u) << line;
      for (size_t c = 0; c < cells.size() && c < 9; ++c)
        card.cell[row][c] = cells[c] == "--" ? 0 : std::atoi(cells[c].c_str());
    }
    cards.push_back(card);
  }
  return cards;
}

class OutputsProgram : public ScratchFolderTest {
 protected:
  std::vector<std::string> Entries(const std::string& folder) const {
    return SortedEntries(At(folder));
  }
};

std::string Shell(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

int PdfPages(const std::string& pdf) {
  const std::string info = Shell("pdfinfo '" + pdf + "' 2>/dev/null");
  const size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}
}  // namespace

// ---- The acceptance run: sheets, a list, and every code making its card again ---------

TEST_F(OutputsProgram, EveryListedCodeMakesExactlyTheCardOfItsFile) {
  const Result r = Run("--count 8 --time 12:34:56.789 --pdf cards.pdf --list cards.csv");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "8 cartones en muchas/\nhojas en cards.pdf: 8 cartones, 3 páginas\n"
            "lista en cards.csv: 8 cartones\n");
  EXPECT_EQ(PdfPages(At("cards.pdf")), 3) << "two pages of cards and the board";
  const std::vector<ListedCard> cards = ReadList(ReadAll(At("cards.csv")));
  ASSERT_EQ(cards.size(), 8u);
  EXPECT_EQ(cards[0].code, "4730F0CA") << "the card of 12:34:56.789";
  std::set<std::string> codes;
  for (size_t i = 0; i < cards.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%04zu.bmp", i + 1);
    EXPECT_EQ(cards[i].file, name);
    codes.insert(cards[i].code);
    const std::string again = "again" + std::to_string(i);
    const Result one = Run("--code " + cards[i].code + " --out " + again);
    ASSERT_EQ(one.exit_code, 0) << one.err;
    EXPECT_EQ(Entries(again), std::vector<std::string>{"0001.bmp"});
    const std::string made = ReadAll(At(again + "/0001.bmp"));
    EXPECT_EQ(made.size(), 521578u);
    EXPECT_TRUE(made == ReadAll(At("muchas/" + cards[i].file))) << cards[i].code;
    // And --layout prints the rows the list gives.
    const Result layout = Run("--layout --code " + cards[i].code);
    std::string rows;
    for (const auto& row : cards[i].cell) {
      for (int c = 0; c < 9; ++c) {
        char field[4];
        std::snprintf(field, sizeof field, row[c] ? "%02d" : "--", row[c]);
        rows += (c ? " " : "") + std::string(field);
      }
      rows += "\n";
    }
    EXPECT_EQ(layout.out, rows) << cards[i].code;
  }
  EXPECT_EQ(codes.size(), 8u) << "eight different cards";
  // Lower-case digits name the same card.
  ASSERT_EQ(Run("--code 4730f0ca --out lower").exit_code, 0);
  EXPECT_TRUE(ReadAll(At("lower/0001.bmp")) == ReadAll(At("muchas/0001.bmp")));
}

TEST_F(OutputsProgram, BadCodesAndLinesThatDoNotGoTogetherAreRefused) {
  const std::string long_title = "--pdf x.pdf --title " + std::string(81, 'x');
  struct Case {
    std::string args;
    const char* says;
  } cases[] = {
      {"--code 4730F0C", "código de cartón mal escrito"},
      {"--code 4730F0CAB", "código de cartón mal escrito"},
      {"--code 4730G0CA", "código de cartón mal escrito"},
      {"--code ' 4730F0CA'", "código de cartón mal escrito"},
      {"--code", "falta el valor de --code"},
      {"--code 4730F0CA --time 12:34:56.789", "--code y --time se excluyen"},
      {"--code 4730F0CA --count 2", "--code hace un solo cartón"},
      {"--paper a4", "--paper solo vale con --pdf"},
      {"--title Hola", "--title solo vale con --pdf"},
      {"--pdf x.pdf --paper a5", "--paper"},
      {"--no-files", "--no-files necesita --pdf o --list"},
      {"--no-files --pdf x.pdf --png", "no admite --png"},
      {"--no-files --list x.csv --out y", "no admite --out"},
      {"--list x.pdf --pdf x.pdf", "no pueden ser el mismo archivo"},
      {"--layout --png", "--layout escribe un solo cartón"},
      {"--layout --list x.csv", "--layout escribe un solo cartón"},
      {"--called 1", "--called solo vale con --check"},
      {"--check", "--check necesita una lista"},
      {"--check x.csv", "--check necesita los números cantados"},
      {"--check x.csv --called 1 --called-file f", "se excluyen"},
      {"--check x.csv --code 4730F0CA --called 1", "no los dos"},
      {"--check x.csv --called 1 --count 3", "--check comprueba cartones ya hechos"},
      {"--check x.csv --called 1 --pdf y.pdf", "no admite --pdf"},
      {"--pdf x.pdf --title \"$(printf 'a\\tb')\"", "caracteres de control"},
      {"--pdf x.pdf --title \"$(printf '\\377')\"", "UTF-8"},
      {long_title, "demasiado largo"},
      {"--pdf x.pdf --title 'Bingo \xE2\x98\x83'", "no tiene el carácter «\xE2\x98\x83» (U+2603)"},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args);
    EXPECT_EQ(r.exit_code, 2) << c.args;
    EXPECT_TRUE(r.out.empty()) << c.args;
    EXPECT_EQ(r.err.rfind("tessarine-cards: ", 0), 0u) << c.args;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << " -> " << r.err;
    EXPECT_EQ(Entries("."), std::vector<std::string>{}) << c.args << " made something";
  }
}

TEST_F(OutputsProgram, HelpNamesEveryOption) {
  const Result r = Run("--help");
  ASSERT_EQ(r.exit_code, 0);
  for (const char* option : {"--count", "--out", "--colour", "--time", "--code", "--png",
                             "--list", "--pdf", "--paper", "--title", "--no-files", "--layout",
                             "--check", "--called", "--called-file", "--forecast",
                             "--in-play", "--help"})
    EXPECT_NE(r.out.find(std::string(option) + " "), std::string::npos) << option;
}

// ---- PNG cards ----------------------------------------------------------------------

namespace {
// The PNG's pixels as RGB bytes, read by libpng; empty when it is not a PNG.
std::vector<unsigned char> PngPixels(const std::string& bytes, int* width, int* height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<unsigned char> rgb;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return rgb;
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  EXPECT_EQ(image.format & PNG_FORMAT_FLAG_COLOR, static_cast<unsigned>(PNG_FORMAT_FLAG_COLOR));
  EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u) << "RGB, no alpha";
  image.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
  return rgb;
}

// The bitmap's pixels as top-down RGB bytes.
std::vector<unsigned char> BmpPixels(const std::string& file) {
  std::vector<unsigned char> rgb;
  if (file.size() != 521578) return rgb;
  for (int y = 0; y < 241; ++y)
    for (int x = 0; x < 721; ++x) {
      const size_t at = 54 + static_cast<size_t>(240 - y) * 2164 + x * 3;
      rgb.push_back(static_cast<unsigned char>(file[at + 2]));
      rgb.push_back(static_cast<unsigned char>(file[at + 1]));
      rgb.push_back(static_cast<unsigned char>(file[at]));
    }
  return rgb;
}
}  // namespace

TEST_F(OutputsProgram, PngCardsAreTheBitmapsPixelsLosslessAndSmaller) {
  ASSERT_EQ(Run("--count 5 --time 04:33:04.001 --colour 3366CC --list b.csv").exit_code, 0);
  const Result r = Run("--count 5 --time 04:33:04.001 --colour 3366CC --png --out png "
                       "--list p.csv");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Entries("png"), (std::vector<std::string>{"0001.png", "0002.png", "0003.png",
                                                      "0004.png", "0005.png"}));
  const std::vector<ListedCard> bmp = ReadList(ReadAll(At("b.csv")));
  const std::vector<ListedCard> png = ReadList(ReadAll(At("p.csv")));
  ASSERT_EQ(png.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(png[i].file, "000" + std::to_string(i + 1) + ".png");
    const std::string file = ReadAll(At("png/" + png[i].file));
    EXPECT_LE(file.size() * 10, 521578u) << "at least 10 x smaller";
    EXPECT_EQ(file.compare(24, 2, "\x08\x02"), 0) << "8 bits, colour type 2 (RGB)";
    int width = 0, height = 0;
    const std::vector<unsigned char> pixels = PngPixels(file, &width, &height);
    EXPECT_EQ(width, 721);
    EXPECT_EQ(height, 241);
    // The first card has the same seed in both runs; its pixels are the bitmap's.
    if (i == 0) {
      EXPECT_EQ(png[0].code, bmp[0].code);
      EXPECT_TRUE(pixels == BmpPixels(ReadAll(At("muchas/0001.bmp")))) << "lossless";
    }
  }
  // A card code as PNG: the same pixels as the BMP of that code.
  for (int i = 1; i < 5; ++i) {
    ASSERT_EQ(Run("--code " + png[i].code + " --colour 3366CC --out b" + std::to_string(i))
                  .exit_code,
              0);
    int width = 0, height = 0;
    EXPECT_TRUE(PngPixels(ReadAll(At("png/" + png[i].file)), &width, &height) ==
                BmpPixels(ReadAll(At("b" + std::to_string(i) + "/0001.bmp"))))
        << png[i].code;
  }
}

// A file that cannot be written in the middle of a PNG run: the run stops there, the
// files before it stay whole, and the list holds exactly those and says so.
TEST_F(OutputsProgram, AFailedSaveInTheMiddleOfAPngRunListsTheCardsSaved) {
  ASSERT_EQ(mkdir(At("muchas").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(At("muchas/0004.png").c_str(), 0755), 0);
  WriteAll(At("cards.csv"), "an earlier list\n");
  const Result r = Run("--count 9 --png --list cards.csv --pdf cards.pdf");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("no se pudo guardar muchas/0004.png (no es un archivo normal); 3 "
                       "cartones guardados antes"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("lista en cards.csv: 3 cartones"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("hojas en cards.pdf: 3 cartones, 2 páginas"), std::string::npos) << r.err;
  EXPECT_EQ(Entries("muchas"),
            (std::vector<std::string>{"0001.png", "0002.png", "0003.png", "0004.png"}));
  const std::vector<ListedCard> cards = ReadList(ReadAll(At("cards.csv")));
  ASSERT_EQ(cards.size(), 3u);
  for (const ListedCard& card : cards) {
    int width = 0, height = 0;
    EXPECT_EQ(PngPixels(ReadAll(At("muchas/" + card.file)), &width, &height).size(),
              721u * 241 * 3)
        << card.file;
  }
  EXPECT_EQ(PdfPages(At("cards.pdf")), 2);
  EXPECT_EQ(Entries("."), (std::vector<std::string>{"cards.csv", "cards.pdf", "muchas"}))
      << "no temporary left";
}

// ---- The list and the sheets alone ---------------------------------------------------

TEST_F(OutputsProgram, NoFilesMakesOnlyTheListAndSheetsNamingTheCardsByNumber) {
  const Result r = Run("--count 6 --time 12:34:56.789 --no-files --list l.csv --pdf s.pdf "
                       "--paper letter --title 'Noche de bingo — sábado'");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Entries("."), (std::vector<std::string>{"l.csv", "s.pdf"}));
  const std::vector<ListedCard> cards = ReadList(ReadAll(At("l.csv")));
  ASSERT_EQ(cards.size(), 6u);
  EXPECT_EQ(cards[0].file, "0001.bmp");
  EXPECT_EQ(cards[5].file, "0006.bmp");
  EXPECT_EQ(cards[0].code, "4730F0CA");
  EXPECT_EQ(PdfPages(At("s.pdf")), 3);
  const std::string info = Shell("pdfinfo '" + At("s.pdf") + "'");
  EXPECT_NE(info.find("612 x 792 pts"), std::string::npos) << "letter paper: " << info;
  const std::string text = Shell("pdftotext '" + At("s.pdf") + "' -");
  EXPECT_NE(text.find("Noche de bingo — sábado"), std::string::npos) << text;
  for (const ListedCard& card : cards)
    EXPECT_NE(text.find("código " + card.code), std::string::npos) << card.code;
  // The default paper is A4.
  ASSERT_EQ(Run("--no-files --pdf a4.pdf").exit_code, 0);
  EXPECT_NE(Shell("pdfinfo '" + At("a4.pdf") + "'").find("595.276 x 841.89 pts"),
            std::string::npos);
}

// The sheets rendered back by poppler: every cell of every card on the first page is the
// card of the row its label's code has in the list.
TEST_F(OutputsProgram, TheRenderedSheetShowsTheListedCards) {
  ASSERT_EQ(Run("--count 4 --colour E04020 --no-files --pdf s.pdf --list l.csv").exit_code, 0);
  const std::vector<ListedCard> cards = ReadList(ReadAll(At("l.csv")));
  ASSERT_EQ(cards.size(), 4u);
  const int dpi = 150;
  ASSERT_EQ(std::system(("pdftoppm -r " + std::to_string(dpi) + " -f 1 -l 1 -singlefile '" +
                         At("s.pdf") + "' '" + At("page") + "'")
                            .c_str()),
            0);
  FILE* f = std::fopen(At("page.ppm").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  int width = 0, height = 0, max = 0;
  ASSERT_EQ(std::fscanf(f, "P6 %d %d %d", &width, &height, &max), 3);
  std::fgetc(f);
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  ASSERT_EQ(std::fread(rgb.data(), 1, rgb.size(), f), rgb.size());
  std::fclose(f);
  const SheetLayout layout = LayoutSheets(Paper::kA4);
  const double px = dpi / 72.0;
  auto near = [&](double x, double y, int r, int g, int b) {
    const size_t at = (static_cast<size_t>(y * px) * width + static_cast<size_t>(x * px)) * 3;
    return std::abs(rgb[at] - r) < 24 && std::abs(rgb[at + 1] - g) < 24 &&
           std::abs(rgb[at + 2] - b) < 24;
  };
  const std::string text = Shell("pdftotext -f 1 -l 1 '" + At("s.pdf") + "' -");
  for (int slot = 0; slot < 4; ++slot) {
    EXPECT_NE(text.find("Cartón 000" + std::to_string(slot + 1) + " · código " +
                        cards[slot].code),
              std::string::npos);
    const SheetRect& card = layout.card[slot];
    const double unit = layout.card_scale;
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 9; ++column) {
        // A blank cell is the card colour through its middle; a number cell is white
        // near its top edge, inside its ring.
        const double x = card.x + (80 * column + 40) * unit;
        const bool blank = cards[slot].cell[row][column] == 0;
        const double y = card.y + (80 * row + (blank ? 40 : 5)) * unit;
        EXPECT_TRUE(blank ? near(x, y, 0xE0, 0x40, 0x20) : near(x, y, 255, 255, 255))
            << "card " << slot + 1 << " row " << row + 1 << " column " << column + 1;
      }
  }
}

TEST_F(OutputsProgram, AListOrSheetThatCannotBeWrittenRefusesTheRunAtOnce) {
  Result r = Run("--count 3 --list missing/cards.csv");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("no se pudo guardar missing/cards.csv (carpeta inexistente): no se hizo "
                       "ningún cartón"),
            std::string::npos)
      << r.err;
  r = Run("--count 3 --pdf missing/cards.pdf");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("missing/cards.pdf (carpeta inexistente)"), std::string::npos) << r.err;
  EXPECT_EQ(Entries("."), std::vector<std::string>{}) << "no card made";

  // An earlier list that may not be replaced stays as it was.
  WriteAll(At("kept.csv"), "kept\n");
  if (std::system(("chattr +i '" + At("kept.csv") + "' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "chattr +i refused here: the kept-list case is not run";
  }
  r = Run("--count 2 --list kept.csv");
  std::system(("chattr -i '" + At("kept.csv") + "'").c_str());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("kept.csv (sin permiso)"), std::string::npos) << r.err;
  EXPECT_EQ(ReadAll(At("kept.csv")), "kept\n");
  EXPECT_FALSE(Exists("muchas/0001.bmp"));
}

TEST_F(OutputsProgram, AFullDiskUnderTheSheetsFailsThemAndKeepsTheCards) {
  ASSERT_EQ(mkdir(At("small").c_str(), 0755), 0);
  if (std::system(("mount -t tmpfs -o size=64k tessarine-small '" + At("small") + "' 2>/dev/null")
                      .c_str()) != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: full-disk case not run";
  const Result r = Run("--count 400 --no-files --pdf small/cards.pdf --list cards.csv");
  const std::vector<std::string> left = Entries("small");
  std::system(("umount '" + At("small") + "'").c_str());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("no se pudo guardar small/cards.pdf (disco lleno)"), std::string::npos)
      << r.err;
  EXPECT_EQ(left, std::vector<std::string>{}) << "no half PDF, no temporary";
  EXPECT_EQ(ReadList(ReadAll(At("cards.csv"))).size(), 400u);
}

// An interrupted run writes the list of the cards it saved.
TEST_F(OutputsProgram, AnInterruptedRunListsTheCardsItSaved) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execl(TESSARINE_CARDS_EXE, TESSARINE_CARDS_EXE, "--count", "30000", "--out",
          At("run").c_str(), "--list", At("run.csv").c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (access(At("run/0004.bmp").c_str(), F_OK) != 0 &&
         std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(kill(child, SIGINT), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  const std::vector<ListedCard> cards = ReadList(ReadAll(At("run.csv")));
  std::vector<std::string> listed;
  for (const ListedCard& card : cards) listed.push_back(card.file);
  EXPECT_GE(listed.size(), 4u);
  EXPECT_EQ(listed, Entries("run")) << "the list names exactly the files saved";
}

// ---- Checking a claimed win -----------------------------------------------------------

namespace {
// This test's own reading of a win: how many rows are full with these numbers called.
int FullRows(const ListedCard& card, const std::set<int>& called) {
  int full = 0;
  for (const auto& row : card.cell) {
    int have = 0;
    for (int n : row) have += n != 0 && called.count(n) > 0;
    full += have == 5;
  }
  return full;
}

const char* const kKinds[] = {"sin premio", "línea", "dos líneas", "bingo"};

// The lines the check must print for these cards and calls, best first.
std::vector<std::string> ExpectedWinners(const std::vector<ListedCard>& cards,
                                         const std::vector<int>& order) {
  const std::set<int> all(order.begin(), order.end());
  const std::set<int> before(order.begin(), order.end() - 1);
  struct Win {
    int kind;
    bool last;
    size_t index;
  };
  std::vector<Win> wins;
  for (size_t i = 0; i < cards.size(); ++i) {
    const int kind = FullRows(cards[i], all);
    if (kind > 0) wins.push_back({kind, FullRows(cards[i], before) < kind, i});
  }
  std::stable_sort(wins.begin(), wins.end(), [](const Win& a, const Win& b) {
    return a.kind != b.kind ? a.kind > b.kind : a.last && !b.last;
  });
  std::vector<std::string> lines;
  for (const Win& w : wins) {
    std::string line = cards[w.index].file.empty() ? "" : cards[w.index].file + "  ";
    line += cards[w.index].code + "  " + kKinds[w.kind] +
            (w.last ? "  (con el último número)" : "  (antes del último número)");
    lines.push_back(line);
  }
  return lines;
}

std::string Joined(const std::vector<int>& numbers, const char* separator) {
  std::string text;
  for (size_t i = 0; i < numbers.size(); ++i)
    text += (i ? separator : "") + std::to_string(numbers[i]);
  return text;
}
}  // namespace

TEST_F(OutputsProgram, CheckFindsTheWinnersAnIndependentCheckerFinds) {
  ASSERT_EQ(Run("--count 300 --time 20:00:00.000 --no-files --list hall.csv").exit_code, 0);
  const std::string list = ReadAll(At("hall.csv"));
  const std::vector<ListedCard> cards = ReadList(list);
  ASSERT_EQ(cards.size(), 300u);
  std::mt19937 random(2024);
  int games_with_winners = 0;
  for (int game = 0; game < 12; ++game) {
    // Calls that complete some card's rows, then others at random, so that wins of every
    // kind, on the last number and before it, come up.
    std::vector<int> pool(99);
    for (int i = 0; i < 99; ++i) pool[i] = i + 1;
    std::shuffle(pool.begin(), pool.end(), random);
    const ListedCard& target = cards[random() % cards.size()];
    std::vector<int> order;
    for (int row = 0; row < 1 + game % 3; ++row)
      for (int n : target.cell[row])
        if (n) order.push_back(n);
    for (int n : pool)
      if (order.size() < static_cast<size_t>(20 + game * 4) &&
          std::find(order.begin(), order.end(), n) == order.end())
        order.push_back(n);
    std::rotate(order.begin(), order.begin() + (game % 2 ? 5 : 0), order.end());
    const std::vector<std::string> expected = ExpectedWinners(cards, order);
    games_with_winners += !expected.empty();
    const Result r = Run("--check hall.csv --called '" + Joined(order, game % 2 ? ", " : " ") + "'");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::vector<std::string> lines = Split(r.out, '\n');
    ASSERT_FALSE(lines.empty());
    const std::string summary = lines.back();
    lines.pop_back();
    EXPECT_EQ(lines, expected) << "game " << game;
    EXPECT_EQ(summary.rfind("300 cartones comprobados con " + std::to_string(order.size()) +
                                " números cantados (el último, " +
                                std::to_string(order.back()) + ")",
                            0),
              0u)
        << summary;
    // The same numbers from a file, one or more a line.
    std::string file;
    for (size_t i = 0; i < order.size(); ++i)
      file += std::to_string(order[i]) + (i % 3 == 2 ? "\n" : " ");
    WriteAll(At("called.txt"), file);
    EXPECT_EQ(Run("--check hall.csv --called-file called.txt").out, r.out);
  }
  EXPECT_GT(games_with_winners, 6);
  EXPECT_EQ(ReadAll(At("hall.csv")), list) << "the list is only read";

  // One claimed card by its code, no list.
  const ListedCard& claimed = cards[17];
  std::vector<int> order;
  for (const auto& row : claimed.cell)
    for (int n : row)
      if (n) order.push_back(n);
  ListedCard by_code = claimed;
  by_code.file.clear();
  const Result one = Run("--check --code " + claimed.code + " --called '" + Joined(order, " ") + "'");
  ASSERT_EQ(one.exit_code, 0) << one.err;
  EXPECT_EQ(Split(one.out, '\n')[0], ExpectedWinners({by_code}, order)[0]);
  EXPECT_EQ(Split(one.out, '\n')[0], claimed.code + "  bingo  (con el último número)");
}

TEST_F(OutputsProgram, CheckRefusesBadInputNamingTheLineOrTheNumber) {
  ASSERT_EQ(Run("--count 3 --no-files --list good.csv").exit_code, 0);
  const std::string good = ReadAll(At("good.csv"));
  // A card whose first row is not the one its code makes.
  std::string tampered = good;
  const size_t row3 = tampered.find(',', tampered.find(',', tampered.find("\r\n0003.bmp") + 2) + 1);
  tampered[row3 + 1] = tampered[row3 + 1] == '-' ? '1' : '-';
  tampered[row3 + 2] = tampered[row3 + 1] == '-' ? '-' : '1';
  WriteAll(At("tampered.csv"), tampered);
  WriteAll(At("other.csv"), "nombre,numero\r\nx,1\r\n");
  WriteAll(At("badcode.csv"), good + "0004.bmp,XYZ,01,02,03\r\n");
  WriteAll(At("empty.txt"), "\n\n");
  WriteAll(At("line3.txt"), "1 2\n3\n4 100\n");
  struct Case {
    std::string args;
    const char* says;
  } cases[] = {
      {"--check good.csv --called '7 100'", "100"},
      {"--check good.csv --called '7 0'", "fuera de rango"},
      {"--check good.csv --called '7 12 7'", "el número 7 se cantó dos veces"},
      {"--check good.csv --called '7 x'", "\"x\""},
      {"--check good.csv --called ' , '", ""},
      {"--check good.csv --called-file empty.txt", "empty.txt"},
      {"--check good.csv --called-file line3.txt", "línea 3"},
      {"--check good.csv --called-file nothere.txt", "nothere.txt: no existe"},
      {"--check nothere.csv --called 7", "nothere.csv: no existe"},
      {"--check other.csv --called 7", "no es una lista de cartones de Tessarine"},
      {"--check tampered.csv --called 7", "línea 4: la fila 1 no es la del cartón"},
      {"--check badcode.csv --called 7", "línea 5"},
      {"--check --code 12345 --called 7", "código de cartón mal escrito"},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.args);
    EXPECT_EQ(r.exit_code, 2) << c.args;
    EXPECT_TRUE(r.out.empty()) << c.args;
    EXPECT_EQ(r.err.rfind("tessarine-cards: ", 0), 0u) << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << " -> " << r.err;
  }
  EXPECT_EQ(ReadAll(At("good.csv")), good);
  EXPECT_EQ(ReadAll(At("tampered.csv")), tampered);
}

// A list a user may only read is checked by that user, and stays as it was.
TEST_F(OutputsProgram, CheckOnlyReadsTheList) {
  ASSERT_EQ(Run("--count 5 --no-files --list hall.csv").exit_code, 0);
  const std::string list = ReadAll(At("hall.csv"));
  ASSERT_EQ(chmod(At("hall.csv").c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
  const Result probe = Run("--help", "runuser -u nobody --");
  if (probe.exit_code != 0) GTEST_SKIP() << "cannot run as nobody here: " << probe.err;
  const Result r = Run("--check hall.csv --called '1 2 3 4 5 6 7 8 9 10'", "runuser -u nobody --");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("5 cartones comprobados con 10 números cantados"), std::string::npos)
      << r.out;
  EXPECT_EQ(ReadAll(At("hall.csv")), list);
  EXPECT_EQ(Entries("."), std::vector<std::string>{"hall.csv"});
}

// A run given a time is that run again at any hour. The clock is set by
// libfaketime before 12:34:56.789 and after it, where cards 2 to 8 once followed the
// clock: the same list and the same files, byte for byte.
TEST_F(OutputsProgram, ATimeGivenFixesTheWholeRunAtAnyHour) {
  if (std::system("command -v faketime >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "sin faketime: no se puede poner el reloj";
  const std::string hours[] = {"08:00:00", "20:00:00"};
  const auto run_at = [&](const std::string& hour, const std::string& name,
                          const std::string& args) {
    const std::string folder = At(name + "-" + hour.substr(0, 2));
    mkdir(folder.c_str(), 0755);
    // Only the clock is false: files keep their true times (NO_FAKE_STAT), or fontconfig
    // would take every cache for stale and write them again, the system's too, under the
    // other tests; it gets a cache of its own all the same. AddressSanitizer, in its
    // build, comes after libfaketime in the preload list.
    const std::string faked = "ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0:detect_leaks=0\" "
                              "NO_FAKE_STAT=1 XDG_CACHE_HOME='" + folder + "/.cache' "
                              "faketime '2026-12-09 " + hour + "'";
    const Result result = RunCardsIn(folder, args, faked);
    EXPECT_EQ(result.exit_code, 0) << hour << " " << args << ": " << result.err;
    return folder;
  };
  const std::string args = "--count 8 --time 12:34:56.789 --png --out c --list l.csv --pdf h.pdf";
  const std::string morning = run_at(hours[0], "time", args);
  const std::string evening = run_at(hours[1], "time", args);
  const std::string list = ReadAll(morning + "/l.csv");
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 9) << list;
  EXPECT_EQ(list, ReadAll(evening + "/l.csv"));
  EXPECT_EQ(ReadAll(morning + "/h.pdf"), ReadAll(evening + "/h.pdf"));
  const std::vector<std::string> files = SortedEntries(morning + "/c");
  ASSERT_EQ(files.size(), 8u);
  EXPECT_EQ(files, SortedEntries(evening + "/c"));
  for (const std::string& file : files)
    EXPECT_EQ(ReadAll(morning + "/c/" + file), ReadAll(evening + "/c/" + file)) << file;
  // The clock was really set: without --time, the two runs differ.
  const std::string by_clock = "--count 2 --no-files --list l.csv";
  EXPECT_NE(ReadAll(run_at(hours[0], "clock", by_clock) + "/l.csv"),
            ReadAll(run_at(hours[1], "clock", by_clock) + "/l.csv"));
}

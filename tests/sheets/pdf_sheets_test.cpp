#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "card/run_seeds.h"
#include "card/random.h"
#include "card/renderer.h"
#include "sheets/pdf_sheets.h"

namespace {
struct Output {
  int status = -1;
  std::string text;
};

Output Shell(const std::string& command) {
  Output out;
  if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.text.append(buffer, n);
    out.status = ::pclose(pipe);
  }
  return out;
}

struct Scratch {
  Scratch() {
    char name[] = "/tmp/sheets_test.XXXXXX";
    path = ::mkdtemp(name);
  }
  ~Scratch() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string path;
};

struct Sink {
  FILE* file = nullptr;
  size_t written = 0;
  size_t fail_after = static_cast<size_t>(-1);  // refuse once this many bytes are in
};

bool ToSink(void* context, const unsigned char* data, size_t size) {
  auto* sink = static_cast<Sink*>(context);
  if (sink->written + size > sink->fail_after) return false;
  sink->written += size;
  return !sink->file || std::fwrite(data, 1, size, sink->file) == size;
}

// The run's cards from 12:34:56.789, as tessarine-cards gives them.
std::vector<SheetCard> RunCards(int count, Colour colour) {
  CardRun run;
  std::vector<SheetCard> cards;
  for (int i = 1; i <= count; ++i) {
    SheetCard card;
    card.number = i;
    card.seed_bits = NextRunSeed(run, SeedBitsOfClock(45296789u + i - 1));
    card.layout = PlanCard(card.seed_bits);
    card.colour = colour;
    cards.push_back(card);
  }
  return cards;
}

// Makes the PDF into a file; empty string on success, else the error.
std::string MakePdf(const std::string& path, const std::vector<SheetCard>& cards,
                    Paper paper = Paper::kA4, const std::string& title = "") {
  Sink sink;
  sink.file = std::fopen(path.c_str(), "wb");
  if (!sink.file) return "cannot open " + path;
  SheetOptions options;
  options.paper = paper;
  options.title = title;
  options.write = ToSink;
  options.context = &sink;
  std::string error;
  const SheetsBegun begun_sheets = BeginSheets(options);
  error = begun_sheets.error;
  PdfSheets* sheets = begun_sheets.sheets;
  if (!sheets) return error;
  for (const SheetCard& card : cards)
    if (!(error = AddSheetCard(sheets, card)).empty()) {
      AbandonSheets(sheets);
      return error;
    }
  const bool finished = (error = FinishSheets(sheets)).empty();
  std::fclose(sink.file);
  return finished ? "" : error;
}

std::string Field(const std::string& text, const std::string& name) {
  const size_t at = text.find(name + ":");
  if (at == std::string::npos) return "";
  size_t start = text.find_first_not_of(' ', at + name.size() + 1);
  return text.substr(start, text.find('\n', start) - start);
}

struct Word {
  double x_min, y_min, x_max, y_max;
  std::string text;
  double cx() const { return (x_min + x_max) / 2; }
  double cy() const { return (y_min + y_max) / 2; }
};

double Attribute(const std::string& tag, const std::string& name) {
  const size_t at = tag.find(name + "=\"");
  return at == std::string::npos ? NAN : std::atof(tag.c_str() + at + name.size() + 2);
}

// pdftotext's words of one page with their boxes, in points from the page's top-left.
std::vector<Word> Words(const std::string& pdf, int page) {
  const Output out = Shell("pdftotext -bbox -f " + std::to_string(page) + " -l " +
                         std::to_string(page) + " '" + pdf + "' -");
  std::vector<Word> words;
  size_t at = 0;
  while ((at = out.text.find("<word ", at)) != std::string::npos) {
    const size_t close = out.text.find('>', at);
    const size_t end = out.text.find("</word>", close);
    const std::string tag = out.text.substr(at, close - at);
    words.push_back({Attribute(tag, "xMin"), Attribute(tag, "yMin"), Attribute(tag, "xMax"),
                     Attribute(tag, "yMax"), out.text.substr(close + 1, end - close - 1)});
    at = end;
  }
  return words;
}

std::string PageText(const std::string& pdf, int page) {
  return Shell("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
             pdf + "' -")
      .text;
}

// A binary PPM from pdftoppm.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  uint32_t At(double x, double y) const {
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    const unsigned char* p = &rgb[(static_cast<size_t>(iy) * width + ix) * 3];
    return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
  }
};

Picture Render(const std::string& pdf, int page, int dpi, const std::string& scratch) {
  Picture picture;
  const std::string base = scratch + "/render";
  const Output out = Shell("pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) +
                         " -l " + std::to_string(page) + " -singlefile '" + pdf + "' '" + base +
                         "'");
  EXPECT_EQ(out.status, 0) << out.text;
  FILE* f = std::fopen((base + ".ppm").c_str(), "rb");
  if (!f) return picture;
  int max = 0;
  if (std::fscanf(f, "P6 %d %d %d", &picture.width, &picture.height, &max) == 3 && max == 255) {
    std::fgetc(f);
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    if (std::fread(picture.rgb.data(), 1, picture.rgb.size(), f) != picture.rgb.size())
      picture.rgb.clear();
  }
  std::fclose(f);
  return picture;
}

uint32_t Rgb(Colour colour) {  // 0x00BBGGRR to 0xRRGGBB
  const uint32_t c = static_cast<uint32_t>(colour);
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) >
        tolerance)
      return false;
  return true;
}

std::string Hex(uint32_t bits) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(bits));
  return text;
}

constexpr uint32_t kWhiteRgb = 0xFFFFFF;
}  // namespace

TEST(PdfSheets, OnePageForEveryFourCardsAndTheBoard) {
  Scratch scratch;
  const std::string pdf = scratch.path + "/cards.pdf";
  for (int count : {0, 1, 4, 5, 8, 9}) {
    ASSERT_EQ(MakePdf(pdf, RunCards(count, kDefaultCardColour)), "") << count;
    const Output info = Shell("pdfinfo '" + pdf + "'");
    ASSERT_EQ(info.status, 0) << info.text;
    EXPECT_EQ(Field(info.text, "Pages"), std::to_string((count + 3) / 4 + 1)) << count;
    EXPECT_EQ(Field(info.text, "Page size"), "595.276 x 841.89 pts (A4)");
  }
  ASSERT_EQ(MakePdf(pdf, RunCards(6, kDefaultCardColour), Paper::kLetter), "");
  const Output info = Shell("pdfinfo '" + pdf + "'");
  EXPECT_EQ(Field(info.text, "Pages"), "3");
  EXPECT_EQ(Field(info.text, "Page size"), "612 x 792 pts (letter)");
}

TEST(PdfSheets, VectorsAndEmbeddedFontsOnly) {
  Scratch scratch;
  const std::string pdf = scratch.path + "/cards.pdf";
  ASSERT_EQ(MakePdf(pdf, RunCards(6, 0x2040E0), Paper::kA4, "Bingo del sábado"), "");
  const Output images = Shell("pdfimages -list '" + pdf + "'");
  ASSERT_EQ(images.status, 0) << images.text;
  // Only the two header lines: no embedded picture anywhere.
  EXPECT_EQ(std::count(images.text.begin(), images.text.end(), '\n'), 2) << images.text;
  const Output fonts = Shell("pdffonts '" + pdf + "'");
  ASSERT_EQ(fonts.status, 0) << fonts.text;
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = fonts.text.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(fonts.text.substr(at, end - at));
  ASSERT_GT(lines.size(), 2u) << fonts.text;
  const size_t emb = lines[0].find("emb");
  for (size_t i = 2; i < lines.size(); ++i)
    EXPECT_EQ(lines[i].substr(emb, 3), "yes") << "not embedded: " << lines[i];
  // Two fonts, both Type 3 glyphs drawn from the face's outlines, each with a map back to
  // Unicode.
  ASSERT_EQ(lines.size(), 4u) << fonts.text;
  const size_t type = lines[0].find("type"), uni = lines[0].find("uni");
  for (size_t i = 2; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(type, 6), "Type 3") << lines[i];
    EXPECT_EQ(lines[i].substr(uni, 3), "yes") << lines[i];
  }
}

TEST(PdfSheets, LabelsTitleAndBoardAreRealText) {
  Scratch scratch;
  const std::string pdf = scratch.path + "/cards.pdf";
  const std::vector<SheetCard> cards = RunCards(7, kDefaultCardColour);
  ASSERT_EQ(MakePdf(pdf, cards, Paper::kA4, "Gran Bingo · Sábado"), "");
  const std::string all = Shell("pdftotext '" + pdf + "' -").text;
  size_t at = 0;
  for (const SheetCard& card : cards) {
    char number[8];
    std::snprintf(number, sizeof number, "%04d", card.number);
    const std::string label =
        std::string("Cartón ") + number + " · código " + Hex(card.seed_bits);
    const size_t found = all.find(label, at);
    EXPECT_NE(found, std::string::npos) << label;
    if (found != std::string::npos) at = found;  // in the order of the run
  }
  for (int page = 1; page <= 3; ++page)
    EXPECT_NE(PageText(pdf, page).find("Gran Bingo · Sábado"), std::string::npos) << page;
  // The board: the heading and every number from 01 to 99 once, nothing else.
  const std::vector<Word> words = Words(pdf, 3);
  std::multiset<std::string> numbers;
  std::string other;
  for (const Word& w : words) {
    if (w.text.size() == 2 && std::isdigit(static_cast<unsigned char>(w.text[0])) &&
        std::isdigit(static_cast<unsigned char>(w.text[1])))
      numbers.insert(w.text);
    else
      other += w.text + " ";
  }
  ASSERT_EQ(numbers.size(), 99u);
  for (int n = 1; n <= 99; ++n) {
    char text[4];
    std::snprintf(text, sizeof text, "%02d", n);
    EXPECT_EQ(numbers.count(text), 1u) << text;
  }
  EXPECT_EQ(other, "Gran Bingo · Sábado Tablero del cantor ");
  // Without a title there is no title line.
  ASSERT_EQ(MakePdf(pdf, cards, Paper::kA4), "");
  EXPECT_EQ(PageText(pdf, 1).find("Gran Bingo"), std::string::npos);
}

// The test's reading of a rendered page: each card found by its label's code, then every
// cell checked against the card that code makes. The card's place on the page comes
// from the layout; what is in it comes from the rendering and the text alone.
TEST(PdfSheets, TheRenderedPageShowsTheCardsOfTheirCodes) {
  Scratch scratch;
  const std::string pdf = scratch.path + "/cards.pdf";
  const Colour colour = 0x2040E0;  // red E0, green 40, blue 20
  const std::vector<SheetCard> cards = RunCards(5, colour);
  ASSERT_EQ(MakePdf(pdf, cards, Paper::kA4, "Prueba"), "");
  const int dpi = 300;
  const double px = dpi / 72.0;
  const Picture page = Render(pdf, 1, dpi, scratch.path);
  ASSERT_FALSE(page.rgb.empty());
  const SheetLayout layout = LayoutSheets(Paper::kA4);
  ASSERT_NEAR(page.width, layout.page_width * px, 1.0);
  const std::vector<Word> words = Words(pdf, 1);
  const uint32_t ink = Rgb(colour);
  for (int slot = 0; slot < kCardsPerPage; ++slot) {
    const SheetRect& card = layout.card[slot];
    // The label's words: under the card, above the next.
    std::string label;
    for (const Word& w : words)
      if (w.cy() > card.bottom() && w.cy() < layout.label[slot].bottom() + 2)
        label += (label.empty() ? "" : " ") + w.text;
    char number[8];
    std::snprintf(number, sizeof number, "%04d", slot + 1);
    const std::string prefix = std::string("Cartón ") + number + " · código ";
    ASSERT_EQ(label.rfind(prefix, 0), 0u) << label;
    const std::string code = label.substr(prefix.size());
    ASSERT_EQ(code.size(), 8u) << label;
    const uint32_t bits = static_cast<uint32_t>(std::strtoul(code.c_str(), nullptr, 16));
    const CardLayout expected = PlanCard(bits);
    EXPECT_EQ(bits, cards[slot].seed_bits);

    const double unit = layout.card_scale * px;  // pixels per card pixel
    auto at = [&](double cx, double cy) {
      return page.At(card.x * px + cx * unit, card.y * px + cy * unit);
    };
    int numbers_seen = 0;
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 9; ++column) {
        SCOPED_TRACE("card " + std::to_string(slot + 1) + " row " + std::to_string(row + 1) +
                     " column " + std::to_string(column + 1));
        const double x1 = 80 * column + 1, y1 = 80 * row + 1;
        // The white line left of and above every cell.
        EXPECT_TRUE(Near(at(x1 - 0.5, y1 + 40), kWhiteRgb, 8));
        EXPECT_TRUE(Near(at(x1 + 40, y1 - 0.5), kWhiteRgb, 8));
        // The cell's edge is the card colour either way.
        for (const auto& edge : {std::pair<double, double>{x1 + 0.5, y1 + 40},
                                 {x1 + 78.5, y1 + 40}, {x1 + 40, y1 + 0.5}, {x1 + 40, y1 + 78.5}})
          EXPECT_TRUE(Near(at(edge.first, edge.second), ink, 8));
        const int n = expected.cell[row][column];
        if (n == 0) {
          for (double y = y1 + 3; y < y1 + 77; y += 6)
            for (double x = x1 + 3; x < x1 + 77; x += 6) ASSERT_TRUE(Near(at(x, y), ink, 8));
          continue;
        }
        // A number cell: white above and below the digits, ink between.
        for (double x = x1 + 3; x < x1 + 77; x += 3) {
          ASSERT_TRUE(Near(at(x, y1 + 4), kWhiteRgb, 8));
          ASSERT_TRUE(Near(at(x, y1 + 74), kWhiteRgb, 8));
        }
        int inked = 0, looked = 0;
        for (double y = y1 + 22; y < y1 + 60; y += 1)
          for (double x = x1 + 4; x < x1 + 76; x += 1, ++looked) inked += Near(at(x, y), ink, 16);
        EXPECT_GT(inked * 5, looked) << "the digits are drawn in the card colour";
        // And the digits as text, inside this cell.
        std::string text;
        for (const Word& w : words) {
          const double wx = (w.cx() - card.x) / layout.card_scale;
          const double wy = (w.cy() - card.y) / layout.card_scale;
          if (wx > x1 && wx < x1 + 79 && wy > y1 && wy < y1 + 79) text += w.text;
        }
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02d", n);
        EXPECT_EQ(text, digits);
        ++numbers_seen;
      }
    EXPECT_EQ(numbers_seen, 15);
  }
}

TEST(PdfSheets, PagesGoOutAsTheyFill) {
  Sink sink;
  SheetOptions options;
  options.write = ToSink;
  options.context = &sink;
  std::string error;
  const SheetsBegun begun_sheets = BeginSheets(options);
  error = begun_sheets.error;
  PdfSheets* sheets = begun_sheets.sheets;
  ASSERT_NE(sheets, nullptr) << error;
  const std::vector<SheetCard> cards = RunCards(400, kDefaultCardColour);
  std::vector<size_t> written;
  for (size_t i = 0; i < cards.size(); ++i) {
    ASSERT_TRUE((error = AddSheetCard(sheets, cards[i])).empty()) << error;
    if ((i + 1) % 100 == 0) written.push_back(sink.written);
  }
  // Every hundred cards (25 pages) more of the document is out, before it is finished.
  for (size_t i = 1; i < written.size(); ++i) EXPECT_GT(written[i], written[i - 1] + 25 * 500);
  ASSERT_TRUE((error = FinishSheets(sheets)).empty()) << error;
  EXPECT_GT(sink.written, written.back());
}

TEST(PdfSheets, AFailedWriteIsReportedNotSwallowed) {
  Sink whole;
  SheetOptions counted;
  counted.write = ToSink;
  counted.context = &whole;
  std::string error;
  const SheetsBegun begun_all = BeginSheets(counted);
  error = begun_all.error;
  PdfSheets* all = begun_all.sheets;
  ASSERT_NE(all, nullptr) << error;
  const std::vector<SheetCard> cards = RunCards(80, kDefaultCardColour);
  for (const SheetCard& card : cards) ASSERT_TRUE((error = AddSheetCard(all, card)).empty()) << error;
  ASSERT_TRUE((error = FinishSheets(all)).empty()) << error;
  // Refused at the start, early, half-way and at the very last byte.
  for (size_t fail_after : {size_t{0}, size_t{2000}, whole.written / 2, whole.written - 1}) {
    Sink sink;
    sink.fail_after = fail_after;
    SheetOptions options;
    options.write = ToSink;
    options.context = &sink;
    error.clear();
    const SheetsBegun begun_sheets = BeginSheets(options);
    error = begun_sheets.error;
    PdfSheets* sheets = begun_sheets.sheets;
    bool ok = sheets != nullptr;
    for (const SheetCard& card : cards)
      if (ok) ok = (error = AddSheetCard(sheets, card)).empty();
    if (ok)
      ok = (error = FinishSheets(sheets)).empty();
    else if (sheets)
      AbandonSheets(sheets);
    EXPECT_FALSE(ok) << fail_after;
    EXPECT_EQ(error, "no se pudo escribir el PDF") << fail_after;
    EXPECT_LE(sink.written, fail_after);
  }
  SheetOptions nowhere;
  const SheetsBegun refused = BeginSheets(nowhere);
  EXPECT_EQ(refused.sheets, nullptr);
  EXPECT_FALSE(refused.error.empty());
}

TEST(PdfSheets, ATitleReadsBackAsWritten) {
  Scratch scratch;
  const std::string pdf = scratch.path + "/cards.pdf";
  const std::string title = "Año nuevo: café, piñata · 5 € «sí»";
  ASSERT_EQ(MakePdf(pdf, RunCards(2, kDefaultCardColour), Paper::kLetter, title), "");
  EXPECT_NE(PageText(pdf, 1).find(title), std::string::npos) << PageText(pdf, 1);
  EXPECT_NE(PageText(pdf, 2).find(title), std::string::npos) << PageText(pdf, 2);
  EXPECT_EQ(Field(Shell("pdfinfo '" + pdf + "'").text, "Title"), title);
  EXPECT_NE(PageText(pdf, 1).find("Cartón 0001 · código 4730F0CA"), std::string::npos);
}

TEST(PdfSheets, ATitleCharacterTheFaceLacksIsRefusedByName) {
  Sink sink;
  SheetOptions options;
  options.write = ToSink;
  options.context = &sink;
  options.title = "Bingo \xE2\x98\x83 de invierno";  // U+2603, a snowman: no Tahoma has it
  std::string error;
  const SheetsBegun begun_sheets = BeginSheets(options);
  error = begun_sheets.error;
  PdfSheets* sheets = begun_sheets.sheets;
  EXPECT_EQ(sheets, nullptr);
  if (sheets) AbandonSheets(sheets);
  EXPECT_NE(error.find("U+2603"), std::string::npos) << error;
  EXPECT_NE(error.find("\xE2\x98\x83"), std::string::npos) << error;
  EXPECT_NE(error.find("título"), std::string::npos) << error;
}

TEST(PdfSheets, LabelText) {
  EXPECT_EQ(SheetCardLabel(1, 0x4730F0CA), "Cartón 0001 · código 4730F0CA");
  EXPECT_EQ(SheetCardLabel(30000, 0x0000000F), "Cartón 30000 · código 0000000F");
}

namespace {
// zbarimg's Code 128 readings of a picture, one a line.
std::vector<std::string> BarcodesIn(const std::string& picture) {
  // zbar's complaints (no D-Bus here) go to its standard error, kept out of the readings.
  const Output out =
      Shell("(zbarimg --raw -q -Sdisable -Scode128.enable '" + picture + "' 2>/dev/null)");
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = out.text.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(out.text.substr(at, end - at));
  return lines;
}
}  // namespace

// Each card's barcode, read by zbar from the band beside its own label alone, at 300 and
// 600 dpi, gives exactly that card's code; a whole page gives its four codes and no more.
TEST(PdfSheets, EveryBarcodeReadsBackAsItsCardsCode) {
  if (Shell("command -v zbarimg").status != 0) GTEST_SKIP() << "zbarimg (zbar-tools) missing";
  Scratch scratch;
  const std::string pdf = scratch.path + "/cards.pdf";
  const std::vector<SheetCard> cards = RunCards(9, 0x2040E0);
  for (Paper paper : {Paper::kA4, Paper::kLetter}) {
    ASSERT_EQ(MakePdf(pdf, cards, paper, "Códigos"), "");
    const SheetLayout layout = LayoutSheets(paper);
    for (int dpi : {300, 600}) {
      const double px = dpi / 72.0;
      for (size_t i = 0; i < cards.size(); ++i) {
        const int page = static_cast<int>(i) / kCardsPerPage + 1;
        const SheetRect& card = layout.card[i % kCardsPerPage];
        const SheetRect& bars = layout.barcode[i % kCardsPerPage];
        const std::string crop = scratch.path + "/bars" + std::to_string(i);
        const Output out = Shell(
            "pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
            std::to_string(page) + " -x " + std::to_string(int(card.x * px)) + " -y " +
            std::to_string(int(card.bottom() * px)) + " -W " + std::to_string(int(card.width * px)) +
            " -H " + std::to_string(int((bars.bottom() - card.bottom() + 1) * px)) +
            " -singlefile -gray '" + pdf + "' '" + crop + "'");
        ASSERT_EQ(out.status, 0) << out.text;
        EXPECT_EQ(BarcodesIn(crop + ".pgm"), std::vector<std::string>{Hex(cards[i].seed_bits)})
            << "card " << i + 1 << " at " << dpi << " dpi";
      }
    }
    const Output whole = Shell("pdftoppm -r 300 -f 1 -l 1 -singlefile -gray '" + pdf + "' '" +
                               scratch.path + "/page'");
    ASSERT_EQ(whole.status, 0) << whole.text;
    std::vector<std::string> read = BarcodesIn(scratch.path + "/page.pgm");
    std::sort(read.begin(), read.end());
    std::vector<std::string> expected;
    for (int i = 0; i < kCardsPerPage; ++i) expected.push_back(Hex(cards[i].seed_bits));
    EXPECT_EQ(read, expected);
  }
}

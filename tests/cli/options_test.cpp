// The option parser of tessarine-cards: each value's reading, the messages that name
// what is wrong, and a random search for times read more loosely than documented.
#include <gtest/gtest.h>

#include "tests/support/took.h"

#include <random>
#include <string>
#include <vector>

#include "cli/options.h"
#include "files/card_files.h"

namespace {
struct Parsed {
  bool ok;
  CliOptions options;
  std::string error;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "tessarine-cards");
  Parsed parsed;
  CliParse read = ParseCliOptions(static_cast<int>(args.size()), args.data());
  parsed.ok = read.error.empty();
  parsed.options = read.options;
  parsed.error = read.error;
  return parsed;
}
}  // namespace

TEST(CliTime, WellFormedReadingsCoverTheDay) {
  uint32_t ms = 1;
  std::string error;
  ASSERT_TRUE(Took(ParseClockTime("00:00:00.000"), &ClockTimeRead::milliseconds, &ms, &error));
  EXPECT_EQ(ms, 0u);
  ASSERT_TRUE(Took(ParseClockTime("12:34:56.789"), &ClockTimeRead::milliseconds, &ms, &error));
  EXPECT_EQ(ms, 45296789u);
  ASSERT_TRUE(Took(ParseClockTime("23:59:59.999"), &ClockTimeRead::milliseconds, &ms, &error));
  EXPECT_EQ(ms, 86399999u);
}

TEST(CliTime, BadReadingsNameWhatIsWrong) {
  struct Case {
    const char* text;
    const char* says;
  } cases[] = {
      {"24:00:00.000", "las horas van de 00 a 23"},
      {"12:60:00.000", "los minutos van de 00 a 59"},
      {"12:00:60.000", "los segundos van de 00 a 59"},
      {"12:00:00.1000", "los milisegundos van de 000 a 999"},
      {"12:00:00.000x", "sobran caracteres"},
      {"12:00:00.000 ", "sobran caracteres"},
      {"12:00:00", "mal escrita"},
      {"12:00:00.5", "mal escrita"},
      {"1:00:00.000", "mal escrita"},
      {"12-00-00.000", "mal escrita"},
      {"ab:cd:ef.ghi", "mal escrita"},
      {"", "vacía"},
      {"99999999999999999999:00:00.000", "mal escrita"},
      {"12:34:56.00000000000000009", "mal escrita"},
      {"12:34:56.0001", "con tres cifras"},
      {"12:34:56.7890", "con tres cifras"},
      {"012:34:56.789", "mal escrita"},
      {"12:034:56.789", "mal escrita"},
      {"12:34:056.789", "mal escrita"},
      {"12:34:56.78", "mal escrita"},
      {"12:34:56.", "mal escrita"},
      {"12:34:56:789", "mal escrita"},
      {" 12:34:56.789", "mal escrita"},
      {"+2:34:56.789", "mal escrita"},
      {"12:34:56.789\n", "sobran caracteres"},
  };
  for (const Case& c : cases) {
    uint32_t ms = 0;
    std::string error;
    EXPECT_FALSE(Took(ParseClockTime(c.text), &ClockTimeRead::milliseconds, &ms, &error)) << c.text;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.text << " -> " << error;
  }
}

// The documented shape, checked position by position, as a reference for the parser:
// the milliseconds since midnight, or -1 for a text that is not a time.
int64_t ReferenceClock(const std::string& text) {
  const char* const shape = "dd:dd:dd.ddd";
  if (text.size() != 12) return -1;
  for (size_t i = 0; i < 12; ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == 'd' ? !digit : text[i] != shape[i]) return -1;
  }
  auto number = [&text](size_t at, size_t width) {
    int64_t value = 0;
    for (size_t i = at; i < at + width; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const int64_t h = number(0, 2), m = number(3, 2), s = number(6, 2), ms = number(9, 3);
  if (h > 23 || m > 59 || s > 59) return -1;
  return ((h * 60 + m) * 60 + s) * 1000 + ms;
}

// Random texts near the shape of a time: a well-formed one with characters changed,
// added, doubled or removed, or a jumble of digits and separators.
std::string NearlyATime(std::mt19937& random) {
  const char alphabet[] = "0123456789:.0123456789 x-";
  auto pick = [&random](size_t count) {
    return static_cast<size_t>(std::uniform_int_distribution<size_t>(0, count - 1)(random));
  };
  std::string text;
  if (pick(4) == 0) {
    const size_t length = pick(20);
    for (size_t i = 0; i < length; ++i) text += alphabet[pick(sizeof alphabet - 1)];
    return text;
  }
  char start[16];
  std::snprintf(start, sizeof start, "%02zu:%02zu:%02zu.%03zu", pick(30), pick(70), pick(70),
                pick(1000));
  text = start;
  const size_t edits = pick(4);
  for (size_t e = 0; e < edits; ++e) {
    const size_t at = text.empty() ? 0 : pick(text.size() + 1);
    switch (pick(4)) {
      case 0:
        if (at < text.size()) text[at] = alphabet[pick(sizeof alphabet - 1)];
        break;
      case 1:
        text.insert(at, 1, alphabet[pick(sizeof alphabet - 1)]);
        break;
      case 2:
        if (at < text.size()) text.erase(at, 1);
        break;
      default:
        text.insert(at, std::string(pick(20), '0'));  // padding with zeros
        break;
    }
  }
  return text;
}

TEST(CliTime, AgreesWithTheDocumentedShapeOnRandomTexts) {
  std::mt19937 random(20240611);  // fixed, so that a failure can be repeated
  int accepted = 0, refused = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string text = NearlyATime(random);
    const int64_t expected = ReferenceClock(text);
    uint32_t ms = 0;
    std::string error;
    const bool ok = Took(ParseClockTime(text), &ClockTimeRead::milliseconds, &ms, &error);
    ASSERT_EQ(ok, expected >= 0) << '"' << text << "\" -> " << error;
    if (ok) {
      ASSERT_EQ(int64_t{ms}, expected) << text;
      ++accepted;
    } else {
      ASSERT_FALSE(error.empty()) << text;
      ++refused;
    }
    // The whole command line takes it or refuses it the same way.
    std::vector<const char*> args = {"tessarine-cards", "--time", text.c_str()};
    const CliParse line = ParseCliOptions(3, args.data());
    const CliOptions& options = line.options;
    ASSERT_EQ(line.error.empty(), expected >= 0) << text;
    if (expected >= 0) {
      ASSERT_EQ(int64_t{options.run.start.time_ms}, expected) << text;
    }
  }
  // Both outcomes were tried often enough for the agreement to mean something.
  EXPECT_GT(accepted, 1000);
  EXPECT_GT(refused, 1000);
}

TEST(CliColour, HexRedGreenBlueBecomesAColourValue) {
  Colour colour = 0;
  std::string error;
  ASSERT_TRUE(Took(ParseColour("FF0000"), &ColourRead::colour, &colour, &error));
  EXPECT_EQ(colour, 0x0000FF);  // red sits in the low byte of a colour value
  ASSERT_TRUE(Took(ParseColour("3366cc"), &ColourRead::colour, &colour, &error));
  EXPECT_EQ(colour, 0xCC6633);
  for (const char* bad : {"", "FFF", "GG0000", "#FF0000", "FF00000", "0xFF00"}) {
    EXPECT_FALSE(Took(ParseColour(bad), &ColourRead::colour, &colour, &error)) << bad;
    EXPECT_NE(error.find("RRGGBB"), std::string::npos);
  }
}

TEST(CliCount, OneToThirtyThousand) {
  int32_t count = 0;
  std::string error;
  ASSERT_TRUE(Took(ParseCount("1"), &CountRead::count, &count, &error));
  EXPECT_EQ(count, 1);
  ASSERT_TRUE(Took(ParseCount("30000"), &CountRead::count, &count, &error));
  EXPECT_EQ(count, 30000);
  ASSERT_TRUE(Took(ParseCount("030000"), &CountRead::count, &count, &error));
  EXPECT_EQ(count, 30000);
  ASSERT_TRUE(Took(ParseCount(std::string(40, '0') + "7"), &CountRead::count, &count, &error));
  EXPECT_EQ(count, 7);
  for (const char* bad : {"0", "0000", "", "30001", "99999", "99999999999999999999",
                          "4294967297", "-5", "+5", "5.0", " 5", "5 ", "x", "\xC2\xB2"}) {
    EXPECT_FALSE(Took(ParseCount(bad), &CountRead::count, &count, &error)) << bad;
    EXPECT_NE(error.find("30000"), std::string::npos) << error;
  }
}

// --count reads digits as the dialog reads its answer; only what 0 means differs.
TEST(CliCount, ReadsAsTheDialogDoesButRefusesNoCards) {
  for (const char* text : {"1", "25", "030000", "30000", "30001", "000", "12a", "-1", "65536",
                           "0030001", "99999999999"}) {
    const BatchAnswer dialog = CheckBatchAnswer(text);
    int32_t count = -1;
    std::string error;
    const bool ok = Took(ParseCount(text), &CountRead::count, &count, &error);
    EXPECT_EQ(ok, dialog.kind == BatchAnswerKind::kCount && dialog.count > 0) << text;
    if (ok) {
      EXPECT_EQ(count, dialog.count) << text;
    }
  }
}

TEST(CliOptions, DefaultsAndValues) {
  Parsed p = Parse({});
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.options.run.count, 1);
  EXPECT_EQ(p.options.run.out, "muchas");
  EXPECT_EQ(p.options.run.colour, 0xC0C0C0);
  EXPECT_FALSE(p.options.run.start.has_time);

  p = Parse({"--count", "12", "--out", "x/y", "--colour", "102030", "--time", "01:02:03.004"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.run.count, 12);
  EXPECT_EQ(p.options.run.out, "x/y");
  EXPECT_EQ(p.options.run.colour, 0x302010);
  EXPECT_TRUE(p.options.run.start.has_time);
  EXPECT_EQ(p.options.run.start.time_ms, 3723004u);
}

TEST(CliOptions, RefusedLines) {
  struct Case {
    std::vector<const char*> args;
    const char* says;
  } cases[] = {
      {{"--frobnicate"}, "opción desconocida"},
      {{"layout"}, "opción desconocida"},
      {{"--time"}, "falta el valor de --time"},
      {{"--count"}, "falta el valor de --count"},
      {{"--out", ""}, "vacío"},
      {{"--time", ""}, "vacío"},
      {{"--count", "0"}, "fuera de rango"},
      {{"--layout", "--count", "2"}, "--layout"},
      {{"--layout", "--time", "24:00:00.000"}, "--time"},
  };
  for (const Case& c : cases) {
    Parsed p = Parse(c.args);
    EXPECT_FALSE(p.ok) << c.args[0];
    EXPECT_NE(p.error.find(c.says), std::string::npos) << c.args[0] << " -> " << p.error;
  }
}

TEST(CliOptions, TheNewOptionsAndTheirValues) {
  Parsed p = Parse({"--code", "4730f0ca", "--png", "--list", "l.csv", "--pdf", "s.pdf",
                    "--paper", "LETTER", "--title", "Sábado"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_TRUE(p.options.run.start.has_code);
  EXPECT_EQ(p.options.run.start.code_bits, 0x4730F0CAu);
  EXPECT_TRUE(p.options.run.png);
  EXPECT_EQ(p.options.run.list, "l.csv");
  EXPECT_EQ(p.options.run.pdf, "s.pdf");
  EXPECT_EQ(p.options.run.paper, Paper::kLetter);
  EXPECT_EQ(p.options.run.title, "Sábado");

  p = Parse({"--check", "hall.csv", "--called", "7, 12 33"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_TRUE(p.options.check);
  EXPECT_EQ(p.options.check_list, "hall.csv");
  EXPECT_EQ(p.options.called, "7, 12 33");
  // With no list, --check takes the card of --code.
  p = Parse({"--check", "--code", "4730F0CA", "--called-file", "f.txt"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_TRUE(p.options.check_list.empty());
  EXPECT_EQ(p.options.called_file, "f.txt");
  // --no-files with only a list, and the default paper.
  p = Parse({"--no-files", "--list", "l.csv", "--count", "3"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_TRUE(p.options.run.no_files);
  EXPECT_EQ(p.options.run.paper, Paper::kA4);
}

TEST(CliOptions, TitlesAreCheckedText) {
  std::string error;
  EXPECT_TRUE((error = CheckTitle("Noche de bingo — sábado")).empty());
  EXPECT_TRUE((error = CheckTitle(std::string(kMostTitleCharacters, 'x'))).empty());
  // Characters are counted, not bytes.
  std::string accented;
  for (size_t i = 0; i < kMostTitleCharacters; ++i) accented += "á";
  EXPECT_TRUE((error = CheckTitle(accented)).empty()) << error;
  EXPECT_FALSE((error = CheckTitle(accented + "a")).empty());
  EXPECT_NE(error.find("demasiado largo"), std::string::npos);
  EXPECT_FALSE((error = CheckTitle("a\nb")).empty());
  // C1 controls (U+0085 ends a line, U+009B starts an escape) and the separators.
  for (const char* bad : {"a\xC2\x85" "b", "a\xC2\x9B" "2J", "a\xC2\x80", "a\xC2\x9F",
                          "a\xE2\x80\xA8" "b", "a\xE2\x80\xA9" "b", "a\x7F"}) {
    EXPECT_FALSE((error = CheckTitle(bad)).empty()) << bad;
    EXPECT_NE(error.find("caracteres de control"), std::string::npos) << error;
  }
  // Their neighbours are text.
  EXPECT_TRUE((error = CheckTitle("a\xC2\xA0" "b\xE2\x80\xA7" "c\xE2\x80\xAF" "d")).empty()) << error;
  EXPECT_FALSE((error = CheckTitle("\xC3")).empty());
  EXPECT_NE(error.find("UTF-8"), std::string::npos);
  EXPECT_TRUE((error = CheckTitle("\xEF\xBF\xBD")).empty()) << "a replacement character written as such";
}

TEST(CliOptions, TheValueOfANewOptionIsCheckedFirst) {
  Parsed p = Parse({"--code", "XYZ", "--time", "12:00:00.000"});
  EXPECT_FALSE(p.ok);
  EXPECT_NE(p.error.find("--code: "), std::string::npos) << p.error;
  p = Parse({"--list"});
  EXPECT_NE(p.error.find("falta el valor de --list"), std::string::npos) << p.error;
  p = Parse({"--check", ""});
  EXPECT_NE(p.error.find("vacío"), std::string::npos) << p.error;
  p = Parse({"--pdf", "s.pdf", "--paper", "A5"});
  EXPECT_NE(p.error.find("--paper: "), std::string::npos) << p.error;
}

TEST(CliOptions, ForecastTakesAListAndTheCardsInPlayOnly) {
  const Parsed all = Parse({"--forecast", "noche.csv"});
  ASSERT_TRUE(all.ok) << all.error;
  EXPECT_EQ(all.options.forecast_list, "noche.csv");
  EXPECT_EQ(all.options.in_play, "");
  const Parsed some = Parse({"--in-play", "1-250, 300-320", "--forecast", "noche.csv"});
  ASSERT_TRUE(some.ok) << some.error;
  EXPECT_EQ(some.options.in_play, "1-250, 300-320");
  EXPECT_EQ(Parse({"--forecast"}).error, "falta el valor de --forecast");
  EXPECT_EQ(Parse({"--forecast", ""}).error, "el valor de --forecast está vacío");
  EXPECT_EQ(Parse({"--forecast", "a.csv", "--check", "b.csv", "--called", "7"}).error,
            "--forecast simula partidas con una lista: no admite --check ni --called");
  EXPECT_EQ(Parse({"--in-play", "1-3"}).error, "--in-play solo vale con --forecast");
  EXPECT_EQ(Parse({"--check", "b.csv", "--called", "7", "--in-play", "1"}).error,
            "--in-play solo vale con --forecast");
}

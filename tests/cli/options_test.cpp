#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/options.h"

namespace {
struct Parsed {
  bool ok;
  CliOptions options;
  std::string error;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "tessarine-cards");
  Parsed parsed;
  parsed.ok = ParseCliOptions(static_cast<int>(args.size()), args.data(), &parsed.options,
                              &parsed.error);
  return parsed;
}
}  // namespace

TEST(CliTime, WellFormedReadingsCoverTheDay) {
  uint32_t ms = 1;
  std::string error;
  ASSERT_TRUE(ParseClockTime("00:00:00.000", &ms, &error));
  EXPECT_EQ(ms, 0u);
  ASSERT_TRUE(ParseClockTime("12:34:56.789", &ms, &error));
  EXPECT_EQ(ms, 45296789u);
  ASSERT_TRUE(ParseClockTime("23:59:59.999", &ms, &error));
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
  };
  for (const Case& c : cases) {
    uint32_t ms = 0;
    std::string error;
    EXPECT_FALSE(ParseClockTime(c.text, &ms, &error)) << c.text;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.text << " -> " << error;
  }
}

TEST(CliColour, HexRedGreenBlueBecomesAColourValue) {
  Colour colour = 0;
  std::string error;
  ASSERT_TRUE(ParseColour("FF0000", &colour, &error));
  EXPECT_EQ(colour, 0x0000FF);  // red sits in the low byte of a colour value
  ASSERT_TRUE(ParseColour("3366cc", &colour, &error));
  EXPECT_EQ(colour, 0xCC6633);
  for (const char* bad : {"", "FFF", "GG0000", "#FF0000", "FF00000", "0xFF00"}) {
    EXPECT_FALSE(ParseColour(bad, &colour, &error)) << bad;
    EXPECT_NE(error.find("RRGGBB"), std::string::npos);
  }
}

TEST(CliCount, OneToThirtyThousand) {
  int32_t count = 0;
  std::string error;
  ASSERT_TRUE(ParseCount("1", &count, &error));
  EXPECT_EQ(count, 1);
  ASSERT_TRUE(ParseCount("30000", &count, &error));
  EXPECT_EQ(count, 30000);
  ASSERT_TRUE(ParseCount("030000", &count, &error));
  EXPECT_EQ(count, 30000);
  for (const char* bad : {"0", "30001", "99999999999999999999", "-5", "+5", "5.0", " 5", "x"}) {
    EXPECT_FALSE(ParseCount(bad, &count, &error)) << bad;
    EXPECT_NE(error.find("30000"), std::string::npos) << error;
  }
}

TEST(CliOptions, DefaultsAndValues) {
  Parsed p = Parse({});
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.options.count, 1);
  EXPECT_EQ(p.options.out, "muchas");
  EXPECT_EQ(p.options.colour, 0xC0C0C0);
  EXPECT_FALSE(p.options.has_time);

  p = Parse({"--count", "12", "--out", "x/y", "--colour", "102030", "--time", "01:02:03.004"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.count, 12);
  EXPECT_EQ(p.options.out, "x/y");
  EXPECT_EQ(p.options.colour, 0x302010);
  EXPECT_TRUE(p.options.has_time);
  EXPECT_EQ(p.options.time_ms, 3723004u);
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

#include <gtest/gtest.h>

#include "tests/support/took.h"

#include <cstdio>
#include <random>

#include "card/card_code.h"
#include "card/layout.h"
#include "card/random.h"

namespace {
std::string PrintedCode(uint32_t bits) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(bits));
  return text;
}
}  // namespace

TEST(CardCode, IsTheSeedBitsAsEightUpperCaseHexDigits) {
  // The card of 12:34:56.789 is seeded with 0x4730F0CA.
  EXPECT_EQ(CardCode(SeedBitsOfClock(45296789)), "4730F0CA");
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t bits = random();
    ASSERT_EQ(CardCode(bits), PrintedCode(bits));
  }
  for (uint32_t bits : {0u, 1u, 0xFu, 0x10u, 0xFFFFFFFFu, 0x80000000u})
    EXPECT_EQ(CardCode(bits), PrintedCode(bits));
}

TEST(CardCode, ParsesBackWhatItWritesInEitherCase) {
  std::mt19937 random(11);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t bits = random();
    uint32_t read = ~bits;
    std::string error;
    ASSERT_TRUE(Took(ParseCardCode(CardCode(bits)), &CardCodeRead::seed_bits, &read, &error)) << error;
    ASSERT_EQ(read, bits);
    std::string lower = CardCode(bits);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    read = ~bits;
    ASSERT_TRUE(Took(ParseCardCode(lower), &CardCodeRead::seed_bits, &read, &error)) << lower;
    ASSERT_EQ(read, bits);
  }
  uint32_t read = 0;
  std::string error;
  ASSERT_TRUE(Took(ParseCardCode("4730f0Ca"), &CardCodeRead::seed_bits, &read, &error));
  EXPECT_EQ(read, 0x4730F0CAu);
}

TEST(CardCode, RefusesAnythingButExactlyEightHexDigits) {
  for (const char* bad : {"", "4730F0C", "4730F0CA0", "4730F0CG", " 4730F0CA", "4730F0CA ",
                          "0x4730F0", "+730F0CA", "-730F0CA", "4730 0CA", "4730F0C\n",
                          "\xC3\xA1" "4730F0C", "12:34:56"}) {
    uint32_t read = 0x12345678;
    std::string error;
    EXPECT_FALSE(Took(ParseCardCode(bad), &CardCodeRead::seed_bits, &read, &error)) << "\"" << bad << "\"";
    EXPECT_EQ(read, 0x12345678u) << "\"" << bad << "\"";
    // The text is named; a line break in it is shown escaped, not carried to the terminal.
    const std::string shown = std::string(bad) == "4730F0C\n" ? "4730F0C\\x0a" : bad;
    EXPECT_NE(error.find("\"" + shown + "\""), std::string::npos) << error;
    EXPECT_NE(error.find("código"), std::string::npos) << error;
  }
  // A NUL inside the text is not the end of it.
  uint32_t read = 0;
  std::string error;
  EXPECT_FALSE(Took(ParseCardCode(std::string("4730F0C\0", 8)), &CardCodeRead::seed_bits, &read, &error));
  EXPECT_NE(error.find("\"4730F0C\\x00\""), std::string::npos) << error;
}

TEST(LayoutRowText, NineFieldsOfTwoDigitsOrDashes) {
  for (uint32_t ms = 0; ms < kMillisecondsPerDay; ms += 86399) {
    const CardLayout layout = PlanCard(SeedBitsOfClock(ms));
    for (int row = 0; row < kCardRows; ++row) {
      std::string expected;
      for (int column = 0; column < kCardColumns; ++column) {
        char field[8];
        const int n = layout.cell[row][column];
        if (n == 0)
          std::snprintf(field, sizeof field, "--");
        else
          std::snprintf(field, sizeof field, "%02d", n);
        expected += (column ? " " : "") + std::string(field);
      }
      ASSERT_EQ(LayoutRowText(layout, row), expected) << ms << " row " << row;
      ASSERT_EQ(expected.size(), 26u);
    }
  }
}

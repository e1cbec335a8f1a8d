#include <gtest/gtest.h>

#include <string>

#include "text/quoted_text.h"

namespace {
// No byte of the text could act on a terminal: nothing below 0x20, no DEL, and no C1
// character (UTF-8 C2 80 to C2 9F).
bool Inert(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F) return false;
    if (byte == 0xC2 && i + 1 < text.size() &&
        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 1]) <= 0x9F)
      return false;
  }
  return true;
}
}  // namespace

TEST(QuotedText, PlainTextIsShownAsItIs) {
  EXPECT_EQ(EscapedText("0001.bmp"), "0001.bmp");
  EXPECT_EQ(EscapedText("Noche de bingo — sábado ✓"), "Noche de bingo — sábado ✓");
  EXPECT_EQ(QuotedText("08 65 -- 30"), "\"08 65 -- 30\"");
  EXPECT_EQ(EscapedText(""), "");
  EXPECT_EQ(QuotedText(""), "\"\"");
}

TEST(QuotedText, ControlCharactersAreEscaped) {
  EXPECT_EQ(EscapedText("a\nb"), "a\\x0ab");
  EXPECT_EQ(EscapedText("\x1b]0;owned\x07"), "\\x1b]0;owned\\x07");
  EXPECT_EQ(EscapedText("x\ry"), "x\\x0dy");
  EXPECT_EQ(EscapedText("\t\x7f"), "\\x09\\x7f");
  EXPECT_EQ(EscapedText(std::string("a\0b", 3)), "a\\x00b");
  // C1 (NEL and CSI), the line and paragraph separators.
  EXPECT_EQ(EscapedText("a\xC2\x85" "b\xC2\x9B" "c"), "a\\u0085b\\u009bc");
  EXPECT_EQ(EscapedText("\xE2\x80\xA8\xE2\x80\xA9"), "\\u2028\\u2029");
  // Marks that would show the line's characters in another order.
  EXPECT_EQ(EscapedText("\xE2\x80\xAE" "abc\xE2\x81\xA6"), "\\u202eabc\\u2066");
}

TEST(QuotedText, InvalidUtf8IsEscapedByteByByte) {
  EXPECT_EQ(EscapedText("a\xC3"), "a\\xc3");
  EXPECT_EQ(EscapedText("\xFF\xFE"), "\\xff\\xfe");
  EXPECT_EQ(EscapedText("\xC0\xAF"), "\\xc0\\xaf") << "an overlong slash is no slash";
  EXPECT_EQ(EscapedText("\xED\xA0\x80"), "\\xed\\xa0\\x80") << "a lone surrogate";
  EXPECT_EQ(EscapedText("\xEF\xBF\xBD"), "\xEF\xBF\xBD") << "a replacement character as such";
}

TEST(QuotedText, AnEscapeCannotBeSpelledByTheInput) {
  EXPECT_EQ(EscapedText("\\x1b"), "\\\\x1b");
  EXPECT_NE(EscapedText("\\x1b"), EscapedText("\x1b"));
  EXPECT_EQ(QuotedText("say \"hi\""), "\"say \\\"hi\\\"\"");
}

TEST(QuotedText, LongTextIsCutOnACharacterBoundary) {
  EXPECT_EQ(QuotedText("abcdef", 4), "\"abcd…\"");
  EXPECT_EQ(QuotedText("abcd", 4), "\"abcd\"");
  // "á" is two bytes: a cut inside it falls before it.
  EXPECT_EQ(QuotedText("abcáx", 4), "\"abc…\"");
  // Stray continuation bytes are cut where they fall, never emptied away.
  EXPECT_EQ(QuotedText(std::string(10, '\x80'), 4), "\"\\x80…\"");
}

TEST(QuotedText, NoByteOfAHostileTextReachesTheTerminal) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  const std::string shown = EscapedText(every_byte + "\xC2\x9B" "\xC2\x85");
  EXPECT_TRUE(Inert(shown)) << shown;
  EXPECT_TRUE(Inert(QuotedText(every_byte, 300)));
  for (size_t cut = 0; cut < 12; ++cut) EXPECT_TRUE(Inert(QuotedText("\xC2\x9B\xC2\x9B\x1b", cut)));
}

TEST(QuotedText, ControlAndDirectionPredicates) {
  for (uint32_t c : {0x00u, 0x0Au, 0x1Fu, 0x7Fu, 0x80u, 0x85u, 0x9Bu, 0x9Fu, 0x2028u, 0x2029u})
    EXPECT_TRUE(IsControlCharacter(c)) << std::hex << c;
  for (uint32_t c : {0x20u, 0x7Eu, 0xA0u, 0xE1u, 0x2027u, 0x202Au, 0xFFFDu})
    EXPECT_FALSE(IsControlCharacter(c)) << std::hex << c;
  for (uint32_t c : {0x061Cu, 0x200Eu, 0x200Fu, 0x202Au, 0x202Eu, 0x2066u, 0x2069u})
    EXPECT_TRUE(IsDirectionMark(c)) << std::hex << c;
  for (uint32_t c : {0x200Du, 0x202Fu, 0x2065u, 0x206Au, 0x41u})
    EXPECT_FALSE(IsDirectionMark(c)) << std::hex << c;
}

#include <gtest/gtest.h>

#include <string>

#include "text/csv.h"
#include "text/hex.h"
#include "text/json.h"
#include "text/path.h"
#include "text/trim.h"

namespace {
TEST(TextTest, TrimmedTakesBlanksOffBothEndsOnly) {
  EXPECT_EQ(Trimmed(" \t 0047\r\n"), "0047");
  EXPECT_EQ(Trimmed("12 34"), "12 34");
  EXPECT_EQ(Trimmed(" \r\n\t"), "");
  EXPECT_EQ(Trimmed(""), "");
}

TEST(TextTest, HexDigitsReadEitherCaseAndWriteUpper) {
  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('a'), 10);
  EXPECT_EQ(HexDigitValue('F'), 15);
  EXPECT_EQ(HexDigitValue('g'), -1);
  EXPECT_EQ(HexDigitValue('/'), -1);
  EXPECT_FALSE(IsHexDigit(' '));
  EXPECT_EQ(HexDigits(0x4730F0CA, 8), "4730F0CA");
  EXPECT_EQ(HexDigits(0x4A, 4), "004A");
  EXPECT_EQ(HexDigits(0x1234, 2), "34");
}

TEST(TextTest, JoinedPathAddsOneSeparatorOnlyWhereNoneEnds) {
  EXPECT_EQ(JoinedPath("muchas", "0001.bmp", "/"), "muchas/0001.bmp");
  EXPECT_EQ(JoinedPath("muchas/", "0001.bmp", "/"), "muchas/0001.bmp");
  EXPECT_EQ(JoinedPath("", "0001.bmp", "/"), "0001.bmp");
  EXPECT_EQ(JoinedPath("C:\\cartones", "0001.bmp", "\\/"), "C:\\cartones\\0001.bmp");
  EXPECT_EQ(JoinedPath("C:/cartones/", "0001.bmp", "\\/"), "C:/cartones/0001.bmp");
  // On POSIX a backslash is a name's character, not a separator.
  EXPECT_EQ(JoinedPath("odd\\", "0001.bmp", "/"), "odd\\/0001.bmp");
}

TEST(TextTest, CsvFieldsQuoteOnlyWhatNeedsIt) {
  EXPECT_EQ(CsvField("0001.bmp"), "0001.bmp");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("dijo \"sí\""), "\"dijo \"\"sí\"\"\"");
  EXPECT_EQ(CsvField("dos\r\nlíneas"), "\"dos\r\nlíneas\"");
}

TEST(TextTest, CsvRecordsReadBackWhatFieldsWrite) {
  const std::string bytes = CsvField("a,b") + "," + CsvField("x\"y") + ",\r\n" +
                            CsvField("uno\ndos") + "\nfin";
  CsvReader reader{bytes};
  CsvRecord first = ReadCsvRecord(&reader);
  ASSERT_EQ(first.error, "");
  EXPECT_EQ(first.fields, (std::vector<std::string>{"a,b", "x\"y", ""}));
  EXPECT_EQ(reader.line, 2);
  CsvRecord second = ReadCsvRecord(&reader);
  ASSERT_EQ(second.error, "");
  EXPECT_EQ(second.fields, std::vector<std::string>{"uno\ndos"});
  EXPECT_EQ(reader.line, 4);
  EXPECT_EQ(ReadCsvRecord(&reader).fields, std::vector<std::string>{"fin"});
  EXPECT_EQ(reader.at, bytes.size());
}

TEST(TextTest, CsvFaultsNameTheirLine) {
  const std::string open = "a\n\"sin\ncerrar";
  CsvReader at_open{open};
  ReadCsvRecord(&at_open);
  EXPECT_EQ(ReadCsvRecord(&at_open).error, "línea 2: unas comillas abiertas no se cierran");
  const std::string trailing = "\"a\"b";
  CsvReader at_trailing{trailing};
  EXPECT_EQ(ReadCsvRecord(&at_trailing).error,
            "línea 1: sobran caracteres tras las comillas de un campo");
  const std::string inside = "a\"b";
  CsvReader at_inside{inside};
  EXPECT_EQ(ReadCsvRecord(&at_inside).error,
            "línea 1: comillas dentro de un campo que no empieza con comillas");
}
}  // namespace

TEST(TextTest, JsonStringsEscapeWhatCouldEndThemOrAScript) {
  EXPECT_EQ(JsonString("Línea: cartón 0123"), "\"Línea: cartón 0123\"");
  EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonString(std::string("\n\x01\x7f", 3)), "\"\\u000A\\u0001\\u007F\"");
  EXPECT_EQ(JsonString("</script>"), "\"\\u003C/script>\"");
}

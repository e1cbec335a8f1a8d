// Code 128 symbols read back two ways: by a decoder written here from the symbol table
// as printed in the barcode's standard (bars as 1, spaces as 0), and by zbar from a
// picture of the bars.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "formats/code128.h"

namespace {
// Values 0..105 and the stop pattern, 11 and 13 modules.
const char* const kTable[107] = {
    "11011001100", "11001101100", "11001100110", "10010011000", "10010001100", "10001001100",
    "10011001000", "10011000100", "10001100100", "11001001000", "11001000100", "11000100100",
    "10110011100", "10011011100", "10011001110", "10111001100", "10011101100", "10011100110",
    "11001110010", "11001011100", "11001001110", "11011100100", "11001110100", "11101101110",
    "11101001100", "11100101100", "11100100110", "11101100100", "11100110100", "11100110010",
    "11011011000", "11011000110", "11000110110", "10100011000", "10001011000", "10001000110",
    "10110001000", "10001101000", "10001100010", "11010001000", "11000101000", "11000100010",
    "10110111000", "10110001110", "10001101110", "10111011000", "10111000110", "10001110110",
    "11101110110", "11010001110", "11000101110", "11011101000", "11011100010", "11011101110",
    "11101011000", "11101000110", "11100010110", "11101101000", "11101100010", "11100011010",
    "11101111010", "11001000010", "11110001010", "10100110000", "10100001100", "10010110000",
    "10010000110", "10000101100", "10000100110", "10110010000", "10110000100", "10011010000",
    "10011000010", "10000110100", "10000110010", "11000010010", "11001010000", "11110111010",
    "11000010100", "10001111010", "10100111100", "10010111100", "10010011110", "10111100100",
    "10011110100", "10011110010", "11110100100", "11110010100", "11110010010", "11011011110",
    "11011110110", "11110110110", "10101111000", "10100011110", "10001011110", "10111101000",
    "10111100010", "11110101000", "11110100010", "10111011110", "10111101110", "11101011110",
    "11110101110", "11010000100", "11010010000", "11010011100", "1100011101011"};
constexpr int kStop = 106;

struct Decoded {
  std::string text;
  std::string error;
  size_t data_symbols = 0;  // between the start code and the check symbol, switches included
};

// The widths as a row of modules, 1 for bar and 0 for space, checking each width.
std::string Modules(const std::vector<uint8_t>& widths, std::string* error) {
  std::string modules;
  for (size_t i = 0; i < widths.size(); ++i) {
    if (widths[i] < 1 || widths[i] > 4) *error = "width out of 1..4 at " + std::to_string(i);
    modules.append(widths[i], i % 2 == 0 ? '1' : '0');
  }
  return modules;
}

int Lookup(const std::string& pattern) {
  for (int value = 0; value < kStop; ++value)
    if (pattern == kTable[value]) return value;
  return -1;
}

// Values from the modules: 11 a symbol, then the 13-module stop pattern at the very end.
std::vector<int> Values(const std::string& modules, std::string* error) {
  std::vector<int> values;
  const size_t stop_length = std::string(kTable[kStop]).size();
  if (modules.size() < stop_length || (modules.size() - stop_length) % 11 != 0) {
    *error = "length " + std::to_string(modules.size()) + " is not 11 n + 13";
    return values;
  }
  if (modules.substr(modules.size() - stop_length) != kTable[kStop]) *error = "no stop pattern";
  for (size_t at = 0; at + stop_length < modules.size(); at += 11) {
    const int value = Lookup(modules.substr(at, 11));
    if (value < 0) *error = "unknown symbol " + modules.substr(at, 11);
    values.push_back(value);
  }
  return values;
}

Decoded Decode(const std::vector<uint8_t>& widths) {
  Decoded d;
  const std::vector<int> values = Values(Modules(widths, &d.error), &d.error);
  if (!d.error.empty()) return d;
  if (values.size() < 2 || (values[0] != 104 && values[0] != 105)) {
    d.error = "no start code B or C";
    return d;
  }
  int sum = values[0];
  for (size_t i = 1; i + 1 < values.size(); ++i) sum += static_cast<int>(i) * values[i];
  if (sum % 103 != values.back()) d.error = "bad check symbol";
  bool set_c = values[0] == 105;
  for (size_t i = 1; i + 1 < values.size(); ++i) {
    const int v = values[i];
    if (set_c && v < 100) d.text += std::string{char('0' + v / 10), char('0' + v % 10)};
    else if (set_c && v == 100) set_c = false;
    else if (!set_c && v < 96) d.text += char(' ' + v);
    else if (!set_c && v == 99) set_c = true;
    else d.error = "symbol " + std::to_string(v) + " is not expected here";
  }
  d.data_symbols = values.size() - 2;
  return d;
}

// The fewest data symbols sets B and C can spell the text in, by trying every way.
size_t FewestSymbols(const std::string& text, size_t at, bool set_c) {
  if (at == text.size()) return 0;
  const bool pair = at + 1 < text.size() && isdigit(text[at]) && isdigit(text[at + 1]);
  if (set_c) {
    const size_t by_switching = 2 + FewestSymbols(text, at + 1, false);
    return pair ? std::min(1 + FewestSymbols(text, at + 2, true), by_switching) : by_switching;
  }
  const size_t by_staying = 1 + FewestSymbols(text, at + 1, false);
  return pair ? std::min(by_staying, 2 + FewestSymbols(text, at + 2, true)) : by_staying;
}

size_t FewestFromStart(const std::string& text) {
  return std::min(FewestSymbols(text, 0, false), FewestSymbols(text, 0, true));
}

std::string RandomCardCode(std::mt19937* random) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string code;
  for (int i = 0; i < 8; ++i) code += kHex[(*random)() % 16];
  return code;
}

std::string RandomPrintable(std::mt19937* random, size_t length) {
  std::string text;
  for (size_t i = 0; i < length; ++i) {
    // Digits half the time, so that set C has runs to take.
    text += (*random)() % 2 ? char('0' + (*random)() % 10) : char(' ' + (*random)() % 95);
  }
  return text;
}

void ExpectReadsBack(const std::string& text) {
  const Code128Encoding encoding = EncodeCode128(text);
  ASSERT_EQ(encoding.error, "") << text;
  const std::vector<uint8_t>& widths = encoding.symbol.module_widths;
  ASSERT_EQ(widths.size() % 2, 1u) << "ends on a bar";
  // Three bars and three spaces of 11 modules a symbol; the stop's four bars, 13 modules.
  ASSERT_EQ((widths.size() - 7) % 6, 0u) << text;
  for (size_t at = 0; at + 7 < widths.size(); at += 6)
    EXPECT_EQ(std::accumulate(widths.begin() + at, widths.begin() + at + 6, 0), 11) << text;
  EXPECT_EQ(std::accumulate(widths.end() - 7, widths.end(), 0), 13) << text;
  const Decoded d = Decode(widths);
  ASSERT_EQ(d.error, "") << text;
  EXPECT_EQ(d.text, text);
  EXPECT_EQ(d.data_symbols, FewestFromStart(text)) << text;
  int modules = 0;
  for (const uint8_t w : widths) modules += w;
  EXPECT_EQ(Code128TotalModules(encoding.symbol), modules + 20) << text;
}
}  // namespace

TEST(Code128, KnownCodesHaveTheirShortestSymbols) {
  // Counted by hand: "12345678" is four pairs in set C; "4730F0CA" is 47, 30 in set C,
  // a switch, then F 0 C A in set B; no digit pairs leave set B alone.
  const std::map<std::string, size_t> data_symbols = {
      {"12345678", 4}, {"4730F0CA", 7}, {"ABCDEF01", 8}, {"A1B2C3D4", 8},
      {"0000000A", 6}, {"A0000000", 6}, {"1", 1},        {"12", 1}, {"123", 3}};
  for (const auto& [text, expected] : data_symbols) {
    const Code128Encoding encoding = EncodeCode128(text);
    ASSERT_EQ(encoding.error, "");
    const Decoded d = Decode(encoding.symbol.module_widths);
    ASSERT_EQ(d.error, "") << text;
    EXPECT_EQ(d.text, text);
    EXPECT_EQ(d.data_symbols, expected) << text;
    // Start, data, check: 11 modules each; stop 13; quiet zones 10 a side.
    EXPECT_EQ(Code128TotalModules(encoding.symbol), int(11 * (expected + 2) + 13 + 20)) << text;
  }
}

TEST(Code128, StartsWithABarAndEndsWithTheStopsTwoModuleBar) {
  const Code128Encoding encoding = EncodeCode128("4730F0CA");
  const std::vector<uint8_t>& w = encoding.symbol.module_widths;
  ASSERT_GE(w.size(), 13u);
  // Start C: bar 2, space 1, bar 1, space 2, bar 3, space 2.
  EXPECT_EQ(std::vector<uint8_t>(w.begin(), w.begin() + 6), (std::vector<uint8_t>{2, 1, 1, 2, 3, 2}));
  EXPECT_EQ(std::vector<uint8_t>(w.end() - 7, w.end()), (std::vector<uint8_t>{2, 3, 3, 1, 1, 1, 2}));
}

TEST(Code128, RandomCardCodesAndPrintableTextsDecodeBack) {
  std::mt19937 random(17);
  for (int i = 0; i < 500; ++i) ExpectReadsBack(RandomCardCode(&random));
  for (int i = 0; i < 500; ++i) ExpectReadsBack(RandomPrintable(&random, 1 + random() % 14));
  std::string every;
  for (char c = ' '; c <= '~'; ++c) every += c;
  ExpectReadsBack(every);
}

TEST(Code128, RefusesEmptyTextAndCharactersOutsidePrintableAscii) {
  EXPECT_NE(EncodeCode128("").error, "");
  for (const std::string& bad : {std::string("AB\nC"), std::string("\x7F"), std::string("a\tb"),
                                std::string("\xC3\xB1"), std::string("12\0" "34", 5)}) {
    const Code128Encoding encoding = EncodeCode128(bad);
    EXPECT_NE(encoding.error, "") << bad;
    EXPECT_TRUE(encoding.symbol.module_widths.empty());
  }
}

// ---- Read by zbar from pictures of the bars.
namespace {
bool HaveZbarimg() { return std::system("command -v zbarimg >/dev/null 2>&1") == 0; }

// A grey map (PGM) of the symbol with its quiet zones, `scale` pixels a module.
void WritePicture(const Code128Symbol& symbol, int scale, const std::string& path) {
  const int width = Code128TotalModules(symbol) * scale;
  const int height = 40 * scale;
  std::string row(width, '\xFF');
  int x = kCode128QuietZoneModules * scale;
  for (size_t i = 0; i < symbol.module_widths.size(); ++i) {
    const int w = symbol.module_widths[i] * scale;
    if (i % 2 == 0) row.replace(x, w, w, '\0');
    x += w;
  }
  std::ofstream out(path, std::ios::binary);
  out << "P5\n" << width << " " << height << "\n255\n";
  for (int y = 0; y < height; ++y) out << row;
}

// zbarimg's lines for the pictures, in their order.
std::vector<std::string> ZbarRead(const std::vector<std::string>& paths) {
  std::string command = "zbarimg --raw -q";
  for (const std::string& path : paths) command += " '" + path + "'";
  command += " 2>/dev/null";  // zbar's complaints about a missing D-Bus
  std::vector<std::string> lines;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return lines;
  std::string line;
  for (int c; (c = std::fgetc(pipe)) != EOF;) {
    if (c == '\n') lines.push_back(line), line.clear();
    else line += static_cast<char>(c);
  }
  ::pclose(pipe);
  return lines;
}
}  // namespace

TEST(Code128, ZbarReadsEveryCodeAtThreeAndSixPixelsAModule) {
  if (!HaveZbarimg()) GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
  char folder[] = "/tmp/code128-XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  std::mt19937 random(128);
  std::vector<std::string> texts = {"4730F0CA", "00000000", "12345678", "FFFFFFFF", "0A0A0A0A"};
  while (texts.size() < 220) texts.push_back(RandomCardCode(&random));
  // zbar's own output is a line a symbol: no line breaks in these texts.
  for (int i = 0; i < 20; ++i) texts.push_back(RandomPrintable(&random, 1 + random() % 20));
  for (const int scale : {3, 6}) {
    std::vector<std::string> paths;
    for (size_t i = 0; i < texts.size(); ++i) {
      paths.push_back(std::string(folder) + "/" + std::to_string(i) + ".pgm");
      WritePicture(EncodeCode128(texts[i]).symbol, scale, paths.back());
    }
    for (size_t from = 0; from < texts.size(); from += 40) {
      const size_t to = std::min(texts.size(), from + 40);
      const std::vector<std::string> read =
          ZbarRead(std::vector<std::string>(paths.begin() + from, paths.begin() + to));
      EXPECT_EQ(read, std::vector<std::string>(texts.begin() + from, texts.begin() + to))
          << scale << " pixels a module";
    }
  }
  std::system(("rm -rf '" + std::string(folder) + "'").c_str());
}

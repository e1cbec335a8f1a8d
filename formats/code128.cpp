// Code 128 symbols from sets B and C. The shortest mix is found by counting, from the
// end of the text back, the symbols each set needs for the rest when it is in force;
// then the text is walked forward taking the cheaper choice (set B on a tie).
#include "formats/code128.h"

#include <algorithm>
#include <climits>

namespace {
// Bar, space, bar, space, bar, space widths of the values 0..105; each sums to 11.
constexpr const char* kPatterns[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232"};
// The stop pattern: seven elements, 13 modules, ending on a 2-module bar.
constexpr const char* kStopPattern = "2331112";

constexpr int kSwitchToC = 99;   // in set B
constexpr int kSwitchToB = 100;  // in set C
constexpr int kStartB = 104;
constexpr int kStartC = 105;
constexpr int kChecksumModulus = 103;
constexpr char kFirstPrintable = ' ';
constexpr char kLastPrintable = '~';
constexpr int kUnreachable = INT_MAX / 2;

constexpr const char* kEmptyText = "el código de barras no puede estar vacío";
constexpr const char* kNotPrintable =
    "el código de barras solo admite letras, cifras y signos ASCII imprimibles";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool DigitPairAt(std::string_view text, size_t at) {
  return at + 1 < text.size() && IsDigit(text[at]) && IsDigit(text[at + 1]);
}

// Symbols needed for the text from each position on, with set B or set C in force there.
struct RemainingCost {
  std::vector<int> in_b;
  std::vector<int> in_c;
};

int StayInB(const RemainingCost& cost, size_t at) { return 1 + cost.in_b[at + 1]; }

int StayInC(std::string_view text, const RemainingCost& cost, size_t at) {
  return DigitPairAt(text, at) ? 1 + cost.in_c[at + 2] : kUnreachable;
}

RemainingCost CountRemaining(std::string_view text) {
  RemainingCost cost{std::vector<int>(text.size() + 1, 0), std::vector<int>(text.size() + 1, 0)};
  for (size_t at = text.size(); at-- > 0;) {
    const int stay_b = StayInB(cost, at);
    const int stay_c = StayInC(text, cost, at);
    cost.in_b[at] = std::min(stay_b, 1 + stay_c);
    cost.in_c[at] = std::min(stay_c, 1 + stay_b);
  }
  return cost;
}

// The symbol values from the start code to the last data symbol.
std::vector<int> ChooseValues(std::string_view text) {
  const RemainingCost cost = CountRemaining(text);
  bool in_c = cost.in_c[0] < cost.in_b[0];
  std::vector<int> values{in_c ? kStartC : kStartB};
  for (size_t at = 0; at < text.size();) {
    const int stay_b = StayInB(cost, at);
    const int stay_c = StayInC(text, cost, at);
    if (in_c && stay_c > 1 + stay_b) {
      values.push_back(kSwitchToB);
      in_c = false;
    } else if (!in_c && 1 + stay_c < stay_b) {
      values.push_back(kSwitchToC);
      in_c = true;
    } else if (in_c) {
      values.push_back((text[at] - '0') * 10 + (text[at + 1] - '0'));
      at += 2;
    } else {
      values.push_back(text[at] - kFirstPrintable);
      at += 1;
    }
  }
  return values;
}

int CheckValue(const std::vector<int>& values) {
  int sum = values[0];
  for (size_t position = 1; position < values.size(); ++position)
    sum = (sum + static_cast<int>(position) * values[position]) % kChecksumModulus;
  return sum;
}

void AppendPattern(const char* pattern, std::vector<uint8_t>* widths) {
  for (const char* p = pattern; *p; ++p) widths->push_back(static_cast<uint8_t>(*p - '0'));
}
}  // namespace

Code128Encoding EncodeCode128(std::string_view text) {
  Code128Encoding result;
  if (text.empty()) {
    result.error = kEmptyText;
    return result;
  }
  for (const char c : text)
    if (c < kFirstPrintable || c > kLastPrintable) {
      result.error = kNotPrintable;
      return result;
    }
  std::vector<int> values = ChooseValues(text);
  values.push_back(CheckValue(values));
  for (const int value : values) AppendPattern(kPatterns[value], &result.symbol.module_widths);
  AppendPattern(kStopPattern, &result.symbol.module_widths);
  return result;
}

int Code128TotalModules(const Code128Symbol& symbol) {
  int modules = 2 * kCode128QuietZoneModules;
  for (const uint8_t width : symbol.module_widths) modules += width;
  return modules;
}

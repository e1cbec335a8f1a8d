// Texts of a win check, in the hall's words.
#include "card/win_report.h"

#include "card/card_code.h"

namespace {
constexpr const char* kColumnGap = "  ";

std::string Counted(size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}
}  // namespace

const char* PrizeKindText(PrizeKind kind) {
  switch (kind) {
    case PrizeKind::kBingo: return "bingo";
    case PrizeKind::kTwoLines: return "dos líneas";
    case PrizeKind::kLine: return "línea";
    case PrizeKind::kNothing: break;
  }
  return "sin premio";
}

std::string WinnerLine(const std::string& file_name, uint32_t seed_bits,
                       const WinVerdict& verdict) {
  return WinnerLineOfCode(file_name, CardCode(seed_bits), verdict);
}

std::string WinnerLineOfCode(const std::string& file_name, const std::string& code,
                             const WinVerdict& verdict) {
  std::string line;
  if (!file_name.empty()) line = file_name + kColumnGap;
  line += code + kColumnGap + PrizeKindText(verdict.kind);
  if (verdict.kind != PrizeKind::kNothing)
    line += verdict.needs_last ? "  (con el último número)" : "  (antes del último número)";
  return line;
}

std::string WinSummary(size_t cards_checked, const std::vector<CardWin>& winners,
                       const CalledNumbers& called) {
  size_t of_kind[4] = {}, on_last = 0;
  for (const CardWin& win : winners) {
    ++of_kind[static_cast<int>(win.verdict.kind)];
    if (win.verdict.needs_last) ++on_last;
  }
  std::string text = Counted(cards_checked, "cartón comprobado", "cartones comprobados") +
                     " con " + Counted(called.order.size(), "número cantado", "números cantados");
  if (!called.order.empty()) text += " (el último, " + std::to_string(called.order.back()) + ")";
  const size_t winning = of_kind[1] + of_kind[2] + of_kind[3];
  if (winning == 0) return text + ": ningún premio";
  text += ": " + Counted(of_kind[3], "bingo", "bingos") + ", " +
          std::to_string(of_kind[2]) + " de dos líneas, " + std::to_string(of_kind[1]) +
          " de línea; " + Counted(on_last, "premio", "premios") + " con el último número";
  return text;
}

#include "text/letter_case.h"

std::string Capitalised(const std::string& text) {
  std::string out = text;
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
  return out;
}

// The key, its commitment, and the mapping of HMAC words to a ball without bias.
#include "game/checkable_draw.h"

#include "game/draw_source.h"
#include "game/hmac_sha256.h"
#include "game/sha256.h"

namespace {
constexpr size_t kCommitmentGroup = 4;
constexpr uint64_t kWordValues = uint64_t(1) << 32;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The place j below `left` the key gives, from as many HMAC blocks as the rejections take.
uint32_t DrawPlace(const std::string& key, const std::string& message, uint32_t left) {
  const uint64_t kept_below = kWordValues - kWordValues % left;
  for (uint32_t block = 0;; ++block) {
    const Sha256Digest bits =
        HmacSha256(key, block == 0 ? message : message + "|" + std::to_string(block));
    for (size_t at = 0; at < bits.size(); at += 4) {
      const uint32_t word = uint32_t(bits[at]) << 24 | uint32_t(bits[at + 1]) << 16 |
                            uint32_t(bits[at + 2]) << 8 | uint32_t(bits[at + 3]);
      if (word < kept_below) return word % left;
    }
  }
}
}  // namespace

DrawKeyResult MakeDrawKey() {
  DrawKeyResult made;
  std::string key(kDrawKeyBytes, '\0');
  made.error = FillFromSystemSource(&key[0], key.size());
  if (made.error.empty())
    made.key = key;
  else
    made.error = "No se pudo hacer la clave del sorteo: " + made.error;
  return made;
}

std::string DrawKeyHex(const std::string& key) {
  return HexText(reinterpret_cast<const unsigned char*>(key.data()), key.size());
}

std::string DrawKeyOfHex(const std::string& hex) {
  if (hex.size() != 2 * kDrawKeyBytes) return "";
  std::string key;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return "";
    key += static_cast<char>(high * 16 + low);
  }
  return key;
}

std::string CommitmentOf(const std::string& key) { return Sha256Hex(key); }

std::string HexInGroups(const std::string& hex) {
  std::string text;
  for (size_t at = 0; at < hex.size(); at += kCommitmentGroup)
    text += (at == 0 ? "" : " ") + hex.substr(at, kCommitmentGroup);
  return text;
}

std::string CommitmentText(const Game& game) {
  return game.draw_key.empty() ? "" : HexInGroups(CommitmentOf(game.draw_key));
}

std::string DrawMessage(int64_t started_ms, const std::string& list_sha256, uint32_t n) {
  return "tessarine-bola|" + std::to_string(started_ms) + "|" + list_sha256 + "|" +
         std::to_string(n);
}

uint8_t CheckableBall(const std::string& key, const std::string& message,
                      const CalledNumbers& called, int highest) {
  const int uncalled = highest - static_cast<int>(called.order.size());
  if (uncalled <= 0) return 0;
  const uint32_t left = static_cast<uint32_t>(uncalled);
  uint32_t skip = DrawPlace(key, message, left);
  for (int number = 1; number <= highest; ++number) {
    if (called.place[number] != 0) continue;
    if (skip-- == 0) return static_cast<uint8_t>(number);
  }
  return 0;
}

std::vector<uint32_t> DrawNumbers(const Game& game) {
  std::vector<uint32_t> numbers;
  uint32_t drawn = 0;
  for (const GameCall& call : game.calls) numbers.push_back(call.drawn ? ++drawn : 0);
  return numbers;
}

uint32_t NextDrawNumber(const Game& game) {
  uint32_t drawn = 0;
  for (const GameCall& call : game.calls) drawn += call.drawn ? 1 : 0;
  return drawn + 1;
}

// A key longer than SHA-256's 64-byte block is hashed first; a shorter one is padded with
// zeros to the block, then masked with 0x36 for the inner hash and 0x5c for the outer.
#include "game/hmac_sha256.h"

namespace {
constexpr size_t kBlockBytes = 64;
}  // namespace

Sha256Digest HmacSha256(const std::string& key, const std::string& message) {
  std::string block = key;
  if (block.size() > kBlockBytes) {
    const Sha256Digest hashed = Sha256Of(block);
    block.assign(hashed.begin(), hashed.end());
  }
  block.resize(kBlockBytes, '\0');
  std::string inner(kBlockBytes, '\0'), outer(kBlockBytes, '\0');
  for (size_t i = 0; i < kBlockBytes; ++i) {
    inner[i] = static_cast<char>(block[i] ^ 0x36);
    outer[i] = static_cast<char>(block[i] ^ 0x5c);
  }
  const Sha256Digest inner_hash = Sha256Of(inner + message);
  return Sha256Of(outer + std::string(inner_hash.begin(), inner_hash.end()));
}

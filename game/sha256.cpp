// SHA-256 as FIPS 180-4 sets it out: one 64-round compression a 64-byte block, the
// message padded with a 1 bit, zeros and its length in bits.
#include "game/sha256.h"

#include <cstdint>

namespace {
constexpr uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
constexpr uint32_t kInitialHash[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
constexpr size_t kBlockBytes = 64;

uint32_t RotateRight(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void Compress(uint32_t hash[8], const unsigned char* block) {
  uint32_t w[64];
  for (int t = 0; t < 16; ++t)
    w[t] = uint32_t(block[4 * t]) << 24 | uint32_t(block[4 * t + 1]) << 16 |
           uint32_t(block[4 * t + 2]) << 8 | uint32_t(block[4 * t + 3]);
  for (int t = 16; t < 64; ++t) {
    const uint32_t s0 = RotateRight(w[t - 15], 7) ^ RotateRight(w[t - 15], 18) ^ (w[t - 15] >> 3);
    const uint32_t s1 = RotateRight(w[t - 2], 17) ^ RotateRight(w[t - 2], 19) ^ (w[t - 2] >> 10);
    w[t] = w[t - 16] + s0 + w[t - 7] + s1;
  }
  uint32_t v[8];
  for (int i = 0; i < 8; ++i) v[i] = hash[i];
  for (int t = 0; t < 64; ++t) {
    const uint32_t sum1 = RotateRight(v[4], 6) ^ RotateRight(v[4], 11) ^ RotateRight(v[4], 25);
    const uint32_t choose = (v[4] & v[5]) ^ (~v[4] & v[6]);
    const uint32_t t1 = v[7] + sum1 + choose + kRoundConstants[t] + w[t];
    const uint32_t sum0 = RotateRight(v[0], 2) ^ RotateRight(v[0], 13) ^ RotateRight(v[0], 22);
    const uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
    for (int i = 7; i > 0; --i) v[i] = v[i - 1];
    v[4] += t1;
    v[0] = t1 + sum0 + majority;
  }
  for (int i = 0; i < 8; ++i) hash[i] += v[i];
}
}  // namespace

Sha256Digest Sha256Of(const std::string& bytes) {
  uint32_t hash[8];
  for (int i = 0; i < 8; ++i) hash[i] = kInitialHash[i];
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t whole = bytes.size() / kBlockBytes * kBlockBytes;
  for (size_t at = 0; at < whole; at += kBlockBytes) Compress(hash, data + at);
  unsigned char tail[2 * kBlockBytes] = {};
  const size_t rest = bytes.size() - whole;
  for (size_t i = 0; i < rest; ++i) tail[i] = data[whole + i];
  tail[rest] = 0x80;
  const size_t tail_size = rest + 1 + 8 <= kBlockBytes ? kBlockBytes : 2 * kBlockBytes;
  const uint64_t bits = uint64_t(bytes.size()) * 8;
  for (int i = 0; i < 8; ++i) tail[tail_size - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
  for (size_t at = 0; at < tail_size; at += kBlockBytes) Compress(hash, tail + at);
  Sha256Digest digest;
  for (size_t i = 0; i < digest.size(); ++i)
    digest[i] = static_cast<unsigned char>(hash[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

std::string HexText(const unsigned char* bytes, size_t size) {
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0xF];
  }
  return text;
}

std::string Sha256Hex(const std::string& bytes) {
  const Sha256Digest digest = Sha256Of(bytes);
  return HexText(digest.data(), digest.size());
}

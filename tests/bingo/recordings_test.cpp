// The recordings the build made (bingo/voz), read back here by their own RIFF reader:
// each a mono 11025 Hz 8-bit PCM WAV that QSoundEffect and PlaySound both play, sound
// rather than silence, under 1.5 s; all of them together within 1.5 MB.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <algorithm>
#include <vector>

namespace {
constexpr double kLongestSeconds = 1.5;
constexpr size_t kMostBytes = 1500 * 1000;

struct Wave {
  Wave() = default;
  explicit Wave(std::string why) : failed(std::move(why)) {}
  std::string failed;  // "" when the file reads as the PCM WAV it should be
  uint16_t format = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  std::vector<uint8_t> samples;
};

uint32_t Little(const std::vector<uint8_t>& bytes, size_t at, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

// Walks the chunks: "fmt " gives the format, "data" the samples; any chunk running past
// the end of the file, or a RIFF size that is not the file's, is a failure.
Wave ReadWave(const std::vector<uint8_t>& bytes) {
  Wave wave;
  if (bytes.size() < 12 || std::string(bytes.begin(), bytes.begin() + 4) != "RIFF" ||
      std::string(bytes.begin() + 8, bytes.begin() + 12) != "WAVE")
    return Wave{"no es RIFF/WAVE"};
  if (Little(bytes, 4, 4) + 8 != bytes.size()) return Wave{"el tamaño RIFF no es el del fichero"};
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const std::string id(bytes.begin() + at, bytes.begin() + at + 4);
    const uint32_t size = Little(bytes, at + 4, 4);
    if (at + 8 + size > bytes.size()) return Wave{"el trozo " + id + " pasa del final"};
    if (id == "fmt " && size >= 16) {
      wave.format = static_cast<uint16_t>(Little(bytes, at + 8, 2));
      wave.channels = static_cast<uint16_t>(Little(bytes, at + 10, 2));
      wave.rate = Little(bytes, at + 12, 4);
      wave.bits = static_cast<uint16_t>(Little(bytes, at + 22, 2));
    } else if (id == "data") {
      wave.samples.assign(bytes.begin() + at + 8, bytes.begin() + at + 8 + size);
    }
    at += 8 + size + (size & 1);  // chunks are padded to an even size
  }
  if (wave.format == 0) return Wave{"sin trozo fmt"};
  if (wave.samples.empty()) return Wave{"sin muestras"};
  return wave;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

double Seconds(const Wave& wave) { return static_cast<double>(wave.samples.size()) / wave.rate; }

TEST(Recordings, EveryNumberIsASmallShortPcmWaveOfSpeech) {
  size_t total = 0;
  std::vector<double> seconds(100, 0.0);
  for (int number = 1; number <= 99; ++number) {
    const std::string path = std::string(TESSARINE_RECORDINGS_DIR) + "/" + std::to_string(number) + ".wav";
    const std::vector<uint8_t> bytes = FileBytes(path);
    ASSERT_FALSE(bytes.empty()) << path;
    total += bytes.size();
    const Wave wave = ReadWave(bytes);
    ASSERT_EQ(wave.failed, "") << path;
    EXPECT_EQ(wave.format, 1) << path;  // PCM
    EXPECT_EQ(wave.channels, 1) << path;
    EXPECT_EQ(wave.bits, 8) << path;
    EXPECT_EQ(wave.rate, 11025u) << path;
    seconds[number] = Seconds(wave);
    EXPECT_GT(seconds[number], 0.15) << path;
    EXPECT_LT(seconds[number], kLongestSeconds) << path;
    // Speech, evened out to near full scale: 8-bit silence is 128 throughout.
    int lowest = 255, highest = 0;
    for (uint8_t sample : wave.samples) lowest = std::min<int>(lowest, sample), highest = std::max<int>(highest, sample);
    EXPECT_GT(highest - lowest, 128) << path;
  }
  // Each recording says its own number: the long words take longer than the short ones.
  EXPECT_LT(seconds[1], seconds[77]);
  EXPECT_LT(seconds[2], seconds[99]);
  EXPECT_LT(seconds[10], seconds[47]);
  std::printf("Las 99 grabaciones ocupan %zu bytes (%.2f MB)\n", total, total / 1e6);
  EXPECT_LE(total, kMostBytes);
}
}  // namespace

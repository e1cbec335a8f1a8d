// Save target image: the current drawing target as an uncompressed 24-bit Windows
// bitmap (54 bytes of headers, bottom-up rows, blue-green-red, rows padded to 4 bytes).
// The file appears whole or not at all: the bytes go to a temporary file beside the
// target, which replaces the target in one step only when every byte was written.
#pragma once
#include <cstdint>
#include <string>

constexpr int kBitmapHeaderBytes = 54;

// Row length in bytes of a 24-bit image `width` pixels wide.
constexpr int32_t BitmapRowBytes(int32_t width) { return ((width * 24 + 31) / 32) * 4; }
constexpr int64_t BitmapFileBytes(int32_t width, int32_t height) {
  return kBitmapHeaderBytes + int64_t{BitmapRowBytes(width)} * height;
}

// file_name is UTF-8, relative to the current folder or absolute. False (and the file
// system as it was, an earlier file of that name included) when the name is empty,
// there is no drawing target, or the file could not be written whole.
bool SaveTargetImage(const std::string& file_name);

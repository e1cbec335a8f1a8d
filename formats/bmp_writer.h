// Save target image: the current drawing target as an uncompressed 24-bit Windows
// bitmap (54 bytes of headers, bottom-up rows, blue-green-red, rows padded to 4 bytes).
// The file appears whole or not at all: the bytes go to a temporary file beside the
// target, which replaces the target in one step only when every byte was written.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "disk/file_system.h"

constexpr int kBitmapHeaderBytes = 54;

// Row length in bytes of a 24-bit image `width` pixels wide.
constexpr int32_t BitmapRowBytes(int32_t width) { return ((width * 24 + 31) / 32) * 4; }
constexpr int64_t BitmapFileBytes(int32_t width, int32_t height) {
  return kBitmapHeaderBytes + int64_t{BitmapRowBytes(width)} * height;
}

// file_name is UTF-8, relative to the current folder or absolute. kNone when the file is
// in place; else why not (kOther for an empty name or no drawing target), and the file
// system as it was, an earlier file of that name included.
SaveError SaveTargetImage(const std::string& file_name);

// The same in two steps, for a caller that writes on another thread while it draws on:
// the current target as the bytes of a whole bitmap file (its buffer is reused from call
// to call), then those bytes put in place under a name.
struct EncodedBitmap {
  std::unique_ptr<uint8_t[]> bytes;
  size_t size = 0;
  size_t capacity = 0;
};
bool EncodeTargetImage(EncodedBitmap* encoded);
// kNone when the file is in place, else why not (kOther for an empty name or no bytes).
SaveError WriteEncodedBitmap(const std::string& file_name, const EncodedBitmap& encoded);

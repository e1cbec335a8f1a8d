// The PNG encoder over libpng. libpng writes the file: signature, header, the chunks'
// framing and checksums. The image data is deflated by files/png_deflate.cpp, which knows
// what cards look like: measured on cards of several colours (bench/png_bench), every
// libpng filter with zlib levels 1 to 6, the run-length strategy, smaller windows and
// memory levels all cost 1.3 ms a card or more, most of it zlib visiting each of the
// rows' 521,504 bytes; the card-aware stream costs a fraction of that, at about 30 KB a
// card against zlib's 22 to 26 KB.
#include <png.h>

#include <algorithm>
#include <new>
#include <vector>

#include "formats/png_deflate.h"
#include "formats/png_encoder.h"

namespace {
constexpr int kMostSide = 1 << 20;
// The image data is cut into IDAT chunks of this size, a usual one for PNG writers.
constexpr size_t kChunkBytes = 1 << 18;
// Signature, header and end chunk; each IDAT chunk adds 12 more.
constexpr size_t kFramingBytes = 8 + 25 + 12;
constexpr png_byte kIdat[5] = "IDAT";
constexpr png_byte kIend[5] = "IEND";

struct Sink {
  std::vector<uint8_t>* out;
  bool failed;
};

void Append(png_structp png, png_bytep data, size_t length) {
  Sink* sink = static_cast<Sink*>(png_get_io_ptr(png));
  try {
    sink->out->insert(sink->out->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    sink->failed = true;
    png_error(png, "out of memory");
  }
}

void Flush(png_structp) {}

// libpng reports errors by longjmp: nothing here has a destructor to skip.
bool Encode(const PixelView& view, const uint8_t* data, size_t length, Sink* sink) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, sink, Append, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(view.width),
               static_cast<png_uint_32>(view.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (size_t at = 0; at < length; at += kChunkBytes)
    png_write_chunk(png, kIdat, data + at, std::min(kChunkBytes, length - at));
  png_write_chunk(png, kIend, nullptr, 0);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

bool PngEncoderAvailable() { return true; }

bool EncodePng(const PixelView& pixels, std::vector<uint8_t>* png) {
  png->clear();
  if (!pixels.pixels || pixels.width <= 0 || pixels.height <= 0 ||
      pixels.width > kMostSide || pixels.height > kMostSide || pixels.stride < pixels.width)
    return false;
  // The zlib stream, kept for the next card like the output buffer.
  thread_local std::vector<uint8_t> data;
  size_t length = 0;
  if (!DeflateRgbRows(pixels, &data, &length)) return false;
  try {
    png->reserve(length + kFramingBytes + 12 * (length / kChunkBytes + 1));
  } catch (const std::bad_alloc&) {
    return false;
  }
  Sink sink{png, false};
  const bool encoded = Encode(pixels, data.data(), length, &sink);
  if (!encoded) png->clear();
  return encoded && !sink.failed;
}

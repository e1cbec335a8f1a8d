// The PNG encoder over libpng. Each row is turned from 0xFFRRGGBB words into RGB bytes
// and handed to libpng, which filters it and deflates it into a growing buffer.
#include <png.h>
#include <zlib.h>

#include <new>
#include <vector>

#include "files/png_encoder.h"

namespace {
// Measured on cards of several colours (bench/png_bench, and every filter at zlib levels
// 1 to 6 with the default and run-length strategies): level 1 with no row filter is the
// cheapest setting that compresses, about 24 KB a card (21 x smaller than the bitmap).
// libpng's filters cost more time than the bytes they save; the run-length strategy is
// slower on this zlib and, since it only sees runs of equal bytes, leaves a coloured
// card (not grey) almost three times larger.
constexpr int kFilters = PNG_FILTER_NONE;
constexpr int kZlibLevel = 1;
constexpr int kZlibStrategy = Z_DEFAULT_STRATEGY;
constexpr int kMostSide = 1 << 20;

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

void ToRgb(const uint32_t* source, int32_t width, uint8_t* out) {
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t pixel = source[x];
    out[0] = static_cast<uint8_t>(pixel >> 16);
    out[1] = static_cast<uint8_t>(pixel >> 8);
    out[2] = static_cast<uint8_t>(pixel);
    out += 3;
  }
}

// libpng reports errors by longjmp: nothing here has a destructor to skip.
bool Encode(const PixelView& view, Sink* sink, uint8_t* row) {
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
  png_set_filter(png, PNG_FILTER_TYPE_BASE, kFilters);
  png_set_compression_level(png, kZlibLevel);
  png_set_compression_strategy(png, kZlibStrategy);
  png_write_info(png, info);
  for (int32_t y = 0; y < view.height; ++y) {
    ToRgb(view.pixels + static_cast<size_t>(y) * view.stride, view.width, row);
    png_write_row(png, row);
  }
  png_write_end(png, info);
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
  // One row of RGB bytes, kept for the next card like the output buffer.
  thread_local std::vector<uint8_t> row;
  try {
    row.resize(static_cast<size_t>(pixels.width) * 3);
  } catch (const std::bad_alloc&) {
    return false;
  }
  Sink sink{png, false};
  const bool encoded = Encode(pixels, &sink, row.data());
  if (!encoded) png->clear();
  return encoded && !sink.failed;
}

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <random>
#include <vector>

#include "card/renderer.h"
#include "draw/draw.h"
#include "formats/bmp_writer.h"
#include "formats/png_writer.h"

namespace {
struct Decoded {
  bool ok = false;
  std::string error;
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

// libpng's own reader, asked for 8-bit RGB whatever the file holds.
Decoded Decode(const std::vector<uint8_t>& png) {
  Decoded d;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
    d.error = image.message;
    return d;
  }
  image.format = PNG_FORMAT_RGB;
  d.width = image.width;
  d.height = image.height;
  d.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr)) {
    d.error = image.message;
    return d;
  }
  d.ok = true;
  return d;
}

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

// Every pixel of the view against the decoded RGB bytes.
void ExpectSamePixels(const PixelView& view, const std::vector<uint8_t>& png) {
  const Decoded d = Decode(png);
  ASSERT_TRUE(d.ok) << d.error;
  ASSERT_EQ(d.width, static_cast<uint32_t>(view.width));
  ASSERT_EQ(d.height, static_cast<uint32_t>(view.height));
  for (int32_t y = 0; y < view.height; ++y)
    for (int32_t x = 0; x < view.width; ++x) {
      const uint32_t p = view.pixels[static_cast<size_t>(y) * view.stride + x];
      const uint8_t* q = &d.rgb[(static_cast<size_t>(y) * view.width + x) * 3];
      ASSERT_EQ(q[0], (p >> 16) & 0xFF) << x << "," << y;
      ASSERT_EQ(q[1], (p >> 8) & 0xFF) << x << "," << y;
      ASSERT_EQ(q[2], p & 0xFF) << x << "," << y;
    }
}

// The image data of a PNG: its IDAT chunks joined, inflated by zlib itself, which must
// find exactly one complete stream with a good checksum and nothing after it.
struct Inflated {
  bool ok = false;
  std::string error;
  std::vector<uint8_t> rows;
};

Inflated InflateImageData(const std::vector<uint8_t>& png) {
  Inflated result;
  std::vector<uint8_t> data;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length = Be32(png, at);
    if (std::memcmp(png.data() + at + 4, "IDAT", 4) == 0)
      data.insert(data.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    at += 12 + length;
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return result;
  result.rows.resize(1 << 16);
  z.next_in = data.data();
  z.avail_in = static_cast<uInt>(data.size());
  int status = Z_OK;
  while (status == Z_OK) {
    if (z.total_out == result.rows.size()) result.rows.resize(result.rows.size() * 2);
    z.next_out = result.rows.data() + z.total_out;
    z.avail_out = static_cast<uInt>(result.rows.size() - z.total_out);
    status = inflate(&z, Z_NO_FLUSH);
  }
  result.rows.resize(z.total_out);
  result.ok = status == Z_STREAM_END && z.avail_in == 0;
  if (!result.ok) result.error = z.msg ? z.msg : "stream ends early or has bytes after it";
  inflateEnd(&z);
  return result;
}

// The rows a PNG of the view must hold: filter byte 0, then R, G, B of each pixel.
std::vector<uint8_t> RawRows(const PixelView& view) {
  std::vector<uint8_t> rows;
  for (int32_t y = 0; y < view.height; ++y) {
    rows.push_back(0);
    for (int32_t x = 0; x < view.width; ++x) {
      const uint32_t p = view.pixels[static_cast<size_t>(y) * view.stride + x];
      rows.insert(rows.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                               static_cast<uint8_t>(p)});
    }
  }
  return rows;
}

void ExpectExactImageData(const PixelView& view, const std::vector<uint8_t>& png) {
  const Inflated inflated = InflateImageData(png);
  ASSERT_TRUE(inflated.ok) << inflated.error;
  EXPECT_TRUE(inflated.rows == RawRows(view));
}

// The file's chunks in order, each checked for room and for its CRC (zlib's crc32 over
// type and data); nothing may follow IEND.
struct Chunk {
  std::string type;
  size_t data_at = 0;
  uint32_t length = 0;
};

std::vector<Chunk> Chunks(const std::vector<uint8_t>& png, std::string* error) {
  std::vector<Chunk> chunks;
  size_t at = 8;
  while (at < png.size() && (chunks.empty() || chunks.back().type != "IEND")) {
    if (at + 12 > png.size() || Be32(png, at) > png.size() - at - 12) {
      *error = "chunk runs past the end at " + std::to_string(at);
      return chunks;
    }
    Chunk chunk{std::string(png.begin() + at + 4, png.begin() + at + 8), at + 8, Be32(png, at)};
    const uLong crc = crc32(0, png.data() + at + 4, 4 + chunk.length);
    if (crc != Be32(png, chunk.data_at + chunk.length)) *error = "bad CRC in " + chunk.type;
    chunks.push_back(chunk);
    at = chunk.data_at + chunk.length + 4;
  }
  if (at != png.size()) *error = "bytes after IEND or no IEND";
  return chunks;
}

// What libpng's writer makes of the same image data: its header from the view, the
// data cut into IDAT chunks of 256 KB, and its end chunk. libpng reports errors by
// longjmp: nothing here has a destructor to skip.
void AppendToVector(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

std::vector<uint8_t> FramedByLibpng(const PixelView& view, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendToVector, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(view.width),
               static_cast<png_uint_32>(view.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t chunk_bytes = 1 << 18;
  for (size_t at = 0; at < data.size(); at += chunk_bytes)
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), data.data() + at,
                    std::min(chunk_bytes, data.size() - at));
  png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> ImageData(const std::vector<uint8_t>& png, const std::vector<Chunk>& chunks) {
  std::vector<uint8_t> data;
  for (const Chunk& chunk : chunks)
    if (chunk.type == "IDAT")
      data.insert(data.end(), png.begin() + chunk.data_at, png.begin() + chunk.data_at + chunk.length);
  return data;
}

struct Picture {
  std::vector<uint32_t> pixels;
  PixelView view;
};

Picture Noise(int32_t width, int32_t height, int32_t stride, uint32_t seed) {
  Picture p;
  std::mt19937 random(seed);
  p.pixels.resize(static_cast<size_t>(stride) * height);
  for (uint32_t& pixel : p.pixels) pixel = 0xFF000000u | (random() & 0xFFFFFF);
  p.view = {width, height, stride, p.pixels.data()};
  return p;
}

// A card drawn by the renderer onto a 721 x 241 picture, as tessarine-cards makes it.
Picture Card(uint32_t seed_bits, Colour colour) {
  g_card_colour = colour;
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);
  ShowCard(picture, 0, seed_bits);
  SelectTarget(picture, 0, 0);
  Picture p;
  PixelView view;
  EXPECT_TRUE(LockCurrentTargetPixels(&view));
  for (int32_t y = 0; y < view.height; ++y)
    p.pixels.insert(p.pixels.end(), view.pixels + static_cast<size_t>(y) * view.stride,
                    view.pixels + static_cast<size_t>(y) * view.stride + view.width);
  UnlockDrawing();
  SelectTarget(picture, 0, 0);
  EndBitmap();
  g_card_colour = kDefaultCardColour;
  p.view = {view.width, view.height, view.width, p.pixels.data()};
  return p;
}
}  // namespace

TEST(PngWriter, ACardIsEveryPixelTheSameAnd8BitRgb) {
  for (const Colour colour : {kDefaultCardColour, Colour{0x2040E0}, Colour{0x000000}}) {
    const Picture card = Card(0x4730F0CA, colour);
    ASSERT_EQ(card.view.width, 721);
    ASSERT_EQ(card.view.height, 241);
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(card.view, &png));
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(std::memcmp(png.data() + 12, "IHDR", 4), 0);
    EXPECT_EQ(Be32(png, 16), 721u);
    EXPECT_EQ(Be32(png, 20), 241u);
    EXPECT_EQ(png[24], 8) << "bit depth";
    EXPECT_EQ(png[25], 2) << "colour type RGB";
    EXPECT_EQ(png[28], 0) << "not interlaced";
    ExpectSamePixels(card.view, png);
  }
}

TEST(PngWriter, ACardIsAtLeastTenTimesSmallerThanItsBitmap) {
  // Grey cards and coloured ones, whose pixels are not runs of one byte value.
  const Colour colours[] = {kDefaultCardColour, 0x2040E0, 0x10A040};
  const uint32_t seeds[] = {0x4730F0CAu, 0x00000000u, 0x47A8C000u};
  for (int i = 0; i < 3; ++i) {
    const Picture card = Card(seeds[i], colours[i]);
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(card.view, &png));
    EXPECT_LE(png.size() * 10, static_cast<size_t>(BitmapFileBytes(721, 241))) << png.size();
  }
}

TEST(PngWriter, AnyPictureComesBackExactly) {
  // Noise does not compress: the encoder must still be lossless. Odd sizes, one pixel,
  // and rows further apart than the width.
  const int32_t sizes[][3] = {{1, 1, 1}, {1, 7, 1}, {7, 1, 7}, {3, 5, 8}, {721, 241, 721},
                              {640, 3, 700}, {1000, 2, 1000}};
  uint32_t seed = 1;
  for (const auto& size : sizes) {
    const Picture p = Noise(size[0], size[1], size[2], seed++);
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(p.view, &png)) << size[0] << "x" << size[1];
    ExpectSamePixels(p.view, png);
  }
}

TEST(PngWriter, TheBufferIsReusedWithNothingLeftOver) {
  std::vector<uint8_t> png;
  const Picture big = Noise(300, 300, 300, 3);
  ASSERT_TRUE(EncodePng(big.view, &png));
  const size_t capacity = png.capacity();
  const Picture small = Noise(4, 4, 4, 4);
  ASSERT_TRUE(EncodePng(small.view, &png));
  EXPECT_LT(png.size(), 300u);
  EXPECT_EQ(png.capacity(), capacity);
  ExpectSamePixels(small.view, png);
  // The file ends with its IEND chunk.
  ASSERT_GE(png.size(), 12u);
  EXPECT_EQ(std::memcmp(png.data() + png.size() - 8, "IEND", 4), 0);
}

TEST(PngWriter, RefusesAnEmptyOrMalformedView) {
  std::vector<uint32_t> pixels(16, 0xFFFFFFFF);
  std::vector<uint8_t> png{1, 2, 3};
  EXPECT_FALSE(EncodePng(PixelView{}, &png));
  EXPECT_TRUE(png.empty());
  EXPECT_FALSE(EncodePng(PixelView{4, 4, 4, nullptr}, &png));
  EXPECT_FALSE(EncodePng(PixelView{0, 4, 4, pixels.data()}, &png));
  EXPECT_FALSE(EncodePng(PixelView{4, 0, 4, pixels.data()}, &png));
  EXPECT_FALSE(EncodePng(PixelView{4, 4, 3, pixels.data()}, &png));
  EXPECT_FALSE(EncodePng(PixelView{-4, 4, 4, pixels.data()}, &png));
  EXPECT_TRUE(EncodePng(PixelView{4, 4, 4, pixels.data()}, &png));
}

// Flat pictures whose runs end on each side of the longest back-reference (258 bytes) and
// of a few of them, and whose rows repeat: the stream has to split runs and whole rows.
TEST(PngWriter, RunsAndRepeatedRowsOfEveryLengthComeBackExactly) {
  for (int32_t width = 84; width <= 90; ++width)
    for (int32_t height : {1, 2, 5}) {
      Picture p;
      p.pixels.assign(static_cast<size_t>(width) * height, 0xFF2040E0u);
      p.view = {width, height, width, p.pixels.data()};
      std::vector<uint8_t> png;
      ASSERT_TRUE(EncodePng(p.view, &png)) << width << "x" << height;
      ExpectSamePixels(p.view, png);
      ExpectExactImageData(p.view, png);
    }
  // Runs of every length from 1 to 300 pixels, with the row above repeating in part.
  Picture p;
  const int32_t width = 2000, height = 6;
  p.pixels.resize(static_cast<size_t>(width) * height);
  for (int32_t y = 0; y < height; ++y) {
    int32_t x = 0, run = 1 + y;
    uint32_t colour = 0xFF000000u | (0x10203u * static_cast<uint32_t>(y + 1));
    while (x < width) {
      for (int32_t i = 0; i < run && x < width; ++i) p.pixels[static_cast<size_t>(y) * width + x++] = colour;
      colour ^= 0x00C0A0u;
      run = run % 300 + 1;
    }
    if (y % 2) std::copy_n(&p.pixels[static_cast<size_t>(y - 1) * width], width / 2,
                           &p.pixels[static_cast<size_t>(y) * width]);
  }
  p.view = {width, height, width, p.pixels.data()};
  std::vector<uint8_t> png;
  ASSERT_TRUE(EncodePng(p.view, &png));
  ExpectSamePixels(p.view, png);
  ExpectExactImageData(p.view, png);
}

// A row longer than deflate reaches back (32 KB) cannot refer to the row above.
TEST(PngWriter, RowsBeyondDeflatesReachComeBackExactly) {
  for (const int32_t width : {10922, 10923, 20000}) {  // rows of 32,767, 32,770, 60,001 bytes
    Picture p = Noise(width, 3, width, static_cast<uint32_t>(width));
    for (size_t i = 0; i < p.pixels.size(); i += 7) p.pixels[i] = 0xFFFFFFFFu;
    std::copy_n(p.pixels.begin(), width, p.pixels.begin() + width);  // row 1 = row 0
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(p.view, &png)) << width;
    ExpectSamePixels(p.view, png);
    ExpectExactImageData(p.view, png);
  }
}

TEST(PngWriter, CardsOfManyColoursAndSeedsHoldTheirExactRows) {
  const Colour colours[] = {kDefaultCardColour, 0x2040E0, 0x10A040, 0x0080FF, 0x000000, 0xFFFFFF};
  uint32_t seed = 0x47000000u;
  for (const Colour colour : colours)
    for (int i = 0; i < 3; ++i) {
      const Picture card = Card(seed += 0x01234567u, colour);
      std::vector<uint8_t> png;
      ASSERT_TRUE(EncodePng(card.view, &png));
      ExpectExactImageData(card.view, png);
    }
}

// The chunks are IHDR, IDAT of 256 KB but the last, IEND, each with a good CRC; and the
// file is byte for byte what libpng writes around the same image data, as the program
// wrote through libpng before. Noise makes a stream of several IDAT chunks.
TEST(PngWriter, ChunksAreFramedAsLibpngFramesThem) {
  const Picture card = Card(0x4730F0CA, 0x2040E0);
  const Picture noise = Noise(721, 241, 721, 9);
  const Picture one = Noise(1, 1, 1, 10);
  for (const Picture* picture : {&card, &noise, &one}) {
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(picture->view, &png));
    std::string error;
    const std::vector<Chunk> chunks = Chunks(png, &error);
    ASSERT_EQ(error, "");
    ASSERT_GE(chunks.size(), 3u);
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(chunks.front().length, 13u);
    EXPECT_EQ(chunks.back().type, "IEND");
    EXPECT_EQ(chunks.back().length, 0u);
    for (size_t i = 1; i + 1 < chunks.size(); ++i) {
      EXPECT_EQ(chunks[i].type, "IDAT");
      if (i + 2 < chunks.size()) {
        EXPECT_EQ(chunks[i].length, 1u << 18);
      }
    }
    if (picture == &noise) {
      EXPECT_GE(chunks.size(), 5u) << "several IDAT chunks";
    }
    EXPECT_TRUE(png == FramedByLibpng(picture->view, ImageData(png, chunks)));
  }
}

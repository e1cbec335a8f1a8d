// The bitmap writer over test-chosen pixels: every header field, where each pixel and
// padding byte goes, an independent decoder's reading, and what a failed save leaves.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fake_pixels.h"
#include "formats/bmp_writer.h"
#include "tests/support/test_support.h"

namespace {

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TheFakeTarget() = FakeTarget{};
    ASSERT_FALSE(folder.path.empty());
  }
  void TearDown() override {
    // Every path through the writer hands the drawing lock back exactly once.
    const FakeTarget& target = TheFakeTarget();
    EXPECT_FALSE(target.held);
    EXPECT_FALSE(target.double_lock);
    EXPECT_FALSE(target.stray_unlock);
    EXPECT_EQ(target.locks, target.unlocks);
    NoFakeTarget();
  }
  ScratchFolder folder;
};

// Colours that differ from pixel to pixel and in every channel.
FakeImage Patterned(int32_t width, int32_t height, int32_t stride) {
  FakeImage image(width, height, stride);
  uint32_t state = 12345;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      image.At(x, y) = 0xFF000000u | (state >> 8);
    }
  return image;
}

void ExpectHeaders(const std::string& file, uint32_t width, uint32_t height,
                   uint32_t file_bytes) {
  ASSERT_EQ(file.size(), file_bytes);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Le32(file, 2), file_bytes) << "bfSize";
  EXPECT_EQ(Le16(file, 6), 0u) << "bfReserved1";
  EXPECT_EQ(Le16(file, 8), 0u) << "bfReserved2";
  EXPECT_EQ(Le32(file, 10), 54u) << "bfOffBits";
  EXPECT_EQ(Le32(file, 14), 40u) << "biSize";
  EXPECT_EQ(Le32(file, 18), width) << "biWidth";
  EXPECT_EQ(Le32(file, 22), height) << "biHeight";
  EXPECT_EQ(Le16(file, 26), 1u) << "biPlanes";
  EXPECT_EQ(Le16(file, 28), 24u) << "biBitCount";
  EXPECT_EQ(Le32(file, 30), 0u) << "biCompression";
  EXPECT_EQ(Le32(file, 34), 0u) << "biSizeImage";
  EXPECT_EQ(Le32(file, 38), 0u) << "biXPelsPerMeter";
  EXPECT_EQ(Le32(file, 42), 0u) << "biYPelsPerMeter";
  EXPECT_EQ(Le32(file, 46), 0u) << "biClrUsed";
  EXPECT_EQ(Le32(file, 50), 0u) << "biClrImportant";
}

uint8_t Byte(const std::string& file, size_t offset) {
  return static_cast<uint8_t>(file.at(offset));
}

TEST_F(WriterTest, SwatchSizedImageHasEveryHeaderField) {
  FakeImage image = Patterned(16, 16, 16);
  image.MakeCurrent();
  const std::string path = folder / "color.bmp";
  ASSERT_EQ(SaveTargetImage(path), SaveError::kNone);
  ExpectHeaders(ReadWholeFile(path), 16, 16, 822);
}

TEST_F(WriterTest, PictureSizedImageHasEveryHeaderFieldAndPaddedRows) {
  // A patterned save first, so that memory the writer may reuse is not all zeros.
  FakeImage patterned = Patterned(721, 241, 721);
  patterned.MakeCurrent();
  const std::string path = folder / "0001.bmp";
  ASSERT_EQ(SaveTargetImage(path), SaveError::kNone);
  FakeImage image(721, 241, 721);  // all white, so every padding byte stands out
  image.MakeCurrent();
  ASSERT_EQ(SaveTargetImage(path), SaveError::kNone);
  const std::string file = ReadWholeFile(path);
  ExpectHeaders(file, 721, 241, 521578);
  constexpr size_t kRow = 2164;
  for (size_t row = 0; row < 241; ++row) {
    const size_t start = 54 + row * kRow;
    ASSERT_EQ(file.find_first_not_of('\xFF', start), start + 2163) << "row " << row;
    ASSERT_EQ(Byte(file, start + 2163), 0) << "padding of row " << row;
  }
}

TEST_F(WriterTest, PixelsAreStoredBottomUpInBlueGreenRedOrder) {
  // 5 pixels wide: 15 bytes of colour and one padding byte per 16-byte row.
  FakeImage image = Patterned(5, 3, 5);
  image.At(0, 0) = 0xFFFF0000u;  // top-left red (colour value 0x0000FF)
  image.At(4, 0) = 0xFFFFFFFFu;  // top-right white
  image.At(0, 2) = 0xFF112233u;  // bottom-left
  image.MakeCurrent();
  const std::string path = folder / "small.bmp";
  ASSERT_EQ(SaveTargetImage(path), SaveError::kNone);
  const std::string file = ReadWholeFile(path);
  ExpectHeaders(file, 5, 3, 54 + 16 * 3);

  EXPECT_EQ(file.substr(54, 3), std::string("\x33\x22\x11", 3)) << "bottom-left first";
  EXPECT_EQ(file.substr(54 + 16 * 2, 3), std::string("\x00\x00\xFF", 3)) << "top-left red";
  EXPECT_EQ(file.substr(54 + 16 * 2 + 12, 3), "\xFF\xFF\xFF") << "top-right white";
  for (int row = 0; row < 3; ++row) EXPECT_EQ(Byte(file, 54 + 16 * row + 15), 0) << row;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const size_t at = 54 + 16 * (2 - y) + 3 * x;
      const uint32_t pixel = image.At(x, y);
      EXPECT_EQ(Byte(file, at), pixel & 0xFF) << x << "," << y;
      EXPECT_EQ(Byte(file, at + 1), (pixel >> 8) & 0xFF) << x << "," << y;
      EXPECT_EQ(Byte(file, at + 2), (pixel >> 16) & 0xFF) << x << "," << y;
    }
}

TEST_F(WriterTest, AlphaAndTheSurfaceStrideNeverReachTheFile) {
  FakeImage plain = Patterned(7, 4, 7);
  FakeImage wide(7, 4, 11);
  for (uint32_t& pixel : wide.pixels) pixel = 0xDEADBEEFu;  // what lies past each row
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 7; ++x)
      wide.At(x, y) = (plain.At(x, y) & 0x00FFFFFFu) | static_cast<uint32_t>(x * 40) << 24;

  plain.MakeCurrent();
  ASSERT_EQ(SaveTargetImage(folder / "plain.bmp"), SaveError::kNone);
  wide.MakeCurrent();
  ASSERT_EQ(SaveTargetImage(folder / "wide.bmp"), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(folder / "plain.bmp"), ReadWholeFile(folder / "wide.bmp"));
}

TEST_F(WriterTest, AnIndependentDecoderReadsEveryPixelAlike) {
  FakeImage image = Patterned(721, 241, 721);
  image.MakeCurrent();
  const std::string path = folder / "0001.bmp";
  ASSERT_EQ(SaveTargetImage(path), SaveError::kNone);
  const DecodedImage decoded = DecodeWithPil(path);
  ASSERT_EQ(decoded.error, "");
  ASSERT_EQ(decoded.width, 721);
  ASSERT_EQ(decoded.height, 241);
  int wrong = 0;
  for (int y = 0; y < 241; ++y)
    for (int x = 0; x < 721; ++x)
      if (decoded.Rgb(x, y) != (image.At(x, y) & 0xFFFFFFu) && ++wrong <= 5)
        ADD_FAILURE() << "pixel " << x << "," << y << std::hex << ": decoded "
                      << decoded.Rgb(x, y) << ", drawn " << image.At(x, y);
  EXPECT_EQ(wrong, 0);
}

// Rows are converted four pixels at a time with a remainder, and the widths around those
// steps (and a stride wider than the row, whose extra pixels hold alpha and noise) must
// all give the bytes worked out pixel by pixel here.
TEST_F(WriterTest, EveryRowWidthGivesThePixelByPixelBytes) {
  for (int32_t width = 1; width <= 14; ++width) {
    FakeImage image = Patterned(width, 3, width + 3);
    for (uint32_t& pixel : image.pixels) pixel |= 0x5A000000u;
    image.MakeCurrent();
    const std::string path = folder / ("w" + std::to_string(width) + ".bmp");
    ASSERT_EQ(SaveTargetImage(path), SaveError::kNone);
    std::string expected;
    const int32_t row_bytes = ((width * 24 + 31) / 32) * 4;
    for (int32_t y = 2; y >= 0; --y) {
      for (int32_t x = 0; x < width; ++x)
        for (int shift : {0, 8, 16}) expected += static_cast<char>(image.At(x, y) >> shift);
      expected.append(static_cast<size_t>(row_bytes - 3 * width), '\0');
    }
    EXPECT_EQ(ReadWholeFile(path).substr(54), expected) << "width " << width;
  }
}

TEST_F(WriterTest, AnEarlierFileOfTheNameEndsExactlyAsTheNewOne) {
  FakeImage image = Patterned(16, 16, 16);
  image.MakeCurrent();
  ASSERT_EQ(SaveTargetImage(folder / "fresh.bmp"), SaveError::kNone);
  const std::string fresh = ReadWholeFile(folder / "fresh.bmp");

  WriteWholeFile(folder / "longer.bmp", std::string(600000, 'x'));
  WriteWholeFile(folder / "shorter.bmp", "tiny");
  ASSERT_EQ(SaveTargetImage(folder / "longer.bmp"), SaveError::kNone);
  ASSERT_EQ(SaveTargetImage(folder / "shorter.bmp"), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(folder / "longer.bmp"), fresh);
  EXPECT_EQ(ReadWholeFile(folder / "shorter.bmp"), fresh);
}

TEST_F(WriterTest, ARelativeNameLandsInTheCurrentFolder) {
  FakeImage image = Patterned(16, 16, 16);
  image.MakeCurrent();
  {
    InFolder here(folder.path);
    ASSERT_EQ(SaveTargetImage("0001.bmp"), SaveError::kNone);
  }
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"0001.bmp"});
  EXPECT_EQ(FileLength(folder / "0001.bmp"), 822);
}

TEST_F(WriterTest, AnEmptyNameTouchesNothing) {
  FakeImage image = Patterned(16, 16, 16);
  image.MakeCurrent();
  InFolder here(folder.path);
  EXPECT_NE(SaveTargetImage(""), SaveError::kNone);
  EXPECT_EQ(TheFakeTarget().locks, 0) << "not even the drawing lock";
  EXPECT_TRUE(FolderEntries(folder.path).empty());
}

TEST_F(WriterTest, NoDrawingTargetTouchesNothing) {
  NoFakeTarget();
  WriteWholeFile(folder / "0001.bmp", "earlier");
  EXPECT_NE(SaveTargetImage(folder / "0001.bmp"), SaveError::kNone);
  EXPECT_NE(SaveTargetImage(folder / "0002.bmp"), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(folder / "0001.bmp"), "earlier");
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"0001.bmp"});
}

TEST_F(WriterTest, AnUnreadableTargetTouchesNothing) {
  TheFakeTarget().present = true;  // a target, but with no pixels to read
  EXPECT_NE(SaveTargetImage(folder / "0001.bmp"), SaveError::kNone);
  FakeImage empty(0, 0, 0);
  empty.MakeCurrent();
  EXPECT_NE(SaveTargetImage(folder / "0001.bmp"), SaveError::kNone);
  EXPECT_EQ(TheFakeTarget().locks, 2);
  EXPECT_TRUE(FolderEntries(folder.path).empty());
}

TEST_F(WriterTest, RepeatedSavesAreIdenticalAndLeaveNothingBehind) {
  FakeImage image = Patterned(721, 241, 721);
  image.MakeCurrent();
  const std::string path = folder / "0001.bmp";
  ASSERT_EQ(SaveTargetImage(path), SaveError::kNone);
  const std::string first = ReadWholeFile(path);
  for (int i = 0; i < 40; ++i) ASSERT_EQ(SaveTargetImage(path), SaveError::kNone) << i;
  EXPECT_EQ(ReadWholeFile(path), first);
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"0001.bmp"});
  EXPECT_EQ(TheFakeTarget().locks, 41);
}

// ---- Saves that cannot be done ------------------------------------------------

class FailedSaveTest : public WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    image.MakeCurrent();
  }
  FakeImage image = Patterned(721, 241, 721);
};

TEST_F(FailedSaveTest, AMissingFolderCreatesNothing) {
  EXPECT_NE(SaveTargetImage(folder / "missing/0001.bmp"), SaveError::kNone);
  EXPECT_TRUE(FolderEntries(folder.path).empty());
}

TEST_F(FailedSaveTest, AFolderOfThatNameStaysAFolder) {
  ASSERT_EQ(::mkdir((folder / "0001.bmp").c_str(), 0777), 0);
  EXPECT_NE(SaveTargetImage(folder / "0001.bmp"), SaveError::kNone);
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"0001.bmp"});
  EXPECT_TRUE(IsFolder(folder / "0001.bmp"));
}

TEST_F(FailedSaveTest, AnImmutableFileStaysByteForByte) {
  const std::string path = folder / "0001.bmp";
  WriteWholeFile(path, "an earlier card");
  ScopedImmutable immutable(path);
  if (!immutable.set) GTEST_SKIP() << immutable.reason;
  EXPECT_NE(SaveTargetImage(path), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(path), "an earlier card");
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"0001.bmp"});
}

TEST_F(FailedSaveTest, AReadOnlyFileSystemStaysAsItWas) {
  const std::string mount_point = folder / "ro";
  ASSERT_EQ(::mkdir(mount_point.c_str(), 0777), 0);
  ScopedTmpfs disk(mount_point, 1 << 20);
  if (!disk.mounted) GTEST_SKIP() << disk.reason;
  WriteWholeFile(mount_point + "/0001.bmp", "an earlier card");
  if (!disk.MakeReadOnly()) GTEST_SKIP() << disk.reason;

  EXPECT_NE(SaveTargetImage(mount_point + "/0001.bmp"), SaveError::kNone);
  EXPECT_NE(SaveTargetImage(mount_point + "/0002.bmp"), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(mount_point + "/0001.bmp"), "an earlier card");
  EXPECT_EQ(FolderEntries(mount_point), std::vector<std::string>{"0001.bmp"});
}

TEST_F(FailedSaveTest, AFullDiskKeepsTheEarlierFileAndNoPartOfTheNewOne) {
  const std::string mount_point = folder / "full";
  ASSERT_EQ(::mkdir(mount_point.c_str(), 0777), 0);
  ScopedTmpfs disk(mount_point, 300 * 1024);  // room for a swatch, not for a card
  if (!disk.mounted) GTEST_SKIP() << disk.reason;
  const std::string path = mount_point + "/0001.bmp";
  WriteWholeFile(path, "an earlier card");

  EXPECT_NE(SaveTargetImage(path), SaveError::kNone);
  EXPECT_NE(SaveTargetImage(mount_point + "/0002.bmp"), SaveError::kNone);
  EXPECT_EQ(ReadWholeFile(path), "an earlier card");
  EXPECT_EQ(FolderEntries(mount_point), std::vector<std::string>{"0001.bmp"});

  // The same disk takes a file that fits: the refusal above was the lack of room.
  FakeImage swatch = Patterned(16, 16, 16);
  swatch.MakeCurrent();
  EXPECT_EQ(SaveTargetImage(path), SaveError::kNone);
  EXPECT_EQ(FileLength(path), 822);
}

}  // namespace

// Card file names and places, the check of the typed batch size, and the colour swatch
// file drawn by the real drawing layer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "draw/draw.h"
#include "files/card_files.h"
#include "disk/file_system.h"
#include "tests/support/shared_folder_lock.h"
#include "tests/support/test_support.h"

namespace {

TEST(CardFileNameTest, HasAtLeastFourDigitsAndLongerNumbersWhole) {
  EXPECT_EQ(CardFileName(1), "0001.bmp");
  EXPECT_EQ(CardFileName(26), "0026.bmp");
  EXPECT_EQ(CardFileName(9999), "9999.bmp");
  EXPECT_EQ(CardFileName(10000), "10000.bmp");
  EXPECT_EQ(CardFileName(30000), "30000.bmp");
}

TEST(CardFoldersTest, LieBesideTheExecutable) {
  const std::string folder = ExecutableFolder();
  ASSERT_TRUE(PathExists(folder + "files_tests"));
  EXPECT_EQ(BatchFolder(), folder + "muchas");
  EXPECT_EQ(SwatchPath(), folder + "color.bmp");
}

struct AnswerCase {
  const char* answer;
  BatchAnswerKind kind;
  int32_t count;
};

TEST(CheckBatchAnswerTest, TakesOnlyDigitsUpToTheLimit) {
  const std::string hundreds_of_digits(300, '7');
  const std::string zeros_then_five = std::string(295, '0') + "30000";
  const AnswerCase cases[] = {
      {"1", BatchAnswerKind::kCount, 1},
      {"25", BatchAnswerKind::kCount, 25},
      {"30000", BatchAnswerKind::kCount, 30000},
      {"030000", BatchAnswerKind::kCount, 30000},
      {"", BatchAnswerKind::kCount, 0},
      {"0000", BatchAnswerKind::kCount, 0},
      {"30001", BatchAnswerKind::kTooMany, 0},
      {"99999", BatchAnswerKind::kTooMany, 0},
      {"100000", BatchAnswerKind::kTooMany, 0},
      {"99999999999999999999", BatchAnswerKind::kTooMany, 0},
      {"4294967297", BatchAnswerKind::kTooMany, 0},  // 2^32 + 1: no wrapping round to 1
      {"4294997296", BatchAnswerKind::kTooMany, 0},  // 2^32 + 30000
      {hundreds_of_digits.c_str(), BatchAnswerKind::kTooMany, 0},
      {zeros_then_five.c_str(), BatchAnswerKind::kCount, 30000},
      {" 5", BatchAnswerKind::kNotDigits, 0},
      {"5 ", BatchAnswerKind::kNotDigits, 0},
      {"+5", BatchAnswerKind::kNotDigits, 0},
      {"-5", BatchAnswerKind::kNotDigits, 0},
      {"5.0", BatchAnswerKind::kNotDigits, 0},
      {"cinco", BatchAnswerKind::kNotDigits, 0},
      {"12a", BatchAnswerKind::kNotDigits, 0},
      {"\xC2\xB2", BatchAnswerKind::kNotDigits, 0},  // a superscript two is no digit
  };
  for (const AnswerCase& c : cases) {
    const BatchAnswer checked = CheckBatchAnswer(c.answer);
    EXPECT_EQ(checked.kind, c.kind) << '"' << c.answer << '"';
    if (c.kind == BatchAnswerKind::kCount) {
      EXPECT_EQ(checked.count, c.count) << c.answer;
    }
  }
  // A letter far past the first characters is still seen.
  EXPECT_EQ(CheckBatchAnswer(hundreds_of_digits + "x").kind, BatchAnswerKind::kNotDigits);
  EXPECT_EQ(CheckBatchAnswer(std::string(299, '0') + "x").kind, BatchAnswerKind::kNotDigits);
}

// ---- The swatch file ------------------------------------------------------------

class SwatchTest : public ::testing::Test {
 protected:
  void SetUp() override { RemoveFile(SwatchPath()); }
  void TearDown() override { RemoveTree(SwatchPath()); }
  SharedFolderLock lock;
};

TEST_F(SwatchTest, IsASixteenPixelBoxInTheColourWithABlackOutline) {
  constexpr Colour kRed = 0x0000FF;
  ASSERT_TRUE(WriteSwatch(kRed));
  const std::string file = ReadWholeFile(SwatchPath());
  ASSERT_EQ(file.size(), 822u);
  EXPECT_EQ(file.substr(0, 2), "BM");

  const DecodedImage swatch = DecodeWithPil(SwatchPath());
  ASSERT_EQ(swatch.error, "");
  ASSERT_EQ(swatch.width, 16);
  ASSERT_EQ(swatch.height, 16);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(swatch.Rgb(15, i), 0xFFFFFFu) << "column 15, row " << i;
    EXPECT_EQ(swatch.Rgb(i, 15), 0xFFFFFFu) << "row 15, column " << i;
  }
  for (int i = 3; i <= 11; ++i) {  // the outline away from the rounded corners
    EXPECT_EQ(swatch.Rgb(0, i), 0x000000u) << "left edge " << i;
    EXPECT_EQ(swatch.Rgb(14, i), 0x000000u) << "right edge " << i;
    EXPECT_EQ(swatch.Rgb(i, 0), 0x000000u) << "top edge " << i;
    EXPECT_EQ(swatch.Rgb(i, 14), 0x000000u) << "bottom edge " << i;
  }
  for (int y = 2; y <= 12; ++y)
    for (int x = 2; x <= 12; ++x) EXPECT_EQ(swatch.Rgb(x, y), 0xFF0000u) << x << "," << y;

  // The swatch is still the drawing target, and the file holds exactly its pixels.
  PixelView view;
  ASSERT_TRUE(LockCurrentTargetPixels(&view));
  ASSERT_EQ(view.width, 16);
  ASSERT_EQ(view.height, 16);
  int different = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if ((view.pixels[y * view.stride + x] & 0xFFFFFFu) != swatch.Rgb(x, y)) ++different;
  UnlockDrawing();
  EXPECT_EQ(different, 0);
}

TEST_F(SwatchTest, AnUnwritableSwatchFileLeavesTheSwatchAsTarget) {
  ASSERT_TRUE(MakeFolder(SwatchPath()));  // a folder where the file should go
  EXPECT_FALSE(WriteSwatch(0x00FF00));
  PixelView view;
  ASSERT_TRUE(LockCurrentTargetPixels(&view));
  const int32_t width = view.width, height = view.height;
  const uint32_t middle = view.pixels[7 * view.stride + 7] & 0xFFFFFFu;
  UnlockDrawing();
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 16);
  EXPECT_EQ(middle, 0x00FF00u) << "green, drawn although it could not be saved";
}

TEST_F(SwatchTest, RemovalTakesAReadOnlySwatchAndRecordsCode53ForAMissingOne) {
  ASSERT_TRUE(WriteSwatch(0xC0C0C0));
  ASSERT_EQ(::chmod(SwatchPath().c_str(), 0444), 0);
  ClearRuntimeError();
  RemoveSwatch();
  EXPECT_FALSE(PathExists(SwatchPath()));
  EXPECT_EQ(LastRuntimeError(), 0) << "a removed swatch records nothing";
  RemoveSwatch();
  EXPECT_FALSE(PathExists(SwatchPath()));
  EXPECT_EQ(LastRuntimeError(), 53);
}

TEST_F(SwatchTest, ASwatchThatCannotBeRemovedRecordsCode75) {
  ASSERT_TRUE(WriteSwatch(0xC0C0C0));
  {
    ScopedImmutable immutable(SwatchPath());
    if (!immutable.set) GTEST_SKIP() << immutable.reason;
    ClearRuntimeError();
    RemoveSwatch();
    EXPECT_EQ(LastRuntimeError(), 75);
    EXPECT_TRUE(PathExists(SwatchPath()));
  }
  RemoveSwatch();
  EXPECT_FALSE(PathExists(SwatchPath()));
}

}  // namespace

// Files written on the second thread are the files SaveTargetImage writes, and the first
// one that fails stops the run with its number.
#include <gtest/gtest.h>

#include "card/run_seeds.h"
#include "card/renderer.h"
#include "files/background_saver.h"
#include "formats/bmp_writer.h"
#include "files/batch_card.h"
#include "files/card_files.h"
#include "tests/support/test_support.h"

#include <string>
#include <vector>

namespace {
uint32_t WhitePicture() {
  const uint32_t picture = NewBitmap(kPictureWidth, kPictureHeight);
  SelectTarget(picture, 0, 0);
  Clear(0xFFFFFF, 0);
  return picture;
}
}  // namespace

TEST(BackgroundSaver, WritesTheSameBytesAsASaveOnTheDrawingThread) {
  ScratchFolder folder;
  const uint32_t picture = WhitePicture();
  CardRun run;
  BackgroundSaver saver;
  StartSaver(&saver);
  for (int i = 1; i <= 4; ++i) {
    // As a run shows each card: the picture is left the drawing target.
    ShowCard(picture, 0, NextRunSeed(run, SeedBitsOfClock(45296789)));
    SelectTarget(picture, 0, 0);
    // The same picture saved the plain way, for comparison.
    ASSERT_EQ(SaveTargetImage(folder / ("plain" + CardFileName(i))), SaveError::kNone);
    ASSERT_TRUE(SaveInBackground(&saver, folder / CardFileName(i), i));
  }
  EXPECT_TRUE(FinishSaver(&saver));
  for (int i = 1; i <= 4; ++i) {
    const std::string written = ReadWholeFile(folder / CardFileName(i));
    EXPECT_EQ(written.size(), 521578u);
    EXPECT_EQ(written, ReadWholeFile(folder / ("plain" + CardFileName(i)))) << i;
  }
  EXPECT_NE(ReadWholeFile(folder / "0001.bmp"), ReadWholeFile(folder / "0002.bmp"));
}

TEST(BackgroundSaver, TheFirstFailedFileStopsTheRun) {
  ScratchFolder folder;
  WhitePicture();
  BackgroundSaver saver;
  StartSaver(&saver);
  ASSERT_TRUE(SaveInBackground(&saver, folder / "0001.bmp", 1));
  // The second file's folder is missing. Later files may be queued before the writer
  // finds out; once a save is refused, every later one is too.
  ASSERT_TRUE(SaveInBackground(&saver, folder / "missing/0002.bmp", 2));
  bool refused = false;
  for (int i = 3; i <= 8; ++i) {
    const bool queued = SaveInBackground(&saver, folder / CardFileName(i), i);
    EXPECT_FALSE(refused && queued) << "file " << i << " queued after a refusal";
    refused = refused || !queued;
  }
  EXPECT_FALSE(FinishSaver(&saver));
  EXPECT_EQ(saver.failed_number, 2);
  EXPECT_EQ(saver.failed_path, folder / "missing/0002.bmp");
  EXPECT_EQ(saver.failed_error, SaveError::kMissingFolder);
  EXPECT_EQ(FileLength(folder / "0001.bmp"), 521578);
  // Nothing after the failed file is written, queued or not.
  EXPECT_EQ(FolderEntries(folder.path), std::vector<std::string>{"0001.bmp"});
}

TEST(BackgroundSaver, ALastFileThatFailsIsReportedByFinish) {
  ScratchFolder folder;
  WhitePicture();
  BackgroundSaver saver;
  StartSaver(&saver);
  ASSERT_TRUE(SaveInBackground(&saver, folder / "missing/0001.bmp", 1));
  EXPECT_FALSE(FinishSaver(&saver));
  EXPECT_EQ(saver.failed_number, 1);
}

TEST(BackgroundSaver, NoTargetFailsAtOnce) {
  ScratchFolder folder;
  SelectTarget(0, 0, 0);  // no current target
  BackgroundSaver saver;
  StartSaver(&saver);
  EXPECT_FALSE(SaveInBackground(&saver, folder / "0001.bmp", 7));
  EXPECT_EQ(saver.failed_number, 7);
  EXPECT_EQ(saver.failed_error, SaveError::kOther) << "no picture: no file to blame";
  EXPECT_FALSE(FinishSaver(&saver));
  EXPECT_FALSE(PathExists(folder / "0001.bmp"));
}

// Surfaces, the current target, clearing, colours, copying and picture controls.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "draw/draw.h"
#include "tests/draw/draw_test_support.h"

namespace {
constexpr Colour kRed = 0x0000FF, kBlue = 0xFF0000;

// Whether every pixel of the current target has the colour.
bool AllPixels(uint32_t pixel) {
  const Picture picture = CurrentPicture();
  if (picture.pixels.empty()) return false;
  for (uint32_t p : picture.pixels)
    if (p != pixel) return false;
  return true;
}

class Surfaces : public ::testing::Test {
 protected:
  void SetUp() override { ClearRuntimeError(); }
  void TearDown() override { StopFakeFrontEnd(); }
};

TEST_F(Surfaces, NewBitmapGivesDistinctLiveHandlesAndRefusesImpossibleSizes) {
  std::set<uint32_t> handles;
  for (int i = 0; i < 3; ++i) handles.insert(NewBitmap(4, 4));
  EXPECT_EQ(handles.size(), 3u);
  EXPECT_EQ(handles.count(0), 0u);
  EXPECT_EQ(NewBitmap(0, 10), 0u);
  EXPECT_EQ(NewBitmap(10, -1), 0u);
  EXPECT_EQ(NewBitmap(200000, 200000), 0u);
  EXPECT_EQ(LastRuntimeError(), 0);  // a failed NewBitmap records nothing
}

TEST_F(Surfaces, NewBitmapIsNotCurrentUntilSelectedAndStartsFromTheInitialState) {
  const uint32_t old_card = NewClearedBitmap(40, 30, kWhite);
  SetLineWidth(5);
  SetColours(kRed, kColourNone);
  SelectFont(NewFont("Tahoma", 40, 1, 0, 0, 0));
  SetPos(20, 20);

  const uint32_t card = NewBitmap(40, 30);
  Clear(kBlue, 0);  // still the old card
  EXPECT_TRUE(AllPixels(Px(kBlue)));
  SelectTarget(old_card, 0, 0);
  EndBitmap();

  SelectTarget(card, 0, 0);
  EXPECT_EQ(LastRuntimeError(), 0);
  DrawBox(0, 0, 40, 30, 0, kWhite, kWhite, 0);
  DrawBox(2, 2, 12, 12, 0, kColourDefault, kColourNone, 0);
  Picture picture = CurrentPicture();
  EXPECT_EQ(picture.at(2, 2), Px(kBlack)) << "fore colour is the window-text colour";
  EXPECT_EQ(picture.at(3, 3), Px(kWhite)) << "line width 0 draws a one-pixel outline";

  // Position (0, 0), font 1 (a small font) and an opaque button-face background.
  Print("8");
  picture = CurrentPicture();
  EXPECT_EQ(picture.at(0, 0), Px(kButtonFaceColour));
  for (int32_t x = 0; x < 40; ++x) EXPECT_EQ(picture.at(x, 25), Px(kWhite)) << x;
  Clear(kColourDefault, 0);
  EXPECT_TRUE(AllPixels(Px(kButtonFaceColour)));
}

TEST_F(Surfaces, ClearOfTheBackColourPaintsItAndResetsThePosition) {
  NewClearedBitmap(30, 20, kBlue);
  SetColours(kBlack, kWhite);
  SetPos(15, 12);
  Clear(kColourDefault, 0);
  EXPECT_TRUE(AllPixels(Px(kWhite)));
  SetColours(kColourUnchanged, kRed);
  Print("8");  // its cell fill starts at the position
  EXPECT_EQ(CurrentPicture().at(0, 0), Px(kRed));
}

TEST_F(Surfaces, ClearPaintsNothingWithATransparentBackOrNoColourButStillResetsThePosition) {
  NewClearedBitmap(30, 20, kBlue);
  SetColours(kBlack, kColourNone);
  Clear(kColourDefault, 0);
  EXPECT_TRUE(AllPixels(Px(kBlue)));
  SetColours(kBlack, kWhite);
  Clear(kColourNone, 0);
  EXPECT_TRUE(AllPixels(Px(kBlue)));

  SetPos(15, 12);
  SetColours(kColourUnchanged, kColourNone);
  Clear(kColourNone, 0);
  SetColours(kColourUnchanged, kRed);
  Print("8");
  EXPECT_EQ(CurrentPicture().at(0, 0), Px(kRed));
}

TEST_F(Surfaces, ClearHatchesFollowTheGdiPatternsAnchoredAtTheOrigin) {
  NewClearedBitmap(16, 16, kWhite);
  SetColours(kBlack, kBlue);
  Clear(kRed, 1);  // HS_HORIZONTAL: the last row of every 8, gaps in the opaque back colour
  Picture picture = CurrentPicture();
  for (int32_t y = 0; y < 16; ++y)
    EXPECT_EQ(picture.at(5, y), Px(y % 8 == 7 ? kRed : kBlue)) << y;

  SetColours(kBlack, kColourNone);  // from here on the gaps keep the white
  const struct {
    int32_t style, x, y;
    bool line;
  } probes[] = {{2, 4, 3, true},  {2, 12, 9, true}, {2, 5, 3, false},  // HS_VERTICAL
                {3, 0, 0, true},  {3, 9, 9, true},  {3, 7, 0, false},  // HS_FDIAGONAL
                {4, 7, 0, true},  {4, 0, 7, true},  {4, 0, 0, false},  // HS_BDIAGONAL
                {5, 4, 0, true},  {5, 0, 7, true},  {5, 0, 0, false},  // HS_CROSS
                {6, 0, 0, true},  {6, 7, 0, true},  {6, 3, 0, false}};  // HS_DIAGCROSS
  for (const auto& probe : probes) {
    Clear(kWhite, 0);
    Clear(kRed, probe.style);
    EXPECT_EQ(CurrentPicture().at(probe.x, probe.y), Px(probe.line ? kRed : kWhite))
        << "style " << probe.style << " at " << probe.x << "," << probe.y;
  }

  Clear(kBlue, 99);  // out of range: solid
  EXPECT_TRUE(AllPixels(Px(kBlue)));
  Clear(kRed, -1);
  EXPECT_TRUE(AllPixels(Px(kRed)));
}

TEST_F(Surfaces, SetColoursKnowsDefaultUnchangedAndMasksTheTopByte) {
  NewClearedBitmap(20, 20, kWhite);
  SetColours(kRed, 0x7F123456);
  Clear(kColourDefault, 0);
  EXPECT_TRUE(AllPixels(Px(0x123456)));
  SetColours(kColourUnchanged, kColourUnchanged);
  DrawBox(0, 0, 20, 20, 0, kColourDefault, kColourNone, 0);
  EXPECT_EQ(CurrentPicture().at(0, 0), Px(kRed));
  SetColours(kColourDefault, kColourDefault);
  DrawBox(0, 0, 20, 20, 0, kColourDefault, kColourNone, 0);
  Picture picture = CurrentPicture();
  EXPECT_EQ(picture.at(0, 0), Px(kWindowTextColour));
  Clear(kColourDefault, 0);
  EXPECT_TRUE(AllPixels(Px(kButtonFaceColour)));
}

TEST_F(Surfaces, SelectingSomethingThatIsNoSurfaceRecordsErrorFiveAndLeavesNoTarget) {
  const uint32_t bitmap = NewClearedBitmap(10, 10, kWhite);
  SelectTarget(0, 0, 0);
  EXPECT_EQ(LastRuntimeError(), kErrorMisusedDrawing);
  PixelView view;
  EXPECT_FALSE(LockCurrentTargetPixels(&view));
  Clear(kRed, 0);
  DrawBox(0, 0, 10, 10, 0, kRed, kRed, 0);
  SetPos(0, 0);
  Print("88");
  CopyBitmap(bitmap, 0, 0);
  EndBitmap();
  SelectTarget(bitmap, 0, 0);
  EXPECT_TRUE(AllPixels(Px(kWhite))) << "drawing without a target must do nothing";

  ClearRuntimeError();
  SelectTarget(0x12345, 7, 0);
  EXPECT_EQ(LastRuntimeError(), kErrorMisusedDrawing);
}

TEST_F(Surfaces, EndBitmapEndsTheCurrentBitmapOnly) {
  const uint32_t bitmap = NewClearedBitmap(10, 10, kWhite);
  EndBitmap();
  PixelView view;
  EXPECT_FALSE(LockCurrentTargetPixels(&view));
  EXPECT_EQ(LastRuntimeError(), 0);
  SelectTarget(bitmap, 0, 0);
  EXPECT_EQ(LastRuntimeError(), kErrorMisusedDrawing) << "an ended bitmap names nothing";

  StartFakeFrontEnd();
  SelectTarget(kWindow, kControlId, 0);
  EndBitmap();
  ASSERT_TRUE(LockCurrentTargetPixels(&view)) << "the control stays selected";
  UnlockDrawing();
  EXPECT_EQ(view.width, kControlWidth);
  EXPECT_EQ(view.height, kControlHeight);
}

// A batch ends its card image and makes the next one many thousand times; whatever the
// new bitmap reuses, nothing of the old one's drawing state may come with it.
TEST_F(Surfaces, ABitmapMadeAfterOneWasEndedStartsFromTheInitialStateToo) {
  for (int card = 0; card < 3; ++card) {
    const uint32_t old_card = NewClearedBitmap(40, 30, kWhite);
    SetLineWidth(5);
    SetColours(kRed, kColourNone);
    SelectFont(NewFont("Tahoma", 40, 1, 0, 0, 0));
    SetPos(20, 20);
    EndBitmap();
    EXPECT_TRUE(CurrentPicture().pixels.empty()) << "the ended bitmap is no target";

    const uint32_t card_image = NewBitmap(40, 30);
    SelectTarget(old_card, 0, 0);
    EXPECT_EQ(LastRuntimeError(), kErrorMisusedDrawing) << "the old handle names nothing";
    ClearRuntimeError();
    SelectTarget(card_image, 0, 0);
    EXPECT_EQ(CurrentPicture().width, 40);
    EXPECT_EQ(CurrentPicture().height, 30);
    DrawBox(0, 0, 40, 30, 0, kWhite, kWhite, 0);
    DrawBox(2, 2, 12, 12, 0, kColourDefault, kColourNone, 0);
    Picture picture = CurrentPicture();
    EXPECT_EQ(picture.at(2, 2), Px(kBlack)) << "fore colour is the window-text colour";
    EXPECT_EQ(picture.at(3, 3), Px(kWhite)) << "line width 0 draws a one-pixel outline";
    Print("8");
    picture = CurrentPicture();
    EXPECT_EQ(picture.at(0, 0), Px(kButtonFaceColour)) << "position (0, 0), opaque back";
    for (int32_t x = 0; x < 40; ++x) EXPECT_EQ(picture.at(x, 25), Px(kWhite)) << x;
    EndBitmap();
  }
  // A bitmap of another size after one was ended has that size, all of it drawable.
  NewClearedBitmap(40, 30, kWhite);
  EndBitmap();
  const uint32_t larger = NewClearedBitmap(90, 70, kRed);
  EXPECT_EQ(CurrentPicture().pixels.size(), 90u * 70u);
  EXPECT_TRUE(AllPixels(Px(kRed)));
  SelectTarget(larger, 0, 0);
  EndBitmap();
}

// Asking the front end is a round trip to the window system on Windows; a bitmap's handle
// is never a window, so selecting or copying a bitmap must not ask.
TEST_F(Surfaces, BitmapsAreFoundWithoutAskingTheFrontEnd) {
  StartFakeFrontEnd();
  const uint32_t bitmap = NewClearedBitmap(5, 5, kRed);
  SelectTarget(bitmap, 0, 0);
  SelectTarget(bitmap, kControlId, 0);
  SelectTarget(kWindow, kControlId, 0);
  CopyBitmap(bitmap, 0, 0);
  EXPECT_EQ(ControlLookups(), std::vector<uint32_t>({kWindow}));
  EXPECT_EQ(CurrentPicture().at(4, 4), Px(kRed)) << "the copy reached the control";
  SelectTarget(bitmap, 0, 0);
  EndBitmap();
}

TEST_F(Surfaces, SelectTargetFallsBackToTheHandleWhenNoControlHasTheId) {
  StartFakeFrontEnd();
  const uint32_t bitmap = NewBitmap(5, 5);
  ClearRuntimeError();
  SelectTarget(bitmap, kControlId, 0);
  EXPECT_EQ(LastRuntimeError(), 0);
  EXPECT_EQ(CurrentPicture().width, 5);
  SelectTarget(kControl, 0, 0);  // a control by its own handle
  EXPECT_EQ(CurrentPicture().width, kControlWidth);
}

TEST_F(Surfaces, ControlSurfaceStartsInTheBackColourAndIsCurrentOnlyForAThreadWithoutOne) {
  SetControlHooks(nullptr);
  StartFakeFrontEnd();
  SelectTarget(kWindow, kControlId, 0);
  EXPECT_TRUE(AllPixels(Px(kButtonFaceColour)));

  const uint32_t bitmap = NewBitmap(3, 3);
  SelectTarget(bitmap, 0, 0);
  NewControlSurface(kControl);  // made again; this thread already draws on the bitmap
  EXPECT_EQ(CurrentPicture().width, 3);

  int32_t width_seen = -1;
  std::thread([&] {
    NewControlSurface(kControl);
    width_seen = CurrentPicture().width;
  }).join();
  EXPECT_EQ(width_seen, kControlWidth);
}

TEST_F(Surfaces, CopyOntoTheControlChangesOnlyTheCommonRectangleAndRepaintsBeforeReturning) {
  StartFakeFrontEnd();
  const uint32_t card = NewClearedBitmap(720, 280, kWhite);
  DrawBox(1, 1, 80, 80, 0, kRed, kBlue, 0);
  DrawBox(600, 200, 720, 280, 0, kRed, kRed, 0);
  const Picture source = CurrentPicture();

  SelectTarget(kWindow, kControlId, 0);
  RepaintCalls().clear();
  CopyBitmap(card, 0, 0xCC0020);
  const Picture control = CurrentPicture();
  for (int32_t y = 0; y < kControlHeight; ++y) {
    for (int32_t x = 0; x < kControlWidth; ++x) {
      const uint32_t expected = x < 720 ? source.at(x, y) : Px(kButtonFaceColour);
      ASSERT_EQ(control.at(x, y), expected) << x << "," << y;
    }
  }
  ASSERT_EQ(RepaintCalls().size(), 1u);
  const RepaintCall& call = RepaintCalls()[0];
  EXPECT_EQ(call.control, kControl);
  EXPECT_EQ(call.x, 0);
  EXPECT_EQ(call.y, 0);
  EXPECT_EQ(call.width, kControlWidth);
  EXPECT_EQ(call.height, kControlHeight);
  EXPECT_EQ(call.shown, control.pixels) << "the repaint saw the copied pixels";
}

TEST_F(Surfaces, CopyModesCombineSourceAndTarget) {
  constexpr Colour kSource = 0x0F3355, kTarget = 0x33F0AA;
  const uint32_t source = NewClearedBitmap(2, 2, kSource);
  const uint32_t s = kSource, d = kTarget;
  struct Case {
    int32_t mode;
    uint32_t expected;
  } cases[] = {{2, ~(s | d)}, {4, ~s},      {5, s & ~d},  {7, s ^ d},   {9, s & d},
               {12, ~s | d},  {15, s | d},  {0, s},       {3, s},       {14, s},
               {16, s},       {-1, s},      {0xCC0020, s}};
  const uint32_t target = NewBitmap(2, 2);
  for (const Case& c : cases) {
    SelectTarget(target, 0, 0);
    Clear(kTarget, 0);
    CopyBitmap(source, 0, c.mode);
    EXPECT_TRUE(AllPixels(Px(Colour(c.expected & 0xFFFFFF)))) << "mode " << c.mode;
  }
}

TEST_F(Surfaces, CopyFromNothingDoesNothingAndRecordsNothing) {
  NewClearedBitmap(4, 4, kWhite);
  CopyBitmap(0x4242, 0, 0);
  CopyBitmap(0, 0, 0);
  EXPECT_TRUE(AllPixels(Px(kWhite)));
  EXPECT_EQ(LastRuntimeError(), 0);
}

TEST_F(Surfaces, CopyFindsAControlSourceByWindowAndIdAndMayCopyASurfaceOntoItself) {
  StartFakeFrontEnd();
  SelectTarget(kWindow, kControlId, 0);
  Clear(kRed, 0);
  const uint32_t bitmap = NewClearedBitmap(800, 10, kWhite);
  CopyBitmap(kWindow, kControlId, 0);
  const Picture picture = CurrentPicture();
  EXPECT_EQ(picture.at(720, 9), Px(kRed));
  EXPECT_EQ(picture.at(721, 0), Px(kWhite));
  CopyBitmap(bitmap, 0, 0);
  EXPECT_EQ(CurrentPicture().pixels, picture.pixels);
}

TEST_F(Surfaces, ControlChangesAreRepaintedClippedToTheSurfaceAndBitmapsNever) {
  StartFakeFrontEnd();
  SelectTarget(kWindow, kControlId, 0);
  RepaintCalls().clear();
  SetLineWidth(1);
  DrawBox(10, 20, 30, 40, 0, kRed, kBlue, 0);
  DrawBox(700, 230, 800, 300, 0, kRed, kBlue, 0);
  SetLineWidth(6);
  DrawBox(100, 100, 110, 110, 0, kRed, kBlue, 0);
  Clear(kWhite, 0);
  ASSERT_EQ(RepaintCalls().size(), 4u);
  auto rect = [](const RepaintCall& c) {
    return std::vector<int32_t>{c.x, c.y, c.width, c.height};
  };
  EXPECT_EQ(rect(RepaintCalls()[0]), (std::vector<int32_t>{9, 19, 22, 22}));
  EXPECT_EQ(rect(RepaintCalls()[1]), (std::vector<int32_t>{699, 229, 22, 12}));
  EXPECT_EQ(rect(RepaintCalls()[2]), (std::vector<int32_t>{96, 96, 18, 18}));
  EXPECT_EQ(rect(RepaintCalls()[3]), (std::vector<int32_t>{0, 0, kControlWidth, kControlHeight}));
  EXPECT_EQ(RepaintCalls()[0].shown[25 * kControlWidth + 20], Px(kBlue));

  RepaintCalls().clear();
  NewClearedBitmap(10, 10, kWhite);
  DrawBox(0, 0, 5, 5, 0, kRed, kBlue, 0);
  Print("8");
  EXPECT_TRUE(RepaintCalls().empty());
}

TEST_F(Surfaces, EachThreadHasItsOwnTarget) {
  NewClearedBitmap(4, 4, kWhite);
  bool had_target = true;
  std::thread([&] {
    PixelView view;
    had_target = LockCurrentTargetPixels(&view);
    if (had_target) UnlockDrawing();
    Clear(kRed, 0);
  }).join();
  EXPECT_FALSE(had_target);
  EXPECT_TRUE(AllPixels(Px(kWhite)));
}

TEST_F(Surfaces, TheDrawingLockHoldsOffOtherThreadsUntilReleased) {
  NewClearedBitmap(4, 4, kWhite);
  PixelView view;
  ASSERT_TRUE(LockCurrentTargetPixels(&view));
  std::atomic<bool> cleared{false};
  std::thread other([&] {
    NewClearedBitmap(4, 4, kWhite);
    cleared = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(cleared.load()) << "another thread drew while the lock was held";
  UnlockDrawing();
  other.join();
  EXPECT_TRUE(cleared.load());
}

TEST(RuntimeErrors, CodesFrom241EndTheProcessWith255) {
  EXPECT_EXIT(RecordRuntimeError(241), ::testing::ExitedWithCode(255), "");
  RecordRuntimeError(240);
  EXPECT_EQ(LastRuntimeError(), 240);
  ClearRuntimeError();
  EXPECT_EQ(LastRuntimeError(), 0);
}
}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "card/renderer.h"
#include "runs/card_run.h"
#include "tests/support/test_support.h"

namespace {
struct Said {
  std::vector<std::string> errors;
};

void Keep(void* context, bool is_error, const std::string& text) {
  if (is_error) static_cast<Said*>(context)->errors.push_back(text);
}

CardRunHooks HooksOf(Said* said) {
  CardRunHooks hooks;
  hooks.context = said;
  hooks.say = Keep;
  return hooks;
}

CardRunRequest TwoCards(const ScratchFolder& scratch) {
  CardRunRequest request;
  request.count = 2;
  request.out = scratch / "cartones";
  request.start.has_code = true;
  request.start.code_bits = 0x4730F0CA;
  return request;
}

// The bingo window's form has no options: its refusals must not name any.
TEST(CardRunTest, RefusalsByDefaultNameNoCommandLineOption) {
  ScratchFolder scratch;
  CardRunRequest same = TwoCards(scratch);
  same.list = same.pdf = scratch / "x.csv";
  Said said;
  EXPECT_EQ(MakeCardRun(same, HooksOf(&said)), CardRunOutcome::kBadInput);
  ASSERT_EQ(said.errors.size(), 1u);
  EXPECT_EQ(said.errors[0].rfind("la lista y las hojas no pueden ser el mismo archivo: ", 0), 0u)
      << said.errors[0];
  CardRunRequest onto_card = TwoCards(scratch);
  onto_card.pdf = onto_card.out + "/0002.bmp";
  said.errors.clear();
  // The card file must be there for the clash to be seen: the run's files come first.
  ASSERT_EQ(MakeCardRun(TwoCards(scratch), HooksOf(&said)), CardRunOutcome::kMade);
  EXPECT_EQ(MakeCardRun(onto_card, HooksOf(&said)), CardRunOutcome::kBadInput);
  ASSERT_EQ(said.errors.size(), 1u);
  EXPECT_EQ(said.errors[0].rfind("las hojas no pueden ser uno de los cartones de la tanda: ", 0), 0u)
      << said.errors[0];
  for (const std::string& text : said.errors) EXPECT_EQ(text.find("--"), std::string::npos) << text;
}

// A run draws in its own colour and leaves the first program's colour as it was.
TEST(CardRunTest, TheRunsColourIsItsOwn) {
  ScratchFolder scratch;
  CardRunRequest red = TwoCards(scratch);
  red.colour = 0x0000FF;
  Said said;
  ASSERT_EQ(MakeCardRun(red, HooksOf(&said)), CardRunOutcome::kMade);
  EXPECT_EQ(g_card_colour, kDefaultCardColour);
  CardRunRequest grey = TwoCards(scratch);
  grey.out = scratch / "gris";
  ASSERT_EQ(MakeCardRun(grey, HooksOf(&said)), CardRunOutcome::kMade);
  // A blank cell is a run of the card colour: stored as blue, green, red.
  std::string red_pixels, grey_pixels;
  for (int i = 0; i < 60; ++i) red_pixels += std::string("\x00\x00\xFF", 3);
  for (int i = 0; i < 60; ++i) grey_pixels += std::string("\xC0\xC0\xC0", 3);
  const std::string red_card = ReadWholeFile(red.out + "/0001.bmp");
  const std::string grey_card = ReadWholeFile(grey.out + "/0001.bmp");
  EXPECT_NE(red_card.find(red_pixels), std::string::npos);
  EXPECT_EQ(red_card.find(grey_pixels), std::string::npos);
  EXPECT_NE(grey_card.find(grey_pixels), std::string::npos);
  EXPECT_EQ(grey_card.find(red_pixels), std::string::npos);
}
}  // namespace

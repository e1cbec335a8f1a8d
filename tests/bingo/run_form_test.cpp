// The run form's answers as both windows hand them over: series counted by six, the
// outputs in the folder, and the count's range for each kind.
#include "bingo/run_form.h"

#include <gtest/gtest.h>

#include "disk/file_system.h"

TEST(RunFormTest, AnswersMakeTheRunBothWindowsAskFor) {
  RunFormAnswers answers;
  answers.kind = 1;
  answers.count = 50;
  answers.colour = 0x123456;
  answers.title = "Bingo de las fiestas";
  answers.paper = 1;
  answers.folder = "/srv/sala";
  answers.extra = 1;
  CardRunRequest offered;
  offered.first_place = 4;  // what the controller set stays
  const CardRunRequest series = RunRequestOf(answers, offered);
  EXPECT_EQ(series.first_place, 4);
  EXPECT_EQ(series.type, CardType::kSeries90);
  EXPECT_EQ(series.count, 300);  // 50 series of six
  EXPECT_EQ(series.colour, 0x123456u);
  EXPECT_EQ(series.title, "Bingo de las fiestas");
  EXPECT_EQ(series.paper, Paper::kLetter);
  EXPECT_EQ(series.out, "/srv/sala");
  EXPECT_TRUE(series.png);
  EXPECT_FALSE(series.no_files);
  EXPECT_EQ(series.list, PathInFolder("/srv/sala", "cartones.csv"));
  EXPECT_EQ(series.pdf, PathInFolder("/srv/sala", "hojas.pdf"));

  answers.kind = 0;
  answers.extra = 0;
  answers.paper = 0;
  const CardRunRequest cards = RunRequestOf(answers);
  EXPECT_EQ(cards.type, CardType::kAnywhere99);
  EXPECT_EQ(cards.count, 50);
  EXPECT_EQ(cards.paper, Paper::kA4);
  EXPECT_TRUE(cards.no_files);
  answers.extra = 2;  // BMP files
  EXPECT_FALSE(RunRequestOf(answers).no_files || RunRequestOf(answers).png);
}

TEST(RunFormTest, TheCountIsRefusedOutsideItsKindsRange) {
  RunFormAnswers answers;
  for (const int count : {1, 5000, 30000}) {
    answers.count = count;
    EXPECT_EQ(RunFormCountRefusal(answers), "") << count;
  }
  for (const int count : {0, 30001}) {
    answers.count = count;
    EXPECT_EQ(RunFormCountRefusal(answers), "Cuántos cartones: de 1 a 30000") << count;
  }
  answers.kind = 1;
  answers.count = 5000;
  EXPECT_EQ(RunFormCountRefusal(answers), "");
  answers.count = 5001;  // 30,006 cartones
  EXPECT_EQ(RunFormCountRefusal(answers), "Cuántas series: de 1 a 5000");
}

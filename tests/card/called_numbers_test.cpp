#include <gtest/gtest.h>

#include "tests/support/took.h"

#include <vector>

#include "card/called_numbers.h"

namespace {
std::vector<int> Order(const CalledNumbers& called) {
  return std::vector<int>(called.order.begin(), called.order.end());
}

// Parses text that must be refused; returns the message, and checks that the numbers
// held beforehand were left as they were.
std::string Refusal(const std::string& text, CalledSource source) {
  CalledNumbers called;
  CallNumber(&called, 42);
  std::string error;
  EXPECT_FALSE(Took(ParseCalledNumbers(text, source), &CalledRead::called, &called, &error)) << text;
  EXPECT_EQ(Order(called), std::vector<int>{42}) << text;
  EXPECT_EQ(called.place[42], 1) << text;
  EXPECT_FALSE(error.empty()) << text;
  return error;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}
}  // namespace

TEST(CalledNumbers, BlanksCommasAndLineBreaksSeparateNumbersInCallOrder) {
  CalledNumbers called;
  std::string error;
  ASSERT_TRUE(Took(ParseCalledNumbers(" 7 12,33\n4\t5 , 6,,\r\n099 001", CalledSource::kArgument), &CalledRead::called, &called, &error))
      << error;
  const std::vector<int> expected{7, 12, 33, 4, 5, 6, 99, 1};
  EXPECT_EQ(Order(called), expected);
  for (int n = 1; n <= 99; ++n) {
    size_t place = 0;
    for (size_t i = 0; i < expected.size(); ++i)
      if (expected[i] == n) place = i + 1;
    EXPECT_EQ(called.place[n], place) << n;
  }
}

TEST(CalledNumbers, AFileMayHaveOneOrMoreALineAndAByteOrderMark) {
  CalledNumbers called;
  std::string error;
  ASSERT_TRUE(Took(ParseCalledNumbers("\xEF\xBB\xBF" "3\r\n14 15\r\n\r\n92,65\n", CalledSource::kFile), &CalledRead::called, &called, &error))
      << error;
  EXPECT_EQ(Order(called), (std::vector<int>{3, 14, 15, 92, 65}));
  // In an argument the mark is no number.
  EXPECT_TRUE(Contains(Refusal("\xEF\xBB\xBF" "3", CalledSource::kArgument), "no es un número"));
}

TEST(CalledNumbers, EveryNumberFrom1To99OnceIsAWholeGame) {
  std::string text;
  for (int n = 99; n >= 1; --n) text += std::to_string(n) + (n % 10 ? " " : "\n");
  CalledNumbers called;
  std::string error;
  ASSERT_TRUE(Took(ParseCalledNumbers(text, CalledSource::kFile), &CalledRead::called, &called, &error)) << error;
  ASSERT_EQ(called.order.size(), 99u);
  for (int n = 1; n <= 99; ++n) EXPECT_EQ(called.place[n], 100 - n);
}

TEST(CalledNumbers, NumbersOutsideTheRangeAreNamed) {
  for (const char* bad : {"0", "100", "000", "999", "123456789012345678901234"}) {
    const std::string error = Refusal(std::string("7 ") + bad + " 9", CalledSource::kArgument);
    EXPECT_TRUE(Contains(error, "fuera de rango")) << error;
    EXPECT_TRUE(Contains(error, std::string(bad).substr(0, 12))) << error;
    EXPECT_TRUE(Contains(error, "1 a 99")) << error;
    EXPECT_FALSE(Contains(error, "línea")) << error;
  }
}

TEST(CalledNumbers, WhatIsNotAWholeNumberIsNamed) {
  for (const char* bad : {"x", "7a", "-5", "+5", "5.0", "1e2", "½", "0x10", "5;6"}) {
    const std::string error = Refusal(std::string("7 ") + bad, CalledSource::kArgument);
    EXPECT_TRUE(Contains(error, std::string("\"") + bad + "\" no es un número")) << error;
  }
}

// A token is shown escaped: the message of a hostile file cannot set the terminal's title.
TEST(CalledNumbers, ATokenWithControlBytesIsShownEscaped) {
  std::string error = Refusal("8 65\n30 \x1b]0;owned\x07 27\n", CalledSource::kFile);
  EXPECT_TRUE(Contains(error, "línea 2: \"\\x1b]0;owned\\x07\" no es un número")) << error;
  error = Refusal("7 5\xC2\x9B" "2J", CalledSource::kArgument);
  EXPECT_TRUE(Contains(error, "\"5\\u009b2J\" no es un número")) << error;
  error = Refusal("7 \xFF\xFE", CalledSource::kArgument);
  EXPECT_TRUE(Contains(error, "\"\\xff\\xfe\" no es un número")) << error;
  for (const std::string& bad : {std::string("\x1b[2J"), std::string("1\x00" "2", 3),
                                 std::string("\x7f\x1b\x1b\x1b\x1b\x1b\x1b\x1b\x1b\x1b\x1b\x1b\x1b")}) {
    error = Refusal("7 " + bad, CalledSource::kArgument);
    for (char byte : error)
      EXPECT_FALSE(static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F) << error;
  }
}

TEST(CalledNumbers, ANumberCalledTwiceIsRefused) {
  std::string error = Refusal("7 12 33 12", CalledSource::kArgument);
  EXPECT_TRUE(Contains(error, "el número 12 se cantó dos veces")) << error;
  // Leading zeros do not make another number.
  error = Refusal("7 007", CalledSource::kArgument);
  EXPECT_TRUE(Contains(error, "el número 7 se cantó dos veces")) << error;
  // In a file both lines are named.
  error = Refusal("1 2\n3\n4 2\n", CalledSource::kFile);
  EXPECT_TRUE(Contains(error, "línea 3: el número 2 se cantó dos veces (ya en la línea 1)"))
      << error;
}

TEST(CalledNumbers, FileErrorsNameTheLine) {
  std::string error = Refusal("1 2\n3 4\r\n5 x6\n7", CalledSource::kFile);
  EXPECT_TRUE(Contains(error, "línea 3: \"x6\" no es un número")) << error;
  error = Refusal("\n\n\n120", CalledSource::kFile);
  EXPECT_TRUE(Contains(error, "línea 4: número fuera de rango: 120")) << error;
}

TEST(CalledNumbers, NoNumberAtAllIsRefused) {
  for (const char* empty : {"", " ", " , ,", "\n\r\n\t"}) {
    EXPECT_TRUE(Contains(Refusal(empty, CalledSource::kArgument), "ningún número")) << empty;
    EXPECT_TRUE(Contains(Refusal(empty, CalledSource::kFile), "ningún número")) << empty;
  }
}

TEST(CalledNumbers, CallNumberKeepsOrderAndRefusesRepeatsAndStrays) {
  CalledNumbers called;
  EXPECT_TRUE(CallNumber(&called, 99));
  EXPECT_TRUE(CallNumber(&called, 1));
  EXPECT_FALSE(CallNumber(&called, 99));
  EXPECT_FALSE(CallNumber(&called, 0));
  EXPECT_FALSE(CallNumber(&called, 100));
  EXPECT_FALSE(CallNumber(&called, -1));
  EXPECT_EQ(Order(called), (std::vector<int>{99, 1}));
  EXPECT_EQ(called.place[99], 1);
  EXPECT_EQ(called.place[1], 2);
}

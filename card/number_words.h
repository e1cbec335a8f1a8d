// A bingo number as the caller says it in Spanish ("cuarenta y siete"), for the voice
// of both bingo windows (Qt TextToSpeech on Linux, SAPI on Windows). Portable; UTF-8.
#pragma once
#include <string>

// The words for 1..99; "" for any other number.
std::string SpanishNumberWords(int number);

// Prints "47<TAB>cuarenta y siete" for every number of the game, one a line: the texts
// the build gives espeak-ng, so that a recording says what the window shows.
#include <cstdio>

#include "card/layout.h"
#include "card/number_words.h"

int main() {
  for (int number = 1; number <= kHighestNumber; ++number)
    std::printf("%d\t%s\n", number, SpanishNumberWords(number).c_str());
  return 0;
}

// The cards in play: all of a list, or the card numbers sold, written as ranges of
// places in the list ("1-250, 300-320"; card 1 is the list's first).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// More digits than this is no card number of a list (at most 30,000 cards, and a margin).
constexpr size_t kMostCardNumberDigits = 6;

struct CardsInPlay {
  std::vector<uint8_t> in_play;  // one a card of the list: 1 = in play
  size_t count = 0;
  std::string text;   // as the journal and the record write it: "1-250,300-320"
  std::string error;  // "" when read; else why not, in Spanish
};

// "" (or "todos") means every card of the list. Ranges and single numbers separated by
// commas or blanks; a number outside the list, a range backwards or anything that is not
// a number is refused, naming it.
CardsInPlay ParseCardsInPlay(const std::string& text, size_t list_size);

// The cards marked 1 as ParseCardsInPlay reads them back: "1-12,14"; "" for none.
std::string RangesText(const std::vector<uint8_t>& in_play);

// The card's number as the hall says it, at least four digits: card index 299 is "0300".
std::string CardNumberText(size_t card_index);

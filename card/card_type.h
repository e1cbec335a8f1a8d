// The two kinds of card Tessarine makes. A kind is data the list, the renderer, the
// sheets, the checks, the game and the boards take, not a fork of each:
//   - kAnywhere99: the program's own card, 15 numbers from 1 to 99 anywhere on it, fixed
//     by a 32-bit seed whose 8 hexadecimal digits are its code;
//   - kSeries90: the cartón halls play with a cage of 90, one of a series of six that
//     holds 1 to 90 once (card/series.h), its code naming the series and its place.
#pragma once
#include <cstdint>

enum class CardType : uint8_t { kAnywhere99, kSeries90 };

// The highest ball of a game of that kind: the cage holds 1 to this.
constexpr int HighestBall(CardType type) { return type == CardType::kSeries90 ? 90 : 99; }

// The checkable draw: balls that anyone can recompute once the game is over, and that
// nobody, the organiser included, can know or choose before they come out.
//
// When a game starts, the program makes a secret key of 32 bytes from the system's
// cryptographic source, and shows its SHA-256, the commitment, before the first ball.
// The n-th ball the program draws in the game (n = 1, 2, 3 ... over every ball it draws,
// an undone one included; balls marked from a cage take no n) comes from
//
//   message(n) = "tessarine-bola|<started_ms>|<list_sha256>|<n>"
//
// where started_ms is the game's start in milliseconds since 1970 (UTC) in decimal
// digits, and list_sha256 the 64 lower-case hexadecimal digits of its list's SHA-256
// (the record's rows "inicio" and "sha256"). The bits are HMAC-SHA256(key, message(n)),
// then HMAC-SHA256(key, message(n) + "|" + k) for k = 1, 2 ... while more are needed,
// read as 32-bit big-endian words in turn. With `left` numbers not yet called, a word w
// is kept only when w < 2^32 - (2^32 mod left), so that every j below `left` is equally
// likely, and then j = w mod left; the ball is the number at place j (from 0) among the
// numbers not yet called, in ascending order.
//
// The key is kept in the game's journal only, and is revealed in the record once every
// prize is given: then the record's balls can be checked against the commitment.
#pragma once
#include <cstdint>
#include <string>

#include "card/called_numbers.h"
#include "game/game.h"

constexpr size_t kDrawKeyBytes = 32;

struct DrawKeyResult {
  std::string key;    // kDrawKeyBytes bytes
  std::string error;  // "" when made
};
DrawKeyResult MakeDrawKey();
// The key as 64 lower-case hexadecimal digits, as the journal and the record write it.
std::string DrawKeyHex(const std::string& key);
// The key's 64 hexadecimal digits back to its bytes; "" when they are not that.
std::string DrawKeyOfHex(const std::string& hex);

// The commitment: the SHA-256 of the key, in 64 lower-case hexadecimal digits.
std::string CommitmentOf(const std::string& key);
// The game's commitment in groups of four digits, for reading out: "3b0c 91ae …"; "" for a
// game with no checkable draw.
std::string CommitmentText(const Game& game);
std::string HexInGroups(const std::string& hex);

std::string DrawMessage(int64_t started_ms, const std::string& list_sha256, uint32_t n);
// The ball the key gives for the message among the numbers of the cage (1 to `highest`)
// not yet called; 0 when every number has been called.
uint8_t CheckableBall(const std::string& key, const std::string& message,
                      const CalledNumbers& called, int highest = kHighestNumber);

// The n the program's next drawn ball takes in the game.
uint32_t NextDrawNumber(const Game& game);
// The draw numbers of the game's calls, in Game::calls' order: 0 for a ball from a cage.
std::vector<uint32_t> DrawNumbers(const Game& game);

// An independent model of a bingo game for the tests: cards as plain sets of numbers per
// row, the numbers called kept as a plain list, and every question answered by looking
// at every row of every card in play again, the slow and obvious way.
#pragma once
#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "card/layout.h"
#include "formats/card_list.h"

struct ModelCard {
  std::set<int> rows[kCardRows];
  bool in_play = false;
};

struct ModelGame {
  std::vector<ModelCard> cards;
  std::vector<int> needs;            // full rows each prize needs, in order
  size_t stage = 0;                  // prizes confirmed so far
  std::vector<int> called;           // the calls that stand
  std::vector<size_t> stage_before;  // per standing call: `stage` when it was made
};

ModelGame ModelOf(const std::vector<ListLine>& list, const std::vector<bool>& in_play,
                  std::vector<int> needs);
int FullRows(const ModelCard& card, const std::vector<int>& called);
// The cards (indices) in play that have the current prize and whose row with the last
// number called is full.
std::vector<uint32_t> ModelWinners(const ModelGame& game);
void ModelCall(ModelGame* game, int number);
void ModelUndo(ModelGame* game);
void ModelConfirm(ModelGame* game);

// A list of `count` cards with distinct random codes.
std::vector<ListLine> RandomList(size_t count, std::mt19937* random);

#include "game_model.h"

#include <algorithm>
#include <string>

ModelGame ModelOf(const std::vector<ListLine>& list, const std::vector<bool>& in_play,
                  std::vector<int> needs) {
  ModelGame game;
  game.needs = std::move(needs);
  for (size_t i = 0; i < list.size(); ++i) {
    ModelCard card;
    card.in_play = in_play[i];
    for (int row = 0; row < kCardRows; ++row)
      for (int column = 0; column < kCardColumns; ++column)
        if (list[i].layout.cell[row][column] != 0)
          card.rows[row].insert(list[i].layout.cell[row][column]);
    game.cards.push_back(card);
  }
  return game;
}

int FullRows(const ModelCard& card, const std::vector<int>& called) {
  int full = 0;
  for (const std::set<int>& row : card.rows) {
    bool all = true;
    for (int number : row) all = all && std::count(called.begin(), called.end(), number) == 1;
    full += all;
  }
  return full;
}

std::vector<uint32_t> ModelWinners(const ModelGame& game) {
  std::vector<uint32_t> winners;
  if (game.called.empty() || game.stage >= game.needs.size()) return winners;
  const int last = game.called.back();
  for (size_t i = 0; i < game.cards.size(); ++i) {
    const ModelCard& card = game.cards[i];
    if (!card.in_play || FullRows(card, game.called) < game.needs[game.stage]) continue;
    for (const std::set<int>& row : card.rows) {
      if (row.count(last) == 0) continue;
      bool all = true;
      for (int number : row)
        all = all && std::count(game.called.begin(), game.called.end(), number);
      if (all) winners.push_back(static_cast<uint32_t>(i));
    }
  }
  return winners;
}

void ModelCall(ModelGame* game, int number) {
  game->called.push_back(number);
  game->stage_before.push_back(game->stage);
}

void ModelUndo(ModelGame* game) {
  game->called.pop_back();
  game->stage = game->stage_before.back();
  game->stage_before.pop_back();
}

void ModelConfirm(ModelGame* game) { ++game->stage; }

std::vector<ListLine> RandomList(size_t count, std::mt19937* random) {
  std::set<uint32_t> seeds;
  std::vector<ListLine> list;
  while (list.size() < count) {
    const uint32_t seed = (*random)();
    if (!seeds.insert(seed).second) continue;
    std::string name = std::to_string(list.size() + 1);
    name = std::string(4 - std::min<size_t>(4, name.size()), '0') + name + ".bmp";
    list.push_back(ListLineOf(name, seed));
  }
  return list;
}

#include "bingo/hall_screen.h"

#include <algorithm>

#include "disk/file_system.h"
#include "bingo/kept_choice.h"
#include "game/cards_in_play.h"
#include "game/checkable_draw.h"
#include "text/trim.h"
#include "text/letter_case.h"

namespace {
const char* const kHallChoiceFile = "pantalla-sala.txt";

// Upper case for the prizes' names: ASCII and the accented Latin letters of UTF-8.
std::string Shouted(const std::string& text) {
  std::string out = text;
  for (size_t at = 0; at < out.size(); ++at) {
    const auto byte = static_cast<unsigned char>(out[at]);
    if (byte >= 'a' && byte <= 'z') out[at] = static_cast<char>(byte - 32);
    if (byte == 0xC3 && at + 1 < out.size()) {
      const auto next = static_cast<unsigned char>(out[at + 1]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7) out[at + 1] = static_cast<char>(next - 32);
      ++at;
    }
  }
  return out;
}


// "cartón 0123", "cartones 0123 y 0456", "cartones 0123, 0456 y 0789".
std::string CardsText(const std::vector<uint32_t>& cards) {
  std::string text = cards.size() == 1 ? "cartón " : "cartones ";
  for (size_t at = 0; at < cards.size(); ++at) {
    if (at > 0) text += at + 1 == cards.size() ? " y " : ", ";
    text += CardNumberText(cards[at]);
  }
  return text;
}

}  // namespace

HallScreen HallScreenOf(const BingoController& bingo) {
  HallScreen hall;
  hall.colour = bingo.colour;
  hall.page_address = bingo.page_address;
  if (bingo.page_on) hall.page_qr = bingo.page_qr;
  const Night& night = bingo.session.night;
  if (Selling(bingo.session)) {
    hall.prize = "Venta de cartones: partida " +
                 std::to_string(GamesOfNight(night, HasGame(bingo.session)) + 1);
    hall.money = SaleLines(night.sale, night.symbol);
    return hall;
  }
  if (!HasGame(bingo.session)) return hall;
  const Game& game = bingo.session.game;
  if (game.standing.empty()) hall.money = MoneyLines(game, night.money, night.symbol);
  const std::vector<PrizePayout> payouts = PayoutsOf(game, night.money);
  hall.has_game = true;
  hall.highest_ball = HighestBall(game.type);
  for (uint8_t number : game.called.order) hall.called[number] = true;
  hall.balls = static_cast<int>(game.standing.size());
  if (!game.standing.empty()) hall.last = game.calls[game.standing.back()].number;
  // Before the first ball the hall sees the draw's commitment, to photograph.
  if (game.standing.empty() && !CommitmentText(game).empty())
    hall.commitment = "Compromiso del sorteo: " + CommitmentText(game);
  for (size_t back = 0; back < game.standing.size() && back < kHallRecentBalls; ++back)
    hall.recent.push_back(game.calls[game.standing[game.standing.size() - 1 - back]].number);
  hall.prize = GameOver(game) ? "Partida terminada"
                              : "Se juega: " + std::string(PrizeText(CurrentPrize(game)));
  for (const PrizePayout& payout : payouts) {
    if (!payout.given) continue;
    const std::string cards = CardsText(payout.winners);
    hall.given.push_back(Capitalised(PrizeText(payout.kind)) + ": " + cards +
                         (HasMoney(night.money) ? " · " + PayoutText(payout, night.symbol) : ""));
    // Only while the ball it was won on is still the last one.
    if (!game.standing.empty() && payout.call == game.standing.back())
      hall.banner = "¡" + Shouted(PrizeText(payout.kind)) + "! " + Capitalised(cards);
  }
  return hall;
}

std::vector<std::string> HallCommitmentLines(const HallScreen& hall) {
  if (hall.last != 0 || hall.commitment.empty()) return {};
  const size_t colon = hall.commitment.find(": ");
  if (colon == std::string::npos) return {hall.commitment};
  return {hall.commitment.substr(0, colon + 1), hall.commitment.substr(colon + 2)};
}

std::string HallScreenChoicePath(const BingoController& bingo) {
  return PathInFolder(bingo.game_folder, kHallChoiceFile);
}

std::string ReadHallScreenChoice(const BingoController& bingo) {
  return ReadKeptChoice(HallScreenChoicePath(bingo));
}

std::string KeepHallScreenChoice(const BingoController& bingo, const std::string& name) {
  return KeepChoice(HallScreenChoicePath(bingo), name, "la pantalla de la sala");
}

const char* const kHallScreenQuestion = "¿En qué pantalla se ve la sala?";

std::vector<std::string> HallScreensToOffer(const std::vector<std::string>& names,
                                            const std::string& kept, const std::string& callers) {
  std::vector<std::string> offered = names;
  const auto rank = [&](const std::string& name) {
    return name == kept ? 0 : name != callers ? 1 : 2;
  };
  std::stable_sort(offered.begin(), offered.end(),
                   [&](const std::string& a, const std::string& b) { return rank(a) < rank(b); });
  return offered;
}

std::vector<std::string> DistinctScreenNames(const std::vector<std::string>& names) {
  std::vector<std::string> distinct;
  for (size_t i = 0; i < names.size(); ++i) {
    const size_t same = size_t(std::count(names.begin(), names.begin() + long(i), names[i]));
    distinct.push_back(same == 0 ? names[i] : names[i] + " " + std::to_string(same + 1));
  }
  return distinct;
}

namespace {
constexpr double kHallDigitsShare = 0.56;    // the last ball's digits, of the height
constexpr double kDigitHeightOfFont = 0.72;  // a bold face's digits, of its pixel size
constexpr double kMostLastWidthShare = 0.60;
constexpr double kBandShare = 0.10;          // the top band, of the height
constexpr double kBottomShare = 0.15;        // the bottom band
constexpr double kCellTextShare = 0.62;      // of a cell's height
constexpr double kCellTextWidthShare = 0.60;  // of a cell's width: "88" takes two thirds
constexpr double kPageWidthShare = 0.22;      // the page's column, of the width
constexpr double kPageMostHeightShare = 0.40;  // its QR code at most, of the height
}  // namespace

HallLayout LayOutHall(int width, int height, double eights_advance_per_pixel, int highest,
                      bool with_page) {
  if (with_page) {
    const int column = static_cast<int>(std::min(width * kPageWidthShare, height * kPageMostHeightShare));
    HallLayout hall = LayOutHall(width - column, height, eights_advance_per_pixel, highest);
    const int margin = std::max(4, column / 20);
    const int top = hall.top.bottom;
    hall.page_qr = BoardBox{width - column + margin, top, width - margin, top + column - 2 * margin};
    hall.page_address = BoardBox{width - column, hall.page_qr.bottom, width,
                                 std::min(height, hall.page_qr.bottom + 3 * hall.line_pixels)};
    hall.given.right = width;  // the column ends above the bottom band, which keeps its width
    return hall;
  }
  HallLayout hall;
  const double advance = std::max(eights_advance_per_pixel, 0.01);
  const int top = static_cast<int>(height * kBandShare);
  const int bottom = height - static_cast<int>(height * kBottomShare);
  const double pixels = std::min(height * kHallDigitsShare / kDigitHeightOfFont,
                                 width * kMostLastWidthShare * 0.92 / advance);
  hall.last_pixels = std::max(1, static_cast<int>(pixels));
  const int last_width = static_cast<int>(pixels * advance / 0.92);
  hall.top = BoardBox{0, 0, width, top};
  hall.last = BoardBox{0, top, last_width, bottom};
  hall.bottom = BoardBox{0, bottom, last_width, height};
  hall.given = BoardBox{last_width, bottom, width, height};
  hall.commitment = BoardBox{0, bottom, width, height};
  hall.banner = BoardBox{0, height * 3 / 10, width, height * 7 / 10};
  hall.line_pixels = std::max(1, static_cast<int>(height * kBandShare * 0.6));
  hall.banner_pixels = std::max(1, height / 6);
  BoardLayout& board = hall.board;
  board.highest = highest;
  board.rows = highest == 99 ? kBoardGridSide : (highest + kBoardGridSide - 1) / kBoardGridSide;
  board.grid = BoardBox{last_width, top, width, bottom};
  const double cell_height = (bottom - top) / double(board.rows);
  const double cell_width = (width - last_width) / double(kBoardGridSide);
  board.cell_pixels = std::max(
      1, static_cast<int>(std::min(cell_height * kCellTextShare, cell_width * kCellTextWidthShare)));
  return hall;
}

// A night of games through the session on the test's disk: each game's sale saved as it
// goes, refusals that leave the file as it was, the night continued exactly by another
// session at any point (during a sale too), and each prize's money against the test's
// own sums.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "card/card_code.h"
#include "game/night.h"
#include "game/session.h"
#include "game_model.h"
#include "tests/support/test_support.h"

namespace {
constexpr int64_t kStart = 1733775240000;

GameMoney Money(Cents price, std::vector<PrizeShare> shares) { return {price, std::move(shares)}; }

struct NightTest : ::testing::Test {
  void SetUp() override {
    ASSERT_FALSE(scratch.path.empty());
    std::mt19937 random(28);
    list = RandomList(40, &random);
    WriteWholeFile(list_path, CardListBytes(list));
    WriteWholeFile(other_path, CardListBytes(RandomList(25, &random)));
    ASSERT_EQ(OpenGameFolder(folder, &session), "");
  }
  void TearDown() override { CloseGameFolder(&session); }
  std::string Saved() { return ReadWholeFile(GameFilePath(folder)); }
  const Game* Current(const GameSession& s) { return HasGame(s) ? &s.game : nullptr; }

  // Draws and confirms every prize until the game is over.
  void PlayToTheEnd() {
    while (!GameOver(session.game)) {
      ASSERT_EQ(DrawAndCall(&session, now += 1000).error, "");
      const std::vector<uint32_t> winners = CurrentWinners(session.game);
      if (!winners.empty()) {
        ASSERT_EQ(ConfirmPrize(&session, winners, now += 1000), "");
      }
    }
  }

  // The window killed now: another session on the folder continues the same night.
  void KilledAndContinued() {
    const std::string before = NightJournalText(session.night, Current(session));
    ASSERT_EQ(before, Saved());
    CloseGameFolder(&session);
    GameSession again;
    ASSERT_EQ(OpenGameFolder(folder, &again), "");
    const SavedGame saved = LookForSavedGame(folder);
    ASSERT_EQ(saved.state, SavedGameState::kFound) << saved.error;
    EXPECT_TRUE(saved.night);
    ASSERT_EQ(ContinueSavedGame(&again, now += 1000), "");
    EXPECT_EQ(Selling(again), Selling(session));
    EXPECT_EQ(again.night.sale.sold, session.night.sale.sold);
    EXPECT_EQ(again.night.played.size(), session.night.played.size());
    // The continuation of a game in play adds its stop; nothing else differs.
    const std::string after = NightJournalText(again.night, Current(again));
    EXPECT_EQ(after.substr(0, before.size()), before);
    session = std::move(again);
  }

  ScratchFolder scratch;
  std::string folder = scratch / "datos";
  std::string list_path = scratch / "cartones.csv";
  std::string other_path = scratch / "otros.csv";
  std::vector<ListLine> list;
  GameSession session;
  int64_t now = kStart;
};

// floor(sold * price * hundredths / 10000), summed the long way.
Cents ExpectedAmount(size_t sold, Cents price, const PrizeShare& share) {
  if (share.fixed) return share.value;
  Cents takings = 0;
  for (size_t card = 0; card < sold; ++card) takings += price;
  Cents amount = 0;
  while ((amount + 1) * kWholePercent <= takings * share.value) ++amount;
  return amount;
}

TEST_F(NightTest, ThreeGamesSoldPlayedAndPaid) {
  const std::vector<GameMoney> money = {Money(150, {{false, 1500}, {false, 5000}}),
                                        Money(200, {{false, 2000}, {true, 1500}}),
                                        Money(100, {{false, 0}, {false, 10000}})};
  const std::vector<std::string> paths = {list_path, list_path, other_path};
  const std::vector<std::string> sold = {"1-30", "5-12, 20", "1-25"};
  for (size_t game = 0; game < 3; ++game) {
    ASSERT_EQ(OpenSale(&session, paths[game], PrizePlan::kLineThenBingo, money[game], "€", now), "");
    ASSERT_EQ(SellCards(&session, sold[game]), "");
    if (game == 1) {
      ASSERT_EQ(SellScanned(&session, ListLineCode(list[30])), "");
      ASSERT_EQ(SellScanned(&session, "32"), "");
      KilledAndContinued();  // during the second game's sales
      EXPECT_EQ(session.night.sale.sold_count, 11u);
    }
    ASSERT_EQ(StartSoldGame(&session, now += 1000), "");
    PlayToTheEnd();
    if (game == 1) KilledAndContinued();
  }
  ASSERT_EQ(session.night.played.size(), 2u);
  const std::vector<size_t> counts = {30, 11, 25};
  for (size_t game = 0; game < 3; ++game) {
    const Game& played = game < 2 ? session.night.played[game] : session.game;
    const GameMoney& its = game < 2 ? session.night.played_money[game] : session.night.money;
    EXPECT_EQ(played.play.count, counts[game]);
    EXPECT_EQ(TakingsOf(played, its), static_cast<Cents>(counts[game]) * money[game].price);
    const std::vector<PrizePayout> payouts = PayoutsOf(played, its);
    ASSERT_EQ(payouts.size(), 2u);
    for (size_t stage = 0; stage < 2; ++stage) {
      const PrizePayout& payout = payouts[stage];
      EXPECT_TRUE(payout.given);
      EXPECT_EQ(payout.amount, ExpectedAmount(counts[game], money[game].price, money[game].shares[stage]));
      const Cents winners = static_cast<Cents>(payout.winners.size());
      EXPECT_EQ(payout.shared.each * winners + payout.shared.left_over, payout.amount);
      EXPECT_LT(payout.shared.left_over, winners);
    }
  }
}

TEST_F(NightTest, RefusedSalesLeaveTheFileAsItWas) {
  ASSERT_EQ(OpenSale(&session, list_path, PrizePlan::kLineThenBingo,
                     Money(150, {{false, 1500}, {true, 5000}}), "€", now), "");
  EXPECT_EQ(StartSoldGame(&session, now), "No empieza la partida: No se ha vendido ningún cartón para la partida");
  ASSERT_EQ(SellCards(&session, "1-20"), "");
  const std::string saved = Saved();
  EXPECT_EQ(SellCards(&session, "18-22"), "No se vende nada: El cartón 0018 ya está vendido");
  EXPECT_EQ(SellCards(&session, "41"), "No se vende nada: el cartón 41 no está en la lista (tiene 40 cartones)");
  EXPECT_EQ(SellScanned(&session, ListLineCode(list[4])), "El cartón 0005 ya está vendido");
  EXPECT_EQ(SellScanned(&session, "00000001"), "El código 00000001 no es de ningún cartón de la lista");
  EXPECT_EQ(DrawAndCall(&session, now).error, kNoGameText);
  // 20 cartones at 1,50 are 30,00: a bingo of 50,00 cannot be paid.
  EXPECT_EQ(StartSoldGame(&session, now),
            "No empieza la partida: El premio de bingo (50,00 €) es mayor que la recaudación (30,00 €)");
  EXPECT_EQ(Saved(), saved);
  EXPECT_EQ(session.night.sale.sold_count, 20u);
  EXPECT_TRUE(Selling(session));
  // Opened again at another price, the cartones sold stay sold.
  ASSERT_EQ(OpenSale(&session, list_path, PrizePlan::kLineThenBingo,
                     Money(300, {{false, 1500}, {true, 5000}}), "€", now), "");
  EXPECT_EQ(session.night.sale.sold_count, 20u);
  ASSERT_EQ(StartSoldGame(&session, now), "");
  EXPECT_EQ(OpenSale(&session, list_path, PrizePlan::kLineThenBingo,
                     Money(300, {{false, 1500}, {true, 5000}}), "€", now),
            "La partida en juego aún no ha terminado: la siguiente se vende cuando acabe");
  EXPECT_EQ(DrawAndCall(&session, now += 1000).error, "");
}

TEST_F(NightTest, AFirstSaleIsContinuedAndASingleGameBecomesNoNight) {
  ASSERT_EQ(StartNewGame(&session, list_path, "1-10", PrizePlan::kLineThenBingo, now), "");
  EXPECT_FALSE(session.night.on);
  EXPECT_EQ(ParseNightJournal(Saved()).on, false) << "a single game is journalled as before";
  ASSERT_EQ(OpenSale(&session, other_path, PrizePlan::kLineTwoLinesBingo,
                     Money(125, {{false, 1000}, {false, 1500}, {false, 4000}}), "$", now), "");
  EXPECT_TRUE(session.night.on);
  EXPECT_FALSE(HasGame(session)) << "the single game is left, not a game of the night";
  ASSERT_EQ(SellScanned(&session, "3"), "");
  KilledAndContinued();
  EXPECT_EQ(session.night.symbol, "$");
  EXPECT_EQ(session.night.sale.plan, PrizePlan::kLineTwoLinesBingo);
  EXPECT_EQ(SaleLines(session.night.sale, session.night.symbol),
            (std::vector<std::string>{"Recaudación: 1,25 $ (1 cartón a 1,25 $)", "Línea (10 %): 0,12 $",
                                      "Dos líneas (15 %): 0,18 $", "Bingo (40 %): 0,50 $"}));
}

// A night not continued, then another begun (or a single game): the one left is kept
// whole beside the new one, for its takings and payouts.
TEST_F(NightTest, ANightLeftForAnotherIsKeptAside) {
  ASSERT_EQ(OpenSale(&session, list_path, PrizePlan::kLineThenBingo,
                     Money(150, {{false, 1500}, {false, 5000}}), "€", now), "");
  ASSERT_EQ(SellCards(&session, "1-5"), "");
  ASSERT_EQ(StartSoldGame(&session, now += 1000), "");
  PlayToTheEnd();
  const std::string left = Saved();
  CloseGameFolder(&session);
  session = GameSession();  // a window started anew: the night offered, and not taken
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  ASSERT_EQ(OpenSale(&session, other_path, PrizePlan::kLineThenBingo,
                     Money(100, {{false, 2000}, {false, 5000}}), "€", now += 1000), "");
  ASSERT_EQ(SellCards(&session, "1-3"), "");
  std::vector<std::string> kept;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind("noche-anterior-", 0) == 0) kept.push_back(entry.path());
  }
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(ReadWholeFile(kept[0]), left);
  // A single game in place of that night, which has only a sale: that one is kept too.
  CloseGameFolder(&session);
  session = GameSession();
  ASSERT_EQ(OpenGameFolder(folder, &session), "");
  const std::string second = Saved();
  ASSERT_EQ(StartNewGame(&session, list_path, "", PrizePlan::kLineThenBingo, now += 1000), "");
  size_t copies = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind("noche-anterior-", 0) != 0) continue;
    ++copies;
    if (entry.path() != kept[0]) {
      EXPECT_EQ(ReadWholeFile(entry.path()), second);
    }
  }
  EXPECT_EQ(copies, 2u);
}

TEST_F(NightTest, ADamagedNightIsNotContinued) {
  ASSERT_EQ(OpenSale(&session, list_path, PrizePlan::kLineThenBingo,
                     Money(150, {{false, 1500}, {false, 5000}}), "€", now), "");
  ASSERT_EQ(SellCards(&session, "1-5"), "");
  std::string bytes = Saved();
  bytes.replace(bytes.find("vendidos 1-5"), 12, "vendidos 1-6");
  WriteWholeFile(GameFilePath(folder), bytes);
  const SavedGame saved = LookForSavedGame(folder);
  EXPECT_EQ(saved.state, SavedGameState::kDamaged);
  EXPECT_NE(saved.error.find("suma de comprobación"), std::string::npos) << saved.error;
}
}  // namespace

// A night of games through the controller with the fake front end: three games with
// different sales, lists and money, the window killed during the second game's sales and
// a new controller continuing exactly, a tied prize shared to the cent, the money shown
// before the first ball on the caller's and the hall's screens, the record of the night
// reconciled line by line and read back with pdftotext, and each refusal said with
// nothing changed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "bingo/hall_screen.h"
#include "bingo/page_state.h"
#include "card/card_code.h"
#include "tests/bingo/fake_front_end.h"
#include "tests/game/game_model.h"
#include "tests/support/test_support.h"

namespace {
int64_t TestClock() {
  static int64_t now = 1733775240000;
  return now += 1000;
}

// Two cards of the list whose first rows share one number, and that number: the rest of
// both rows called first fills no row of either, so the shared number gives both a línea.
struct Tie {
  size_t a = 0, b = 0;
  int number = 0;
  std::vector<int> before;
};

std::set<int> Row(const ListLine& card, int row) {
  std::set<int> numbers;
  for (uint8_t n : card.layout.cell[row])
    if (n != 0) numbers.insert(n);
  return numbers;
}

bool FillsARow(const ListLine& card, const std::set<int>& called) {
  for (int row = 0; row < kCardRows; ++row) {
    bool full = true;
    for (int n : Row(card, row)) full = full && called.count(n) > 0;
    if (full) return true;
  }
  return false;
}

Tie FindTie(const std::vector<ListLine>& list) {
  for (size_t a = 0; a < list.size(); ++a)
    for (size_t b = a + 1; b < list.size(); ++b)
      for (int shared : Row(list[a], 0)) {
        if (Row(list[b], 0).count(shared) == 0) continue;
        std::set<int> rest = Row(list[a], 0);
        for (int n : Row(list[b], 0)) rest.insert(n);
        rest.erase(shared);
        if (FillsARow(list[a], rest) || FillsARow(list[b], rest)) continue;
        return {a, b, shared, std::vector<int>(rest.begin(), rest.end())};
      }
  return {};
}

struct NightControllerTest : ::testing::Test {
  void SetUp() override {
    std::mt19937 random(2812);
    list = RandomList(30, &random);
    other = RandomList(60, &random);
    WriteWholeFile(list_path, CardListBytes(list));
    WriteWholeFile(other_path, CardListBytes(other));
    Open(&bingo, &front);
  }
  void TearDown() override { CloseBingo(&bingo); }
  void Open(BingoController* controller, FakeFrontEnd* fake) {
    OpenController(controller, fake, folder, TestClock);
  }
  const Game& game() const { return bingo.session.game; }

  // Balls drawn and prizes confirmed until the last one, answering `at_the_end` then.
  static void PlayOut(BingoController* controller, FakeFrontEnd* fake,
                      const std::vector<std::string>& at_the_end) {
    const Game& playing = controller->session.game;
    while (!GameOver(playing)) {
      if (CurrentWinners(playing).empty()) {
        BingoDraw(controller);
        continue;
      }
      if (playing.prizes_won + 1 == playing.prizes.size())
        fake->answers.insert(fake->answers.end(), at_the_end.begin(), at_the_end.end());
      BingoConfirm(controller);
    }
  }

  ScratchFolder scratch;
  std::string folder = scratch / "datos";
  std::string list_path = scratch / "cartones.csv";
  std::string other_path = scratch / "otros.csv";
  std::vector<ListLine> list, other;
  FakeFrontEnd front;
  BingoController bingo;
};

// The record's CSV reconciled by its own lines: per game the takings are the cartones
// sold at the price, each prize's amount the test's own sum, its winners' shares and the
// cents left over add up to it, what stays is the takings less the shares; the night's
// totals are the sums of its games'.
void Reconcile(const std::string& csv, const std::map<std::string, std::vector<int64_t>>& shares) {
  std::map<std::string, std::map<std::string, int64_t>> sum;
  std::map<std::string, int64_t> sold;
  size_t at = csv.find("\r\n") + 2;
  while (at < csv.size()) {
    const size_t end = csv.find("\r\n", at);
    const std::string line = csv.substr(at, end - at);
    at = end + 2;
    const std::string game = line.substr(0, line.find(','));
    const std::string section = line.substr(game.size() + 1, line.find(',', game.size() + 1) - game.size() - 1);
    const std::string cents = line.substr(line.rfind(',') + 1);
    if (section == "en juego") {
      const size_t open = line.find(" (");
      sold[game] = std::stoll(line.substr(open + 2));
    }
    if (cents.empty()) continue;
    sum[game][section] += std::stoll(cents);
    if (section == "importe") {
      const std::vector<int64_t>& share = shares.at(game);
      const size_t stage = sum[game].count("importes") ? sum[game]["importes"] : 0;
      sum[game]["importes"] = static_cast<int64_t>(stage + 1);
      const int64_t takings = sum[game]["recaudacion"];
      const int64_t expected = share[stage] < 0 ? -share[stage] : takings * share[stage] / 10000;
      EXPECT_EQ(std::stoll(cents), expected) << line;
    }
  }
  int64_t takings = 0, paid = 0;
  for (auto& [game, totals] : sum) {
    if (game == "noche") continue;
    EXPECT_EQ(totals["recaudacion"], sold[game] * totals["precio"]) << "partida " << game;
    EXPECT_EQ(totals["pago"] + totals["sobrante"], totals["importe"]) << "partida " << game;
    EXPECT_EQ(totals["caja"], totals["recaudacion"] - totals["pago"]) << "partida " << game;
    takings += totals["recaudacion"];
    paid += totals["pago"];
  }
  EXPECT_EQ(sum["noche"]["recaudacion"], takings);
  EXPECT_EQ(sum["noche"]["pagos"], paid);
  EXPECT_EQ(sum["noche"]["caja"], takings - paid);
  EXPECT_EQ(sum.size(), 4u) << "three games and the night";
}

TEST_F(NightControllerTest, ThreeGamesKilledDuringTheSecondSalesAndContinued) {
  CloseBingo(&bingo);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {  // the window of the first game and the second's sales, killed then
    FakeFrontEnd fake;
    BingoController dying;
    dying.now = TestClock;
    InitBingo(&dying, &fake, folder);
    if (BingoOpen(&dying) != "") _exit(3);
    fake.list_to_choose = list_path;
    fake.answers = {"<ofrecido>", "1,50", "15 %", "50 %", "1-12, 20"};
    BingoNextGame(&dying);
    BingoStartSoldGame(&dying);
    if (dying.session.game.play.count != 13) _exit(4);
    PlayOut(&dying, &fake, {"sí", "sí", "2", "20 %", "10,00 €", ""});
    if (!fake.answers.empty() || !Selling(dying.session)) _exit(5);
    for (size_t card : {2, 4, 6}) BingoEnterNumber(&dying, ListLineCode(list[card]));
    _exit(dying.session.night.sale.sold_count == 3 ? 0 : 6);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);

  // A new window on the same night: the sale of the second game as it was.
  front.answers = {"sí"};
  Open(&bingo, &front);
  EXPECT_EQ(front.asked.back(), "Continuar la noche: venta de la partida 2 (3 cartones vendidos)?");
  ASSERT_TRUE(Selling(bingo.session));
  EXPECT_EQ(GamesOfNight(bingo.session.night, HasGame(bingo.session)), 1u);
  BingoEnterNumber(&bingo, ListLineCode(list[4]));
  EXPECT_EQ(bingo.status, "El cartón 0005 ya está vendido");
  BingoEnterNumber(&bingo, "00000001");
  EXPECT_EQ(bingo.status, "El código 00000001 no es de ningún cartón de la lista");
  BingoEnterNumber(&bingo, "8");
  EXPECT_EQ(bingo.status, "Vendido el cartón 0008 (4 vendidos)");
  BingoDraw(&bingo);
  EXPECT_EQ(bingo.status, kSellingText);
  front.answers = {"21-24"};
  BingoSellCards(&bingo);
  const BingoScreen selling = BingoScreenOf(bingo);
  EXPECT_TRUE(selling.selling && selling.can_start_sold && !selling.can_draw);
  EXPECT_EQ(selling.money, (std::vector<std::string>{"Recaudación: 16,00 € (8 cartones a 2,00 €)",
                                                     "Línea (20 %): 3,20 €", "Bingo: 10,00 €"}));
  EXPECT_EQ(HallScreenOf(bingo).money, selling.money);
  BingoStartSoldGame(&bingo);
  ASSERT_EQ(game().play.count, 8u);
  EXPECT_EQ(BingoScreenOf(bingo).night, "Noche: partida 2");
  EXPECT_EQ(BingoScreenOf(bingo).money, selling.money) << "until the first ball";
  // The phones' page says what the prize in play pays.
  EXPECT_NE(PageFieldsOf(bingo, HallScreenOf(bingo)).find("\"importe\":\"3,20 €\""), std::string::npos);
  const std::vector<std::string> forecast = BingoScreenOf(bingo).forecast_money;
  ASSERT_EQ(forecast.size(), 2u);
  EXPECT_EQ(forecast[0].rfind("Línea compartida en el ", 0), 0u) << forecast[0];
  EXPECT_NE(forecast[0].find(" % de las partidas: 1,60 € cada uno entre dos"), std::string::npos) << forecast[0];
  EXPECT_NE(forecast[1].find(" % de las partidas: 5,00 € cada uno entre dos"), std::string::npos) << forecast[1];
  // The third game on the other list, its línea tied by two cartones.
  const Tie tie = FindTie(other);
  ASSERT_GT(tie.number, 0);
  front.list_to_choose = other_path;
  const std::string sold = std::to_string(tie.a + 1) + "," + std::to_string(tie.b + 1) + ",40-44";
  PlayOut(&bingo, &front, {"sí", "no", "1", "10 %", "60 %", sold});
  ASSERT_TRUE(Selling(bingo.session)) << bingo.status;
  BingoStartSoldGame(&bingo);
  ASSERT_EQ(game().play.count, 7u) << bingo.status;
  for (int n : tie.before) BingoEnterNumber(&bingo, std::to_string(n));
  BingoEnterNumber(&bingo, std::to_string(tie.number));
  ASSERT_EQ(CurrentWinners(game()), (std::vector<uint32_t>{uint32_t(tie.a), uint32_t(tie.b)}))
      << "another cartón won first; the tie needs another seed";
  BingoConfirm(&bingo);
  // 7 cartones at 1,00: 10 % is 0,70, 0,35 each.
  EXPECT_EQ(bingo.status, "Premio confirmado: línea, 0,70 € entre 2: 0,35 € cada uno");
  EXPECT_NE(HallScreenOf(bingo).given[0].find(" · 0,70 € entre 2: 0,35 € cada uno"), std::string::npos);
  PlayOut(&bingo, &front, {"no"});

  front.record_file = scratch / "acta-noche.pdf";
  front.answers = {"<ofrecido>"};
  BingoSaveNightRecord(&bingo);
  ASSERT_EQ(bingo.status, "Acta de la noche guardada en " + scratch / "acta-noche.pdf y " + scratch / "acta-noche.csv");
  Reconcile(ReadWholeFile(scratch / "acta-noche.csv"),
            {{"1", {1500, 5000}}, {"2", {2000, -1000}}, {"3", {1000, 6000}}});
  const std::string text = CommandOutput("pdftotext -layout " + scratch / "acta-noche.pdf" + " -");
  for (const char* said : {"Acta de la noche", "Partida 1", "Partida 2", "Partida 3",
                           "Precio del cartón: 1,50 €", "Recaudación (13 cartones): 19,50 €",
                           "Premio de línea (15 %): 2,92 €", "Premio de bingo (10,00 €): 10,00 €",
                           "línea: 0,35 €", "Totales de la noche", "Pagado en premios"})
    EXPECT_NE(text.find(said), std::string::npos) << said << "\n" << text;
}

TEST_F(NightControllerTest, RefusalsAreSaidAndChangeNothing) {
  front.list_to_choose = list_path;
  const std::vector<std::vector<std::string>> wrong = {
      {"<ofrecido>", "0"}, {"<ofrecido>", "-2"}, {"<ofrecido>", "dos"},
      {"<ofrecido>", "1", "60 %", "50 %"}, {"<ofrecido>", "1", "15", "50 %"}};
  const std::vector<std::string> said = {
      "El precio del cartón ha de ser mayor que 0", "El precio del cartón no puede ser negativo",
      "\"dos\" no es un precio: escríbalo como 1,50 o 2",
      "Los premios suman 110 % de la recaudación: no pueden pasar del 100 %",
      "\"15\" no es un premio: escríbalo como 15 % o como 20,00 €"};
  for (size_t at = 0; at < wrong.size(); ++at) {
    front.answers.assign(wrong[at].begin(), wrong[at].end());
    BingoNextGame(&bingo);
    ASSERT_EQ(front.warned.size(), at + 1);
    EXPECT_EQ(front.warned.back(), said[at]);
    EXPECT_FALSE(Selling(bingo.session));
    EXPECT_EQ(ReadWholeFile(GameFilePath(folder)), "");
  }
  // A fixed bingo larger than the takings: said before the game starts, the sale kept.
  front.answers = {"<ofrecido>", "1", "15 %", "20,00 €", "1-10"};
  BingoNextGame(&bingo);
  ASSERT_TRUE(Selling(bingo.session));
  const std::string saved = ReadWholeFile(GameFilePath(folder));
  front.answers = {"10-11"};
  BingoSellCards(&bingo);
  EXPECT_EQ(front.warned.back(), "No se vende nada: El cartón 0010 ya está vendido");
  front.answers = {"31"};
  BingoSellCards(&bingo);
  EXPECT_EQ(front.warned.back(), "No se vende nada: el cartón 31 no está en la lista (tiene 30 cartones)");
  BingoStartSoldGame(&bingo);
  EXPECT_EQ(front.warned.back(),
            "No empieza la partida: El premio de bingo (20,00 €) es mayor que la recaudación (10,00 €)");
  EXPECT_TRUE(Selling(bingo.session));
  EXPECT_EQ(ReadWholeFile(GameFilePath(folder)), saved);
  // No run replaces the list the night is sold with.
  const std::string list_bytes = ReadWholeFile(list_path);
  front.form = [this](CardRunRequest* request) {
    request->count = 3;
    request->out = scratch.path;
    request->list = list_path;
    request->pdf = scratch / "hojas.pdf";
    return true;
  };
  BingoPrepareCards(&bingo);
  EXPECT_EQ(front.warned.back(), "No se prepara la tanda: «" + list_path +
                                     "» es una lista de la noche en curso, que no se puede reemplazar. "
                                     "Elija otra carpeta.");
  EXPECT_EQ(ReadWholeFile(list_path), list_bytes);
  EXPECT_TRUE(front.answers.empty());
}
}  // namespace

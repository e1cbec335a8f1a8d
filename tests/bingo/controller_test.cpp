// The bingo window's commands through the one controller both windows use, with a fake
// front end that answers every question from a script and fails the test on a question
// it was not told to expect: a whole night (a run prepared, a game started from it,
// balls drawn, typed and clicked, undone, claimed, confirmed, a winner passed over, the
// record saved, the window killed and the game continued), and the faults a night in a
// hall found, each of which lost a winner, a game or a list without a word.
#include "bingo/controller.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <functional>
#include <random>
#include <set>

#include "bingo/claim_card.h"
#include "bingo/hall_screen.h"
#include "bingo/page_server.h"
#include "card/card_code.h"
#include "card/series.h"
#include "tests/bingo/page_client.h"
#include "tests/game/game_model.h"
#include "tests/support/test_support.h"

namespace {
constexpr int64_t kStart = 1733775240000;

int64_t TestClock() {
  static int64_t now = kStart;
  return now += 1000;
}

// Answers: "sí" or "no" to a question, a text to a line asked, "<cancelar>" for a text
// cancelled, "<ofrecido>" for the text the controller offered.
struct FakeFrontEnd : BingoFrontEnd {
  std::deque<std::string> answers;
  std::vector<std::string> asked, warned;
  std::string list_to_choose, record_file;
  std::function<bool(CardRunRequest*)> form = [](CardRunRequest*) { return false; };
  std::function<void()> during_run = [] {};
  std::vector<std::string> opened;

  std::string Next(const std::string& question) {
    asked.push_back(question);
    if (answers.empty()) {
      ADD_FAILURE() << "una pregunta que no se esperaba: " << question;
      return "no";
    }
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool Ask(const std::string& question, bool) override { return Next(question) == "sí"; }
  bool AskText(const std::string& question, const std::string& initial,
               std::string* answer) override {
    const std::string given = Next(question + " [" + initial + "]");
    if (given == "<cancelar>") return false;
    *answer = given == "<ofrecido>" ? initial : given;
    return true;
  }
  void Warn(const std::string& text) override { warned.push_back(text); }
  std::string ChooseList() override { return list_to_choose; }
  std::string ChooseRecordFile(const std::string&, const std::string&) override {
    return record_file;
  }
  bool FillRunForm(CardRunRequest* request) override { return form(request); }
  std::vector<std::string> MakeRun(const CardRunRequest& request) override {
    during_run();
    std::vector<std::string> said;
    CardRunHooks hooks;
    hooks.context = &said;
    hooks.say = [](void* context, bool, const std::string& text) {
      static_cast<std::vector<std::string>*>(context)->push_back(text);
    };
    MakeFolder(request.out);
    MakeCardRun(request, hooks);
    return said;
  }
  void OpenFile(const std::string& path) override { opened.push_back(path); }
  std::string Speak(int) override { return ""; }
};

struct ControllerTest : ::testing::Test {
  void SetUp() override {
    std::mt19937 random(29);
    list = RandomList(20, &random);
    WriteWholeFile(list_path, CardListBytes(list));
    Open(&bingo, &front);
  }
  void TearDown() override { CloseBingo(&bingo); }

  void Open(BingoController* controller, FakeFrontEnd* fake) {
    controller->now = TestClock;
    InitBingo(controller, fake, folder);
    ASSERT_EQ(BingoOpen(controller), "");
  }
  const Game& game() const { return bingo.session.game; }
  size_t Balls() const { return game().standing.size(); }
  // Types the numbers of the first row of card `card` (0-based), as from a cage.
  void CallFirstRow(size_t card) {
    for (uint8_t number : list[card].layout.cell[0])
      if (number != 0 && game().called.place[number] == 0)
        BingoEnterNumber(&bingo, std::to_string(number));
  }
  // A run of `count` cards in `out`, the form filled as a caller would.
  void FormFor(const std::string& out, int count = 6) { front.form = RunForm(out, count); }
  static std::function<bool(CardRunRequest*)> RunForm(const std::string& out, int count = 6) {
    return [out, count](CardRunRequest* request) {
      request->count = count;
      request->out = out;
      request->no_files = true;
      request->title = "Noche de prueba";
      request->list = out + "/cartones.csv";
      request->pdf = out + "/hojas.pdf";
      return true;
    };
  }

  ScratchFolder scratch;
  std::string folder = scratch / "datos";
  std::string list_path = scratch / "cartones.csv";
  std::vector<ListLine> list;
  FakeFrontEnd front;
  BingoController bingo;
};

TEST_F(ControllerTest, AWholeNightThroughTheController) {
  // Prepared in the window: the sheets not opened, the game started with every card.
  FormFor(scratch / "tanda", 12);
  front.answers = {"no", "sí", ""};
  BingoPrepareCards(&bingo);
  ASSERT_TRUE(HasGame(bingo.session)) << bingo.status;
  EXPECT_EQ(front.asked.back(), "Cartones en juego (por ejemplo 1-250, 300-320; vacío: todos): []");
  EXPECT_EQ(game().play.count, 12u);
  EXPECT_TRUE(BingoScreenOf(bingo).shows_forecast);

  BingoDraw(&bingo);
  ASSERT_EQ(Balls(), 1u) << bingo.status;
  EXPECT_FALSE(BingoScreenOf(bingo).shows_forecast);
  const int drawn = game().calls[game().standing[0]].number;
  EXPECT_EQ(bingo.status, "Bola " + std::to_string(drawn));
  BingoEnterNumber(&bingo, std::to_string(drawn));
  EXPECT_EQ(bingo.status, "El " + std::to_string(drawn) + " ya ha salido");
  EXPECT_TRUE(BingoScreenOf(bingo).status_is_refusal);
  const int clicked = drawn == 99 ? 98 : drawn + 1;
  front.answers = {"sí"};
  BingoClickNumber(&bingo, clicked);
  EXPECT_EQ(front.asked.back(), "¿Cantar el " + std::to_string(clicked) + "?");
  EXPECT_EQ(Balls(), 2u);
  front.answers = {"sí"};
  BingoUndo(&bingo);
  EXPECT_EQ(Balls(), 1u);
  EXPECT_EQ(bingo.status, "Bola " + std::to_string(clicked) + " anulada");

  // The first card's row called: its claim, by code, is valid; confirmed, bingo is next.
  const std::vector<ListLine>& cards = game().cards;
  for (uint8_t number : cards[0].layout.cell[0])
    if (number != 0 && game().called.place[number] == 0) {
      if (!CurrentWinners(game()).empty()) front.answers.push_back("sí");
      BingoEnterNumber(&bingo, std::to_string(number));
    }
  ASSERT_FALSE(CurrentWinners(game()).empty());
  BingoClaim(&bingo, CardCode(cards[0].seed_bits));
  EXPECT_TRUE(bingo.claim.valid) << bingo.claim.verdict;
  EXPECT_EQ(bingo.claim.heading, "Cartón 0001 · código " + CardCode(cards[0].seed_bits));
  EXPECT_TRUE(bingo.claim.full_row[0]);
  BingoConfirm(&bingo);
  EXPECT_EQ(BingoScreenOf(bingo).prize, "Se juega: bingo");

  // The record: its title asked once, offered as the sheets' title.
  front.record_file = scratch / "acta";
  front.answers = {"<ofrecido>"};
  BingoSaveRecord(&bingo);
  EXPECT_EQ(front.asked.back(), "Título del acta: [Noche de prueba]");
  const std::string csv = ReadWholeFile(scratch / "acta.csv");
  EXPECT_NE(csv.find("titulo,,,,,,Noche de prueba"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",0001," + CardCode(cards[0].seed_bits) + ",línea"), std::string::npos);
  BingoSaveRecord(&bingo);
  EXPECT_TRUE(front.answers.empty());
  EXPECT_EQ(front.asked.back(), "Título del acta: [Noche de prueba]");  // not asked again
}

TEST_F(ControllerTest, AKilledWindowsGameIsContinuedExactly) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {  // a window that plays five balls and dies with nothing closed
    FakeFrontEnd fake;
    BingoController dying;
    dying.now = TestClock;
    InitBingo(&dying, &fake, scratch / "otra");
    if (BingoOpen(&dying) != "" || BingoStartGame(&dying, list_path, "") != "") _exit(3);
    for (int ball = 0; ball < 5; ++ball) BingoDraw(&dying);
    std::string drawn;
    for (size_t call : dying.session.game.standing)
      drawn += std::to_string(dying.session.game.calls[call].number) + " ";
    WriteWholeFile(scratch / "bolas", drawn);
    _exit(dying.session.game.standing.size() == 5 ? 0 : 4);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  FakeFrontEnd fake;
  BingoController again;
  again.now = TestClock;
  InitBingo(&again, &fake, scratch / "otra");
  fake.answers = {"sí"};
  ASSERT_EQ(BingoOpen(&again), "");
  ASSERT_EQ(fake.asked.size(), 1u);
  EXPECT_NE(fake.asked[0].find("(5 bolas)?"), std::string::npos) << fake.asked[0];
  std::string drawn;
  for (size_t call : again.session.game.standing)
    drawn += std::to_string(again.session.game.calls[call].number) + " ";
  EXPECT_EQ(drawn, ReadWholeFile(scratch / "bolas"));
  BingoDraw(&again);
  EXPECT_EQ(again.session.game.standing.size(), 6u);
  CloseBingo(&again);
}

// A winner of the prize in play is lost by the next ball: neither Space, nor a number
// typed, nor a click draws on without the caller saying so.
TEST_F(ControllerTest, APendingWinnerIsNeverLostByTheNextBall) {
  ASSERT_EQ(BingoStartGame(&bingo, list_path, "1"), "");
  CallFirstRow(0);
  ASSERT_EQ(CurrentWinners(game()), std::vector<uint32_t>{0});
  const size_t balls = Balls();
  const int last = game().calls[game().standing.back()].number;
  const std::string question = "El cartón 0001 tiene línea con el " + std::to_string(last) +
                               ". ¿Seguir sin dar el premio?";
  int uncalled = 1;
  while (game().called.place[uncalled] != 0) ++uncalled;
  front.answers = {"no", "no", "sí", "no"};
  BingoDraw(&bingo);
  BingoEnterNumber(&bingo, std::to_string(uncalled));
  BingoClickNumber(&bingo, uncalled);  // the click is confirmed, the winner is not
  EXPECT_EQ(Balls(), balls);
  EXPECT_EQ(front.asked, (std::vector<std::string>{question, question,
                                                   "¿Cantar el " + std::to_string(uncalled) + "?",
                                                   question}));
  EXPECT_EQ(CurrentWinners(game()), std::vector<uint32_t>{0});
  EXPECT_TRUE(game().passed_over.empty());
  front.answers = {"sí"};
  BingoDraw(&bingo);
  EXPECT_EQ(Balls(), balls + 1);
  // Going on is in the record: the prize not given, with its card and ball.
  ASSERT_EQ(game().passed_over.size(), 1u);
  EXPECT_EQ(game().passed_over[0].card, 0u);
  EXPECT_EQ(game().calls[game().passed_over[0].call].number, last);
}

// No run replaces the list of the game in play, nor of a saved game the caller did not
// continue; a list not in use is replaced only when the caller says so.
TEST_F(ControllerTest, ARunNeverReplacesAListInUse) {
  FormFor(scratch / "tanda");
  front.answers = {"no", "sí", ""};
  BingoPrepareCards(&bingo);
  ASSERT_TRUE(HasGame(bingo.session));
  BingoDraw(&bingo);
  const std::string run_list = scratch / "tanda/cartones.csv";
  const std::string bytes = ReadWholeFile(run_list), sheets = ReadWholeFile(scratch / "tanda/hojas.pdf");
  BingoPrepareCards(&bingo);  // into the same folder
  ASSERT_EQ(front.warned.size(), 1u);
  EXPECT_EQ(front.warned[0], "No se prepara la tanda: «" + run_list +
                                 "» es la lista de la partida en juego, que no se puede reemplazar. "
                                 "Elija otra carpeta.");
  EXPECT_EQ(ReadWholeFile(run_list), bytes);
  EXPECT_EQ(ReadWholeFile(scratch / "tanda/hojas.pdf"), sheets);

  // The window closed with the game unfinished; the next one declines to continue it.
  CloseBingo(&bingo);
  FakeFrontEnd later;
  BingoController next;
  later.answers = {"no"};
  Open(&next, &later);
  later.form = front.form;
  BingoPrepareCards(&next);
  ASSERT_EQ(later.warned.size(), 1u);
  EXPECT_NE(later.warned[0].find("es la lista de la partida guardada (Continuar la partida de las "),
            std::string::npos) << later.warned[0];
  EXPECT_EQ(ReadWholeFile(run_list), bytes);

  // Another folder's list, not in use: asked, and kept on "no".
  const std::string other = scratch / "otra";
  MakeFolder(other);
  WriteWholeFile(other + "/cartones.csv", "una lista de antes");
  later.form = RunForm(other);
  later.answers = {"no"};
  BingoPrepareCards(&next);
  EXPECT_EQ(later.asked.back(), "En «" + other +
                                    "» ya hay una lista o unas hojas. ¿Reemplazarlas por las de la tanda nueva?");
  EXPECT_EQ(ReadWholeFile(other + "/cartones.csv"), "una lista de antes");
  CloseBingo(&next);
}

// Starting the game of a run leaves a game in progress only when the caller says so,
// and asks which cards are in play.
TEST_F(ControllerTest, TheGameOfARunAsksBeforeLeavingOneInProgress) {
  ASSERT_EQ(BingoStartGame(&bingo, list_path, ""), "");
  BingoDraw(&bingo);
  FormFor(scratch / "tanda");
  front.answers = {"no", "sí", "no"};
  BingoPrepareCards(&bingo);
  EXPECT_EQ(front.asked[2], "Hay una partida en curso. ¿Dejarla y empezar otra?");
  EXPECT_EQ(game().list_path, list_path);
  EXPECT_EQ(Balls(), 1u);
  front.answers = {"no", "sí", "sí", "1-3"};
  BingoPrepareCards(&bingo);  // the same folder again: its list is in no game yet
  EXPECT_EQ(front.asked[3], "En «" + scratch / "tanda" +
                                "» ya hay una lista o unas hojas. ¿Reemplazarlas por las de la tanda nueva?");
  front.answers = {"sí", "no", "sí", "sí", "1-3"};
  front.asked.clear();
  BingoPrepareCards(&bingo);
  EXPECT_EQ(game().list_path, scratch / "tanda/cartones.csv");
  EXPECT_EQ(game().play.count, 3u);
  EXPECT_TRUE(front.answers.empty());
}

// During a run nothing reaches the game: not a click on the board, a ball or a claim.
TEST_F(ControllerTest, NothingReachesTheGameWhileARunIsMade) {
  ASSERT_EQ(BingoStartGame(&bingo, list_path, ""), "");
  FormFor(scratch / "tanda");
  front.during_run = [this] {
    BingoClickNumber(&bingo, 7);
    BingoDraw(&bingo);
    BingoEnterNumber(&bingo, "8");
    EXPECT_TRUE(BingoScreenOf(bingo).making_run);
    EXPECT_FALSE(BingoScreenOf(bingo).can_draw);
  };
  front.answers = {"no", "no"};
  BingoPrepareCards(&bingo);
  EXPECT_EQ(Balls(), 0u);
  EXPECT_TRUE(front.answers.empty());
}

// The draw's commitment stands until the first ball; once the game is over, when the
// record reveals the key, no ball is taken back.
TEST_F(ControllerTest, TheCommitmentBeforeTheFirstBallAndNoUndoOnceTheKeyIsOut) {
  ASSERT_EQ(BingoStartGame(&bingo, list_path, "1"), "");
  const std::string commitment = BingoScreenOf(bingo).commitment;
  EXPECT_EQ(commitment.rfind("Compromiso del sorteo: ", 0), 0u) << commitment;
  EXPECT_EQ(commitment.size(), std::string("Compromiso del sorteo: ").size() + 64 + 15);
  for (const auto& row : list[0].layout.cell)
    for (uint8_t number : row)
      if (number != 0) {
        if (!CurrentWinners(game()).empty()) BingoConfirm(&bingo);
        BingoEnterNumber(&bingo, std::to_string(number));
      }
  EXPECT_EQ(BingoScreenOf(bingo).commitment, "");
  front.answers = {"no"};  // the record offered at the end
  BingoConfirm(&bingo);
  ASSERT_TRUE(GameOver(game()));
  const size_t balls = Balls();
  BingoUndo(&bingo);
  EXPECT_EQ(Balls(), balls);
  EXPECT_TRUE(bingo.status_is_refusal);
  EXPECT_NE(bingo.status.find("clave del sorteo"), std::string::npos) << bingo.status;
}

TEST_F(ControllerTest, ABallWithNoGameIsRefusedInWords) {
  BingoDraw(&bingo);
  EXPECT_EQ(bingo.status, "No hay ninguna partida abierta");
  EXPECT_TRUE(BingoScreenOf(bingo).status_is_refusal);
  BingoClickNumber(&bingo, 5);  // a click with no game asks nothing
  BingoConfirm(&bingo);
  EXPECT_TRUE(front.asked.empty());
}

// The claimed card is the renderer's: a blank in the card's colour, a called number a
// white cell with a dab under its digits, a full row framed; the verdict is old once
// another ball comes.
TEST_F(ControllerTest, TheClaimedCardTellsBlanksFromCalledNumbersAndAgesWithTheNextBall) {
  ASSERT_EQ(BingoStartGame(&bingo, list_path, "1"), "");
  CallFirstRow(0);
  BingoClaim(&bingo, "1");
  const ClaimView& claim = bingo.claim;
  ASSERT_TRUE(claim.has_card);
  ASSERT_EQ(claim.pixels.size(), size_t(kClaimCardWidth) * kClaimCardHeight);
  const auto rgb = [](Colour colour) {
    return uint32_t((colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF));
  };
  std::set<uint32_t> blank, called, uncalled;
  for (int row = 0; row < kCardRows; ++row)
    for (int column = 0; column < kCardColumns; ++column) {
      const int number = claim.layout.cell[row][column];
      // Below the digits: the cell's own colour, not the digits'.
      const size_t y = size_t(row * kCellSize + 68), x = size_t(column * kCellSize + 40);
      const uint32_t colour = claim.pixels[y * kClaimCardWidth + x] & 0xFFFFFF;
      (number == 0 ? blank : claim.marked[row][column] ? called : uncalled).insert(colour);
    }
  EXPECT_EQ(blank, std::set<uint32_t>{rgb(kBingoColour)});
  EXPECT_EQ(uncalled, std::set<uint32_t>{0xFFFFFF});
  ASSERT_EQ(called.size(), 1u);
  EXPECT_NE(*called.begin(), rgb(kBingoColour));
  EXPECT_NE(*called.begin(), 0xFFFFFFu);
  EXPECT_EQ(claim.pixels[size_t(2) * kClaimCardWidth + 300] & 0xFFFFFF, 0x1A7F1Au);  // the frame
  EXPECT_FALSE(BingoScreenOf(bingo).claim.old);
  front.answers = {"sí"};
  BingoDraw(&bingo);
  const BingoScreen screen = BingoScreenOf(bingo);
  EXPECT_TRUE(screen.claim.old);
  EXPECT_EQ(screen.claim.verdict.rfind("(anterior a la última bola) Línea válida", 0), 0u)
      << screen.claim.verdict;
}
}  // namespace

// The hall's screen follows the game and never shows the caller's desk: a winner shows
// only once confirmed, as a banner until the next ball, then as a line that stays.
TEST_F(ControllerTest, TheHallScreenShowsOnlyWhatTheHallShouldSee) {
  EXPECT_FALSE(HallScreenOf(bingo).has_game);
  ASSERT_EQ(BingoStartGame(&bingo, list_path, "1-2"), "");
  HallScreen hall = HallScreenOf(bingo);
  EXPECT_EQ(hall.prize, "Se juega: línea");
  EXPECT_EQ(hall.highest_ball, 99);
  EXPECT_EQ(hall.last, 0);
  // Before the first ball, the draw's commitment; gone with it.
  EXPECT_EQ(hall.commitment, BingoScreenOf(bingo).commitment);
  EXPECT_FALSE(hall.commitment.empty());
  BingoDraw(&bingo);
  const int first = game().calls[game().standing[0]].number;
  hall = HallScreenOf(bingo);
  EXPECT_TRUE(hall.commitment.empty());
  EXPECT_EQ(hall.last, first);
  EXPECT_EQ(hall.balls, 1);
  EXPECT_TRUE(hall.called[static_cast<size_t>(first)]);
  front.answers = {"sí"};
  BingoUndo(&bingo);
  hall = HallScreenOf(bingo);
  EXPECT_EQ(hall.last, 0);
  EXPECT_EQ(hall.balls, 0);
  EXPECT_FALSE(hall.called[static_cast<size_t>(first)]);
  EXPECT_TRUE(hall.recent.empty());

  CallFirstRow(1);
  ASSERT_EQ(CurrentWinners(game()), std::vector<uint32_t>{1});
  hall = HallScreenOf(bingo);  // pending, not confirmed: nothing of it
  EXPECT_TRUE(hall.banner.empty());
  EXPECT_TRUE(hall.given.empty());
  EXPECT_EQ(hall.prize, "Se juega: línea");
  ASSERT_EQ(hall.recent.size(), 5u);
  EXPECT_EQ(hall.recent[0], hall.last);
  EXPECT_EQ(hall.recent[4], game().calls[game().standing[game().standing.size() - 5]].number);

  BingoConfirm(&bingo);
  hall = HallScreenOf(bingo);
  EXPECT_EQ(hall.banner, "¡LÍNEA! Cartón 0002");
  EXPECT_EQ(hall.given, std::vector<std::string>{"Línea: cartón 0002"});
  EXPECT_EQ(hall.prize, "Se juega: bingo");
  BingoDraw(&bingo);
  hall = HallScreenOf(bingo);
  EXPECT_TRUE(hall.banner.empty());
  EXPECT_EQ(hall.given, std::vector<std::string>{"Línea: cartón 0002"});
}

TEST_F(ControllerTest, TheHallScreenOfAGameOfNinetyAndItsScreenKept) {
  std::vector<ListLine> series;
  for (int place = 1; place <= 6; ++place)
    series.push_back(SeriesListLineOf("s.bmp", 0x4730F0, place));
  // No list file holds cartones of 90 yet: the session's game is made from the lines.
  ASSERT_EQ(BingoStartGame(&bingo, list_path, ""), "");
  NewGameResult made = NewGame(series, "", PrizePlan::kLineThenBingo, "serie.csv", "", kStart);
  ASSERT_EQ(made.error, "");
  bingo.session.game = std::move(made.game);
  EXPECT_EQ(HallScreenOf(bingo).highest_ball, 90);
  ASSERT_EQ(PlayEvent(&bingo.session.game, CallEvent(90, kStart, false)), "");
  const HallScreen hall = HallScreenOf(bingo);
  EXPECT_EQ(hall.last, 90);
  EXPECT_EQ(hall.recent, std::vector<int>{90});
  EXPECT_EQ(hall.highest_ball, 90);

  EXPECT_EQ(ReadHallScreenChoice(bingo), "");
  EXPECT_EQ(KeepHallScreenChoice(bingo, "HDMI-1"), "");
  EXPECT_EQ(ReadHallScreenChoice(bingo), "HDMI-1");
  // Offered first: the one kept, then those the caller's window is not on.
  const std::vector<std::string> names{"eDP-1", "HDMI-1", "DP-2"};
  EXPECT_EQ(HallScreensToOffer(names, "HDMI-1", "eDP-1"), (std::vector<std::string>{"HDMI-1", "DP-2", "eDP-1"}));
  EXPECT_EQ(HallScreensToOffer(names, "", "HDMI-1"), (std::vector<std::string>{"eDP-1", "DP-2", "HDMI-1"}));
  EXPECT_EQ(HallScreensToOffer(names, "VGA-1", "eDP-1"), (std::vector<std::string>{"HDMI-1", "DP-2", "eDP-1"}));
  EXPECT_EQ(DistinctScreenNames({"screen", "screen", "HDMI-1", "screen"}),
            (std::vector<std::string>{"screen", "screen 2", "HDMI-1", "screen 3"}));
}

namespace {
// A game of 90 from a run of series the window prepared: the cage holds 1 to 90, a claim
// is made by a cartón's scanned code, and the record says which cards were played.
TEST_F(ControllerTest, AGameOfNinetyFromARunOfSeries) {
  front.form = [this](CardRunRequest* request) {
    RunForm(scratch / "series")(request);
    request->type = CardType::kSeries90;
    request->count = 2 * kCardsPerSeries;
    return true;
  };
  front.answers = {"no", "sí", ""};
  BingoPrepareCards(&bingo);
  ASSERT_TRUE(HasGame(bingo.session)) << bingo.status;
  EXPECT_EQ(game().type, CardType::kSeries90);
  EXPECT_EQ(game().play.count, 12u);
  EXPECT_EQ(BingoScreenOf(bingo).highest_ball, 90);
  BingoEnterNumber(&bingo, "91");
  EXPECT_EQ(bingo.status, "El 91 no está en el bombo: las bolas van del 1 al 90");
  EXPECT_EQ(Balls(), 0u);
  for (int ball = 0; ball < 20; ++ball) {
    if (!CurrentWinners(game()).empty()) BingoConfirm(&bingo);
    BingoDraw(&bingo);
    ASSERT_LE(game().calls[game().standing.back()].number, 90);
  }
  // The first cartón's first row called, then its code scanned into the ball field.
  const ListLine& first = game().cards[0];
  for (uint8_t number : first.layout.cell[0])
    if (number != 0 && game().called.place[number] == 0) {
      if (!CurrentWinners(game()).empty()) front.answers.push_back("sí");
      BingoEnterNumber(&bingo, std::to_string(number));
    }
  const std::string code = ListLineCode(first);
  EXPECT_EQ(code.size(), 8u);
  EXPECT_EQ(code[6], '-');
  BingoEnterNumber(&bingo, " " + code + " ");
  EXPECT_TRUE(bingo.claim.has_card) << bingo.claim.verdict;
  EXPECT_EQ(bingo.claim.heading, "Cartón 0001 · código " + code);
  EXPECT_TRUE(bingo.claim.full_row[0]);
  front.record_file = scratch / "acta90";
  front.answers = {"<ofrecido>"};
  BingoSaveRecord(&bingo);
  EXPECT_NE(ReadWholeFile(scratch / "acta90.csv").find("cartones,,,,,,\"de 90 bolas, en series de 6\""),
            std::string::npos);
}
}  // namespace

namespace {
// A port nobody listens on now.
int FreePort() {
  auto probe = NewPageServer();
  const int port = StartPageServer(probe.get(), 0).port;
  StopPageServer(probe.get());
  return port;
}

std::string StateOf(int port, const std::string& codes = "") {
  return GetFromPage(port, "/estado?cartones=" + codes);
}
}  // namespace

// Off until the caller turns it on; then the page follows the game, snapshot by snapshot,
// answers each phone's cartones, and nothing a phone sends reaches the game.
TEST_F(ControllerTest, ThePhonesPageIsOffUntilTurnedOnAndFollowsTheGame) {
  const int port = FreePort();
  WriteWholeFile(PagePortPath(bingo), std::to_string(port) + "\n");
  EXPECT_FALSE(BingoScreenOf(bingo).page_on);
  EXPECT_LT(ConnectToPage(port), 0);
  BingoSwitchPage(&bingo, true);
  BingoScreen screen = BingoScreenOf(bingo);
  ASSERT_TRUE(screen.page_on) << screen.status;
  EXPECT_EQ(screen.page_address.rfind("http://", 0), 0u);
  EXPECT_NE(screen.page_address.find(":" + std::to_string(port) + "/"), std::string::npos);
  EXPECT_EQ(screen.status, "Página para móviles: " + screen.page_address);
  EXPECT_GE(screen.page_qr.side, 21);
  EXPECT_EQ(HallScreenOf(bingo).page_address, screen.page_address);
  EXPECT_NE(StateOf(port).find("\"n\":1,\"partida\":\"\",\"hay\":false"), std::string::npos);

  ASSERT_EQ(BingoStartGame(&bingo, list_path, "1-2"), "");
  BingoDraw(&bingo);
  BingoPublishPage(&bingo);
  const int first = game().calls[game().standing[0]].number;
  const std::string in_play = ListLineCode(list[0]), not_in_play = ListLineCode(list[2]);
  std::string state = StateOf(port, in_play + "," + not_in_play);
  EXPECT_NE(state.find("\"n\":2,"), std::string::npos) << state;
  EXPECT_NE(state.find("\"ultima\":" + std::to_string(first) + ",\"bolas\":1"), std::string::npos) << state;
  EXPECT_NE(state.find("\"filas\":1"), std::string::npos);
  EXPECT_NE(state.find("\"" + in_play + "\":[["), std::string::npos) << state;
  EXPECT_NE(state.find("\"" + not_in_play + "\":null"), std::string::npos) << state;
  BingoPublishPage(&bingo);  // nothing changed: no new snapshot
  EXPECT_NE(StateOf(port).find("\"n\":2,"), std::string::npos);

  for (const char* method : {"POST", "PUT", "DELETE"})
    EXPECT_EQ(StatusOf(ExchangeWithPage(port, std::string(method) + " /estado HTTP/1.1\r\n"
                                              "Content-Length: 7\r\n\r\nbola=47")), 405);
  EXPECT_EQ(Balls(), 1u);

  BingoSwitchPage(&bingo, false);
  EXPECT_FALSE(BingoScreenOf(bingo).page_on);
  EXPECT_TRUE(BingoScreenOf(bingo).page_address.empty());
  EXPECT_LT(ConnectToPage(port), 0);
  BingoSwitchPage(&bingo, true);
  EXPECT_NE(BingoScreenOf(bingo).page_address.find(":" + std::to_string(port) + "/"), std::string::npos);
}

// The port is chosen once and kept; taken by another program, the page moves and keeps that one.
TEST_F(ControllerTest, ThePagesPortIsKeptAndMovesOnlyWhenTaken) {
  BingoSwitchPage(&bingo, true);
  ASSERT_TRUE(bingo.page_on) << bingo.status;
  const std::string kept = ReadWholeFile(PagePortPath(bingo));
  ASSERT_FALSE(kept.empty());
  const int port = std::stoi(kept);
  BingoSwitchPage(&bingo, false);

  auto other = NewPageServer();
  ASSERT_EQ(StartPageServer(other.get(), port).error, "");
  BingoSwitchPage(&bingo, true);
  ASSERT_TRUE(bingo.page_on);
  const int moved = std::stoi(ReadWholeFile(PagePortPath(bingo)));
  EXPECT_NE(moved, port);
  EXPECT_NE(bingo.status.find("(el puerto " + std::to_string(port) + " lo usa otro programa)"),
            std::string::npos)
      << bingo.status;
  EXPECT_NE(bingo.page_address.find(":" + std::to_string(moved) + "/"), std::string::npos);
}

#include "bingo/controller.h"

#include "bingo/claim_card.h"
#include "bingo/hall_screen.h"
#include "bingo/kept_choice.h"
#include "bingo/page_address.h"
#include "bingo/page_net.h"
#include "bingo/page_server.h"
#include "bingo/page_state.h"
#include "bingo/record_pdf.h"
#include "card/card_code.h"
#include "card/series_code.h"
#include "text/hex.h"
#include "text/quoted_text.h"
#include "text/trim.h"
#include "disk/file_system.h"
#include "disk/read_file.h"
#include "game/checkable_draw.h"
#include "game/game_clock.h"

const char* const kBingoTitle = "Tessarine Bingo";
const char* const kPageSwitchText = "Página para móviles";

namespace {
const char* const kCardsInPlayQuestion =
    "Cartones en juego (por ejemplo 1-250, 300-320; vacío: todos):";
const char* const kGameInProgressQuestion = "Hay una partida en curso. ¿Dejarla y empezar otra?";

void Say(BingoController* bingo, const std::string& text, bool refusal = false) {
  bingo->status = text;
  bingo->status_is_refusal = refusal;
}

bool Playing(const BingoController& bingo) {
  return HasGame(bingo.session) && !GameOver(bingo.session.game);
}

bool InProgress(const BingoController& bingo) {
  return Playing(bingo) && !bingo.session.game.standing.empty();
}

bool Exists(const std::string& path) {
  std::string bytes;
  return ReadFileBytes(path, 0, &bytes) != ReadResult::kMissing;
}

// The winners of the prize in play on the ball just called are lost by the next ball:
// the caller is asked first, and going on is recorded as the prize not given.
bool PassesPendingWinners(BingoController* bingo) {
  const std::string question = PendingWinnersQuestion(bingo->session.game);
  if (question.empty()) return true;
  if (!bingo->front->Ask(question, true)) return false;
  const std::string failed =
      PassOverPrize(&bingo->session, CurrentWinners(bingo->session.game), bingo->now());
  if (failed.empty()) return true;
  Say(bingo, failed, true);
  return false;
}

// The ball is saved by now: only then is it shown and said.
void Called(BingoController* bingo, const std::string& error, int number) {
  if (!error.empty()) {
    Say(bingo, error, true);
    return;
  }
  const std::string words = bingo->front->Speak(number);
  Say(bingo, words.empty() ? "Bola " + std::to_string(number)
                           : "Bola " + std::to_string(number) + ": " + words);
}

// "" when a ball can be called now; else why not.
std::string WhyNoBall(const BingoController& bingo) {
  if (!HasGame(bingo.session)) return kNoGameText;
  if (GameOver(bingo.session.game)) return kGameOverText;
  return "";
}

void MarkNumber(BingoController* bingo, int number) {
  const std::string refused = WhyNoBall(*bingo);
  if (!refused.empty()) return Say(bingo, refused, true);
  const std::string impossible = CheckEvent(bingo->session.game, CallEvent(number, 0, false));
  if (!impossible.empty()) return Say(bingo, impossible, true);
  if (!PassesPendingWinners(bingo)) return;
  Called(bingo, MarkCalled(&bingo->session, number, bingo->now()), number);
}

void ClearClaim(BingoController* bingo) { bingo->claim = ClaimView(); }

void ShowForecastOfGame(BingoController* bingo) {
  const Game& game = bingo->session.game;
  bingo->forecast = RunForecastFromSystem(InPlayLayouts(game), kForecastGames, HighestBall(game.type));
  bingo->has_forecast = bingo->forecast.error.empty();
}

// After a run: the game with its list, asked as Ctrl+N asks.
void StartGameOfRun(BingoController* bingo, const CardRunRequest& request) {
  if (!bingo->front->Ask("¿Empezar la partida con esta lista?", false)) return;
  if (InProgress(*bingo) && !bingo->front->Ask(kGameInProgressQuestion, true)) return;
  std::string in_play;
  if (!bingo->front->AskText(kCardsInPlayQuestion, "", &in_play)) return;
  const std::string failed = BingoStartGame(bingo, request.list, in_play);
  if (failed.empty())
    bingo->sheets_title = request.title;
  else
    bingo->front->Warn(failed);
}

// A path as a message shows it: escaped as input is, but a Windows folder's separators
// shown single, as the caller wrote them.
std::string Named(const std::string& path) {
  std::string shown = EscapedText(path);
  for (size_t at = shown.find("\\\\"); at != std::string::npos; at = shown.find("\\\\", at + 1))
    shown.erase(at, 1);
  return "«" + shown + "»";
}

std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of(PathSeparator()[0] == '\\' ? "\\/" : "/");
  return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}
}  // namespace

void InitBingo(BingoController* bingo, BingoFrontEnd* front, const std::string& game_folder) {
  bingo->front = front;
  bingo->game_folder = game_folder;
  if (bingo->now == nullptr) bingo->now = NowMilliseconds;
}

bool LooksLikeCardCode(const std::string& text) {
  if (ReadSeriesCode(text).error.empty()) return true;
  if (text.size() != 8) return false;
  for (char c : text)
    if (!IsHexDigit(c)) return false;
  return true;
}

std::string BingoOpen(BingoController* bingo) {
  const std::string refused = OpenGameFolder(bingo->game_folder, &bingo->session);
  if (!refused.empty()) return refused;
  const SavedGame saved = LookForSavedGame(bingo->session.folder);
  if (saved.state == SavedGameState::kFound && !saved.over) {
    if (bingo->front->Ask(saved.offer + "?", false)) {
      const std::string failed = ContinueSavedGame(&bingo->session, bingo->now());
      if (!failed.empty()) bingo->front->Warn(failed);
    }
  } else if (saved.state == SavedGameState::kDamaged) {
    // Continuing keeps the damaged file aside, untouched, and says where it went.
    bingo->front->Warn(ContinueSavedGame(&bingo->session, bingo->now()));
  }
  return "";
}

std::string BingoStartGame(BingoController* bingo, const std::string& list_path,
                           const std::string& in_play) {
  const std::string failed = StartNewGame(&bingo->session, list_path, in_play,
                                          PrizePlan::kLineThenBingo, bingo->now());
  ClearClaim(bingo);
  bingo->has_forecast = false;
  bingo->sheets_title.clear();
  bingo->record_title.clear();
  if (!failed.empty()) {
    Say(bingo, failed, true);
    return failed;
  }
  Say(bingo, "Partida nueva con " + std::to_string(bingo->session.game.play.count) + " cartones");
  ShowForecastOfGame(bingo);
  return "";
}

void BingoNewGame(BingoController* bingo) {
  if (bingo->making_run) return;
  if (InProgress(*bingo) && !bingo->front->Ask(kGameInProgressQuestion, true)) return;
  const std::string list = bingo->front->ChooseList();
  if (list.empty()) return;
  std::string in_play;
  if (!bingo->front->AskText(kCardsInPlayQuestion, "", &in_play)) return;
  const std::string failed = BingoStartGame(bingo, list, in_play);
  if (!failed.empty()) bingo->front->Warn(failed);
}

void BingoDraw(BingoController* bingo) {
  if (bingo->making_run) return;
  const std::string refused = WhyNoBall(*bingo);
  if (!refused.empty()) return Say(bingo, refused, true);
  if (!PassesPendingWinners(bingo)) return;
  const SessionDraw drawn = DrawAndCall(&bingo->session, bingo->now());
  Called(bingo, drawn.error, drawn.number);
}

void BingoEnterNumber(BingoController* bingo, const std::string& typed_text) {
  if (bingo->making_run) return;
  const std::string typed = Trimmed(typed_text);
  if (LooksLikeCardCode(typed)) return BingoClaim(bingo, typed);  // a barcode scanned here
  const TypedBall ball = ReadTypedBall(typed);
  if (!ball.error.empty()) return Say(bingo, ball.error, true);
  MarkNumber(bingo, ball.number);
}

void BingoClickNumber(BingoController* bingo, int number) {
  if (bingo->making_run || !Playing(*bingo)) return;
  const std::string impossible = CheckEvent(bingo->session.game, CallEvent(number, 0, false));
  if (!impossible.empty()) return Say(bingo, impossible, true);
  if (!bingo->front->Ask("¿Cantar el " + std::to_string(number) + "?", false)) return;
  MarkNumber(bingo, number);
}

void BingoUndo(BingoController* bingo) {
  if (bingo->making_run) return;
  const Game& game = bingo->session.game;
  if (!HasGame(bingo->session) || game.standing.empty())
    return Say(bingo, "No hay ninguna bola que deshacer", true);
  // Once the last prize is given the record reveals the draw's key: a ball taken back
  // then would let whoever saw it foresee the balls to come.
  if (GameOver(game))
    return Say(bingo, "La partida ha terminado y su acta ya da la clave del sorteo: no se deshace ninguna bola",
               true);
  const std::string last = std::to_string(game.calls[game.standing.back()].number);
  if (!bingo->front->Ask("¿Anular la bola " + last + "? En el acta constará como anulada.", true))
    return;
  const std::string failed = UndoLastCall(&bingo->session, bingo->now());
  if (failed.empty())
    Say(bingo, "Bola " + last + " anulada");
  else
    Say(bingo, failed, true);
}

void BingoConfirm(BingoController* bingo) {
  if (bingo->making_run) return;
  if (!HasGame(bingo->session)) return Say(bingo, kNoGameText, true);
  const std::vector<uint32_t> winners = CurrentWinners(bingo->session.game);
  if (winners.empty()) return Say(bingo, "No hay ningún premio que confirmar", true);
  const std::string prize = PrizeText(CurrentPrize(bingo->session.game));
  const std::string failed = ConfirmPrize(&bingo->session, winners, bingo->now());
  if (!failed.empty()) return Say(bingo, failed, true);
  Say(bingo, "Premio confirmado: " + prize);
  if (GameOver(bingo->session.game) &&
      bingo->front->Ask("La partida ha terminado. ¿Guardar el acta de la partida?", false))
    BingoSaveRecord(bingo);
}

void BingoClaim(BingoController* bingo, const std::string& typed) {
  if (bingo->making_run) return;
  const Game& game = bingo->session.game;
  const ClaimVerdict verdict = JudgeClaim(game, Trimmed(typed));
  ClearClaim(bingo);
  ClaimView& claim = bingo->claim;
  claim.verdict = verdict.text;
  claim.valid = verdict.valid;
  bingo->claim_balls = game.standing.size();
  if (!verdict.card_found) return;
  claim.has_card = true;
  claim.layout = verdict.layout;
  for (int row = 0; row < kCardRows; ++row) {
    bool full = true;
    for (int column = 0; column < kCardColumns; ++column) {
      claim.marked[row][column] = verdict.marked[row][column];
      if (verdict.layout.cell[row][column] != 0 && !verdict.marked[row][column]) full = false;
    }
    claim.full_row[row] = full;
  }
  claim.heading = "Cartón " + CardNumberText(verdict.card) + " · código " +
                  ListLineCode(game.cards[verdict.card]);
  claim.pixels = ClaimCardPixels(claim.layout, claim.marked, claim.full_row,
                                 bingo->colour);
}

void BingoSaveRecord(BingoController* bingo) {
  if (bingo->making_run) return;
  if (!HasGame(bingo->session))
    return Say(bingo, "No hay ninguna partida de la que guardar el acta", true);
  const RecordNaming naming = RecordNamingOf(bingo->session.game.list_path);
  if (bingo->record_title.empty()) {
    std::string title;
    const std::string offered = bingo->sheets_title.empty() ? naming.title : bingo->sheets_title;
    if (!bingo->front->AskText("Título del acta:", offered, &title)) return;
    bingo->record_title = Trimmed(title).empty() ? offered : Trimmed(title);
  }
  const std::string path = bingo->front->ChooseRecordFile(naming.folder, naming.offered);
  if (path.empty()) return;
  const std::string said = SaveRecordFiles(bingo->session.game, bingo->record_title, path);
  Say(bingo, said, said.rfind("No se pudo", 0) == 0);
}

std::string ListInUseText(const BingoController& bingo, const CardRunRequest& request) {
  const auto names = [&request](const std::string& list) {
    return SameFile(request.list, list) || SameFile(request.pdf, list);
  };
  if (HasGame(bingo.session) && names(bingo.session.game.list_path))
    return "No se prepara la tanda: " + Named(request.list) +
           " es la lista de la partida en juego, que no se puede reemplazar. Elija otra carpeta.";
  if (bingo.session.lock.handle >= 0) {
    const SavedGame saved = LookForSavedGame(bingo.session.folder);
    if (saved.state == SavedGameState::kFound && !saved.over && names(saved.list_path))
      return "No se prepara la tanda: " + Named(request.list) +
             " es la lista de la partida guardada (" + saved.offer +
             "), que no se puede reemplazar. Elija otra carpeta.";
  }
  return "";
}

void BingoPrepareCards(BingoController* bingo) {
  if (bingo->making_run) return;
  CardRunRequest request;
  request.colour = bingo->colour;
  if (!bingo->front->FillRunForm(&request)) return;
  const std::string in_use = ListInUseText(*bingo, request);
  if (!in_use.empty()) {
    Say(bingo, in_use, true);
    return bingo->front->Warn(in_use);
  }
  if ((Exists(request.list) || Exists(request.pdf)) &&
      !bingo->front->Ask("En " + Named(FolderOf(request.list)) +
                             " ya hay una lista o unas hojas. ¿Reemplazarlas por las de la tanda nueva?",
                         true))
    return;
  bingo->colour = request.colour;
  bingo->making_run = true;
  const std::vector<std::string> said = bingo->front->MakeRun(request);
  bingo->making_run = false;
  std::string lines;
  for (const std::string& line : said) lines += (lines.empty() ? "" : "\n") + line;
  Say(bingo, lines);
  if (!Exists(request.pdf)) return;
  if (bingo->front->Ask(lines + "\n\n¿Abrir las hojas?", false)) bingo->front->OpenFile(request.pdf);
  StartGameOfRun(bingo, request);
}

namespace {
const char* const kPagePortFile = "pagina-puerto.txt";
constexpr int kFirstPagePort = 8047;

// The port kept, 0 when none is (or the file holds no port).
int KeptPagePort(const BingoController& bingo) {
  const std::string text = ReadKeptChoice(PagePortPath(bingo));
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  const int port = std::stoi(text);
  return port >= 1024 && port <= 65535 ? port : 0;
}
}  // namespace

std::string PagePortPath(const BingoController& bingo) {
  return PathInFolder(bingo.game_folder, kPagePortFile);
}

void BingoSwitchPage(BingoController* bingo, bool on) {
  if (!on) {
    if (bingo->page) StopPageServer(bingo->page.get());
    bingo->page_on = false;
    bingo->page_address.clear();
    bingo->page_qr = QrSquare();
    return Say(bingo, std::string(kPageSwitchText) + ": apagada");
  }
  if (!bingo->page) bingo->page = NewPageServer();
  const int kept = KeptPagePort(*bingo);
  PageStart start = StartPageServer(bingo->page.get(), kept != 0 ? kept : kFirstPagePort);
  if (!start.error.empty()) start = StartPageServer(bingo->page.get(), 0);
  if (!start.error.empty()) return Say(bingo, start.error, true);
  bingo->page_on = true;
  bingo->page_address = PageAddressOf(HallNetworkAddress(MachineAddresses()), start.port);
  bingo->page_qr = QrSquareOf(bingo->page_address);
  BingoPublishPage(bingo);
  std::string said = std::string(kPageSwitchText) + ": " + bingo->page_address;
  if (kept != 0 && start.port != kept)
    said += " (el puerto " + std::to_string(kept) + " lo usa otro programa)";
  const std::string failed = KeepChoice(PagePortPath(*bingo), std::to_string(start.port),
                                        "el puerto de la página");
  Say(bingo, failed.empty() ? said : said + ". " + failed, !failed.empty());
}

void BingoPublishPage(BingoController* bingo) {
  if (!bingo->page_on) return;
  const std::string game = PageGameOf(*bingo);
  if (game != bingo->page_game || (!bingo->page_cards && !game.empty())) {
    bingo->page_game = game;
    bingo->page_cards = PageCardsOf(*bingo);
  }
  const std::string fields = PageFieldsOf(*bingo, HallScreenOf(*bingo));
  if (bingo->page_number > 0 && fields == bingo->page_fields) return;
  bingo->page_fields = fields;
  PublishPageState(bingo->page.get(), std::make_shared<const PageState>(
                                          PageStateOf(++bingo->page_number, fields, bingo->page_cards)));
}

void CloseBingo(BingoController* bingo) {
  if (bingo->page) StopPageServer(bingo->page.get());
  bingo->page_on = false;
  CloseGameFolder(&bingo->session);
}

BingoScreen BingoScreenOf(const BingoController& bingo) {
  BingoScreen screen;
  const Game& game = bingo.session.game;
  const bool has_game = HasGame(bingo.session);
  screen.has_game = has_game;
  screen.playing = Playing(bingo);
  screen.making_run = bingo.making_run;
  const bool takes = screen.playing && !bingo.making_run;
  if (has_game) {
    for (uint8_t number : game.called.order) screen.called[number] = true;
    screen.last = game.standing.empty() ? 0 : game.calls[game.standing.back()].number;
    screen.balls = static_cast<int>(game.standing.size());
    screen.highest_ball = HighestBall(game.type);
    for (uint32_t card : CurrentWinners(game)) screen.winners.push_back("Cartón " + WinnerText(game, card));
  }
  screen.can_draw = takes;
  screen.can_mark = takes;
  screen.can_undo = takes && !game.standing.empty();
  screen.can_confirm = takes && !screen.winners.empty();
  screen.colour = bingo.colour;
  if (!has_game)
    screen.prize = "Sin partida: Partida ▸ Nueva partida…";
  else
    screen.prize = screen.playing ? "Se juega: " + std::string(PrizeText(CurrentPrize(game)))
                                  : "Partida terminada: todos los premios dados";
  if (has_game && game.standing.empty() && !CommitmentText(game).empty())
    screen.commitment = "Compromiso del sorteo: " + CommitmentText(game);
  screen.status = bingo.status;
  screen.status_is_refusal = bingo.status_is_refusal;
  screen.claim = bingo.claim;
  // A verdict holds for the ball it was judged on: once another ball stands it is old.
  if (!screen.claim.verdict.empty() && bingo.claim_balls != game.standing.size()) {
    screen.claim.old = true;
    screen.claim.verdict = "(anterior a la última bola) " + screen.claim.verdict;
  }
  screen.shows_forecast = bingo.has_forecast && game.standing.empty();
  screen.forecast = bingo.has_forecast ? &bingo.forecast : nullptr;
  screen.page_on = bingo.page_on;
  screen.page_address = bingo.page_address;
  screen.page_qr = bingo.page_qr;
  return screen;
}

// The record's facts first, one a line, then the calls (and the stops between them) and
// the prizes (those given and those passed over) under headings, in columns.
#include "bingo/record_pdf.h"

#include "text/quoted_text.h"
#include "disk/file_system.h"
#include "disk/save_error_text.h"
#include "game/checkable_draw.h"
#include "game/record.h"
#include "sheets/text_document.h"

namespace {
// Where the columns start, in millimetres from the margin: orden, hora, bola, cartón,
// código, detalle.
const std::vector<double> kColumnsMm = {0, 14, 34, 50, 68, 92};

const char* FactLabel(const std::string& section) {
  if (section == "titulo") return "Título: ";
  if (section == "fecha") return "Fecha: ";
  if (section == "lista") return "Lista: ";
  if (section == "sha256") return "SHA-256 de la lista: ";
  if (section == "cartones") return "Cartones: ";
  if (section == "en juego") return "En juego: ";
  if (section == kStartSection) return "Inicio del sorteo (ms desde 1970, UTC): ";
  if (section == kCommitmentSection) return "Compromiso del sorteo: ";
  if (section == kKeySection) return "Clave del sorteo: ";
  return nullptr;
}

void Heading(TextDocument* document, const std::string& text) {
  document->lines.push_back({{}, false});
  document->lines.push_back({{text}, true});
}

bool WriteToReplacement(void* context, const unsigned char* data, size_t size) {
  return AppendToReplacement(static_cast<FileReplacement*>(context), data, size) == SaveError::kNone;
}

// A game's record lines: its facts, its calls and its prizes under their headings.
void AddGameLines(TextDocument* document_to, const std::vector<RecordRow>& rows) {
  TextDocument& document = *document_to;
  bool calls_begun = false, prizes_begun = false;
  for (const RecordRow& row : rows) {
    const char* label = FactLabel(row.section);
    if (label != nullptr) {
      // The commitment in groups of four, as the window showed it before the first ball.
      const std::string fact =
          row.section == kCommitmentSection ? HexInGroups(row.detail) : row.detail;
      if (!fact.empty()) document.lines.push_back({{label + fact}, false});
    } else if (row.section == "bola" || row.section == "parada") {
      if (!calls_begun) {
        Heading(&document, "Bolas cantadas");
        document.lines.push_back({{"Orden", "Hora", "Bola", "", "", "Nota"}, true});
      }
      calls_begun = true;
      // A stop's long sentence starts where the ball would: the note's column is too narrow.
      if (row.section == "parada")
        document.lines.push_back({{row.order, row.time, row.detail}, false});
      else
        document.lines.push_back({{row.order, row.time, row.ball, "", "", row.detail}, false});
    } else {
      if (!prizes_begun) {
        Heading(&document, "Premios");
        document.lines.push_back({{"Bola nº", "Hora", "Bola", "Cartón", "Código", "Premio"}, true});
      }
      prizes_begun = true;
      document.lines.push_back({{row.order, row.time, row.ball, row.card, row.code, row.detail}, false});
    }
  }
  if (!calls_begun) Heading(&document, "Aún no se ha cantado ninguna bola");
}
}  // namespace

TextDocument RecordDocument(const Game& game, const std::string& title, Paper paper) {
  TextDocument document;
  document.paper = paper;
  document.title = "Acta de la partida";
  document.columns_mm = kColumnsMm;
  AddGameLines(&document, RecordRows(game, title));
  return document;
}

std::string SaveRecordPdf(const Game& game, const std::string& title, Paper paper,
                          const std::string& path) {
  return SaveDocumentPdf(RecordDocument(game, title, paper), path);
}

std::string SaveDocumentPdf(const TextDocument& document, const std::string& path) {
  FileReplacement file;
  if (BeginReplacement(path, &file) != SaveError::kNone)
    return RecordNotSavedText(path, SaveErrorText(file.error));
  const std::string error = WriteTextDocument(document, WriteToReplacement, &file);
  if (!error.empty()) {
    const std::string why = file.error != SaveError::kNone ? SaveErrorText(file.error) : error;
    AbandonReplacement(&file);
    return RecordNotSavedText(path, why);
  }
  if (CommitReplacement(&file) != SaveError::kNone)
    return RecordNotSavedText(path, SaveErrorText(file.error));
  return "";
}

RecordNaming RecordNamingOf(const std::string& list_path) {
  RecordNaming naming;
  const size_t slash = list_path.find_last_of("\\/");
  naming.folder = slash == std::string::npos ? std::string() : list_path.substr(0, slash + 1);
  naming.title = slash == std::string::npos ? list_path : list_path.substr(slash + 1);
  const size_t dot = naming.title.find_last_of('.');
  if (dot != std::string::npos && dot > 0) naming.title.resize(dot);
  naming.offered = "acta-" + naming.title + ".pdf";
  return naming;
}

namespace {
// The name chosen less a .pdf or .csv ending (either case).
std::string RecordBase(const std::string& chosen) {
  std::string base = chosen;
  const size_t dot = base.find_last_of('.');
  const size_t slash = base.find_last_of("\\/");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    std::string ending = base.substr(dot + 1);
    for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ending == "pdf" || ending == "csv") base.resize(dot);
  }
  return base;
}
}  // namespace

std::string SaveRecordFiles(const Game& game, const std::string& title, const std::string& chosen) {
  const std::string base = RecordBase(chosen);
  std::string failed = SaveRecordPdf(game, title, Paper::kA4, base + ".pdf");
  if (failed.empty()) failed = SaveRecordCsv(game, title, base + ".csv");
  return failed.empty() ? "Acta guardada en " + base + ".pdf y " + base + ".csv" : failed;
}

namespace {
std::string Amount(const NightRecordRow& line, const std::string& symbol) {
  return MoneyText(line.cents.empty() ? 0 : std::stoll(line.cents), symbol);
}

// A money line of a game or of the night, in words.
std::string MoneyLineText(const NightRecordRow& line, const std::string& symbol) {
  const std::string& section = line.row.section;
  const std::string amount = Amount(line, symbol);
  const bool night = line.game == "noche";
  if (section == "precio") return "Precio del cartón: " + amount;
  if (section == "recaudacion")
    return (night ? "Recaudación de la noche (" : "Recaudación (") + line.row.detail + "): " + amount;
  if (section == "importe") return "Premio de " + line.row.detail + ": " + amount;
  if (section == "sobrante") return "Sobrante de " + line.row.detail + " (sin repartir): " + amount;
  if (section == "pagos") return "Pagado en premios: " + amount;
  return "Queda en caja: " + amount;
}

void AddNightLine(TextDocument* document, const NightRecordRow& line, const std::string& symbol,
                  bool* pays_begun) {
  const RecordRow& row = line.row;
  if (row.section != "pago") {
    *pays_begun = false;
    document->lines.push_back({{MoneyLineText(line, symbol)}, false});
    return;
  }
  if (!*pays_begun) {
    Heading(document, "Pagos");
    document->lines.push_back({{"Bola nº", "Hora", "Bola", "Cartón", "Código", "Pago"}, true});
  }
  *pays_begun = true;
  document->lines.push_back(
      {{row.order, row.time, row.ball, row.card, row.code, row.detail + ": " + Amount(line, symbol)}, false});
}
}  // namespace

TextDocument NightRecordDocument(const Night& night, const Game* game, const std::string& title,
                                 Paper paper) {
  TextDocument document;
  document.paper = paper;
  document.title = "Acta de la noche";
  document.columns_mm = kColumnsMm;
  document.lines.push_back({{"Título: " + title}, false});
  std::vector<RecordRow> game_rows;
  std::string shown;  // the game whose lines are being gathered
  bool pays_begun = false;
  for (const NightRecordRow& line : NightRecordRows(night, game, title)) {
    if (line.game == "noche" && line.cents.empty()) continue;  // the title and the symbol
    if (line.cents.empty()) {
      if (line.game != shown && !game_rows.empty()) AddGameLines(&document, game_rows);
      if (line.game != shown) game_rows.clear();
      if (line.game != shown) Heading(&document, "Partida " + line.game);
      shown = line.game;
      game_rows.push_back(line.row);
      continue;
    }
    if (!game_rows.empty()) {
      AddGameLines(&document, game_rows);
      game_rows.clear();
      Heading(&document, "Dinero de la partida " + line.game);
    }
    if (line.game == "noche" && shown != "noche") {
      Heading(&document, "Totales de la noche");
      shown = "noche";
    }
    AddNightLine(&document, line, night.symbol, &pays_begun);
  }
  if (!game_rows.empty()) AddGameLines(&document, game_rows);
  return document;
}

std::string SaveNightRecordFiles(const Night& night, const Game* game, const std::string& title,
                                 const std::string& chosen) {
  const std::string base = RecordBase(chosen);
  std::string failed =
      SaveDocumentPdf(NightRecordDocument(night, game, title, Paper::kA4), base + ".pdf");
  if (failed.empty()) failed = SaveNightRecordCsv(night, game, title, base + ".csv");
  return failed.empty() ? "Acta de la noche guardada en " + base + ".pdf y " + base + ".csv" : failed;
}

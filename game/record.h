// The record of a game ("Acta de la partida") as CSV (UTF-8, CRLF, RFC 4180): one table
// whose first column says what each line is, so a spreadsheet opens it as it is.
//
//   apartado,orden,hora,bola,carton,codigo,detalle
//   titulo,,,,,,Noche de bingo
//   fecha,,,,,,2026-12-09
//   lista,,,,,,cartones.csv
//   sha256,,,,,,3b0c…
//   cartones,,,,,,de 1 a 99              (or "de 90 bolas, en series de 6")
//   en juego,,,,,,"1-250,300-320 (270 cartones)"
//   inicio,,,,,,1733775240000
//   compromiso,,,,,,3b0c…
//   clave,,,,,,5f1e…
//   bola,1,20:14:03,47,,,azar 1
//   bola,2,20:14:31,12,,,anulada a las 20:14:40; azar 2
//   bola,2,20:14:52,8,,,jaula
//   parada,,20:15:10,,,,partida detenida tras la bola 2 y continuada a las 20:40:12
//   premio,5,20:46:02,33,0017,4730F0DB,línea
//   premio no dado,6,20:46:30,61,0102,1C0FFEE5,línea no reclamada
//
// "inicio" (the start in milliseconds since 1970, UTC) and "compromiso" are those of the
// checkable draw (game/checkable_draw.h), in the record of every game that has one; its
// key, "clave", only once the game is over. Each ball's detail says where it came from:
// "azar N", drawn by the program as the draw's N-th ball, or "jaula", marked from a cage;
// after "anulada a las ...; " when it was taken back.
//
// Every call in order with its time and its number as the screen showed it: the calls
// that stand are counted, so an undone one ("anulada") keeps the number it had and the
// next ball is given that number again. Each stop of the game, from the last event
// before it to its continuation. Every prize with its card, code and ball (one taken
// back with its ball, "anulado"), and every winner the organiser went on without.
#pragma once
#include <string>
#include <vector>

#include "game/game.h"
#include "game/night.h"

extern const char* const kRecordHeader;  // "apartado,orden,hora,bola,carton,codigo,detalle"
extern const char* const kCardsSection;     // "cartones": the kind of cards played
extern const char* const kSeriesCardsText;  // its detail for series: "de 90 bolas, en series de 6"
extern const char* const kStartSection;       // "inicio"
extern const char* const kCommitmentSection;  // "compromiso"
extern const char* const kKeySection;         // "clave"
extern const char* const kDrawnBallText;      // "azar"
extern const char* const kCageBallText;       // "jaula"

// One line of the record, by the header's columns; what the CSV and the printed record
// are both written from.
struct RecordRow {
  std::string section, order, time, ball, card, code, detail;
};
std::vector<RecordRow> RecordRows(const Game& game, const std::string& title);

std::string RecordCsv(const Game& game, const std::string& title);
// Written whole or not at all, durably; "" when saved, else why not, in Spanish.
std::string SaveRecordCsv(const Game& game, const std::string& title, const std::string& path);
struct RecordRead {
  std::vector<RecordRow> rows;  // after the header
  std::string error;            // "" when read; else what is wrong, naming the line
};
// A record's CSV read back (RFC 4180, as RecordCsv writes it, a leading BOM allowed).
RecordRead ReadRecordCsv(const std::string& bytes);

// The record of a night ("Acta de la noche") as CSV: every game's record as above, each
// line headed by its game's number, then its money, and the night's totals, amounts in
// whole cents in the last column so that its own lines reconcile:
//
//   partida,apartado,orden,hora,bola,carton,codigo,detalle,centimos
//   noche,titulo,,,,,,Noche del 2026-12-10,
//   noche,moneda,,,,,,€,
//   1,titulo,,,,,,Partida 1,
//   1,bola,1,20:14:03,47,,,azar 1,            (the game's own lines, as above)
//   1,precio,,,,,,"1,50 €",150
//   1,recaudacion,,,,,,30 cartones,4500         (cartones sold x price)
//   1,importe,,,,,,línea (15 %),675             (each prize's amount)
//   1,pago,5,20:46:02,33,0017,4730F0DB,línea,337   (each winner's share)
//   1,pago,5,20:46:02,33,0020,1C0FFEE5,línea,337
//   1,sobrante,,,,,,línea,1                     (importe - its pagos: cents no winner is paid)
//   1,caja,,,,,,lo que queda,3825               (recaudacion - its pagos)
//   noche,recaudacion,,,,,,3 partidas,12300     (the night's totals)
//   noche,pagos,,,,,,,9000
//   noche,caja,,,,,,,3300
extern const char* const kNightRecordHeader;
struct NightRecordRow {
  std::string game;  // "1", "2", …, or "noche"
  RecordRow row;
  std::string cents;  // "" where the line holds no amount
};
std::vector<NightRecordRow> NightRecordRows(const Night& night, const Game* game,
                                            const std::string& title);
std::string NightRecordCsv(const Night& night, const Game* game, const std::string& title);
std::string SaveNightRecordCsv(const Night& night, const Game* game, const std::string& title,
                               const std::string& path);

// "No se pudo guardar el acta en PATH (disco lleno)"; `why` may be "".
std::string RecordNotSavedText(const std::string& path, const std::string& why);

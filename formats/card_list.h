// The list of a run's cards: one CSV record a card (RFC 4180, UTF-8, CRLF line ends)
// under the header archivo,codigo,fila1,fila2,fila3, each row written as --layout
// prints it. Reading a list checks that it is Tessarine's and that every card's rows
// are the ones its code makes, so a checked win is a win of the card in the hall.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "card/card_type.h"
#include "card/layout.h"
#include "disk/file_system.h"

extern const char* const kCardListHeader;  // "archivo,codigo,fila1,fila2,fila3"
// A list of series: each cartón's series (1, 2, ... in the list) and place (1..6) after
// its rows, the six cartones of a series on consecutive records in place order.
extern const char* const kSeriesListHeader;  // "...,fila3,serie,lugar"
// A list of 30,000 cards takes about 3.3 MB; anything far larger is no list of ours.
constexpr size_t kMostCardListBytes = 64u << 20;

struct ListLine {
  std::string file_name;  // as saved: "0001.bmp"
  uint32_t seed_bits = 0;  // a 1–99 card's seed; a series cartón's: its series' seed
  CardLayout layout{};
  CardType type = CardType::kAnywhere99;
  int place = 0;  // a series cartón's place in its series, 1..6
};

// The line of a card: its layout is the one its seed makes.
ListLine ListLineOf(const std::string& file_name, uint32_t seed_bits);
// The line of a series cartón: its layout is the one its series and place make.
ListLine SeriesListLineOf(const std::string& file_name, uint32_t series_seed, int place);
// The card's code as its sheet prints it: "4730F0CA", or "4730F0-3" for a cartón.
std::string ListLineCode(const ListLine& line);
// One number for every card of a list of one kind, for finding a card by its code: the
// seed of a 1–99 card, the series' seed and the place of a cartón.
uint32_t ListLineKey(const ListLine& line);

// The whole list as bytes: the header and one record a card, each ended by CRLF. A list
// whose first line is a series cartón is a list of series, of whole series in order.
std::string CardListBytes(const std::vector<ListLine>& lines);

// The cards of a list's bytes, or a Spanish message naming the line for a file that is
// not such a list, a malformed record, a bad code, or rows that are not the code's (and
// then no lines). The header tells the kind: a code of the other kind is refused, and a
// series list's series must each be whole (six records, places 1 to 6 in order, one
// series' cartones, numbered 1, 2, ... in the list, each series once). CRLF and LF line ends are both read, and empty lines are passed over.
struct CardListParse {
  std::vector<ListLine> lines;
  std::string error;
};
CardListParse ParseCardList(const std::string& bytes);

// A list file read and parsed (it is only read), with its bytes for whoever keeps a
// checksum of the list; messages start with the path.
struct CardListFile {
  std::vector<ListLine> lines;
  std::string bytes;
  std::string error;
};
CardListFile ReadCardList(const std::string& path);

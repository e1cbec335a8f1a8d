// Checks of 90-ball cartones and series; rows and columns are named from 1, as printed.
#include "card/series_check.h"

namespace {
std::string Named(int number) { return std::to_string(number); }

std::string NumbersFault(const CardLayout& layout) {
  for (int row = 0; row < kCardRows; ++row) {
    for (int column = 0; column < kCardColumns; ++column) {
      const int number = layout.cell[row][column];
      if (number == 0) continue;
      if (number > kSeriesHighestNumber)
        return "el " + Named(number) + " no es un número del 1 al 90";
      if (number < SeriesColumnFirst(column) || number > SeriesColumnLast(column))
        return "el " + Named(number) + " no va en la columna " + Named(column + 1);
    }
  }
  return "";
}

std::string RowsFault(const CardLayout& layout) {
  for (int row = 0; row < kCardRows; ++row) {
    int numbers = 0;
    for (int column = 0; column < kCardColumns; ++column) numbers += layout.cell[row][column] != 0;
    if (numbers != kSeriesNumbersPerRow)
      return "la fila " + Named(row + 1) + " tiene " + Named(numbers) +
             (numbers == 1 ? " número" : " números");
  }
  return "";
}

std::string ColumnsFault(const CardLayout& layout) {
  for (int column = 0; column < kCardColumns; ++column) {
    int last = 0;
    for (int row = 0; row < kCardRows; ++row) {
      const int number = layout.cell[row][column];
      if (number == 0) continue;
      if (number == last) return "el " + Named(number) + " está dos veces en el cartón";
      if (number < last) return "la columna " + Named(column + 1) + " no va en orden";
      last = number;
    }
    if (last == 0) return "la columna " + Named(column + 1) + " está vacía";
  }
  return "";
}
}  // namespace

std::string CheckSeriesCard(const CardLayout& layout) {
  std::string fault = NumbersFault(layout);
  if (fault.empty()) fault = RowsFault(layout);
  if (fault.empty()) fault = ColumnsFault(layout);
  return fault;
}

std::string CheckSeries(const CardSeries& series) {
  for (int place = 0; place < kCardsPerSeries; ++place) {
    const std::string fault = CheckSeriesCard(series.card[static_cast<size_t>(place)]);
    if (!fault.empty()) return "en el cartón " + Named(place + 1) + ", " + fault;
  }
  bool seen[kSeriesHighestNumber + 1] = {};
  for (const CardLayout& card : series.card) {
    for (const auto& row : card.cell) {
      for (const uint8_t number : row) {
        if (number == 0) continue;
        if (seen[number]) return "el " + Named(number) + " está dos veces en la serie";
        seen[number] = true;
      }
    }
  }
  return "";
}

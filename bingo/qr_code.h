// A text as a QR code's square of modules, for both bingo windows to draw: libqrencode's
// QRcode_encodeString, error correction M (a phone's camera on a projected screen reads
// it from across a room), version chosen for the text. Drawing adds the four-module quiet
// zone around it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int kQrQuietModules = 4;

struct QrSquare {
  int side = 0;                // modules a side; 0 when the text could not be encoded
  std::vector<uint8_t> dark;   // side * side, row by row: 1 = a dark module
  std::string error;           // "" when encoded
};

QrSquare QrSquareOf(const std::string& text);
inline bool QrDark(const QrSquare& qr, int row, int column) {
  return qr.dark[static_cast<size_t>(row) * static_cast<size_t>(qr.side) + static_cast<size_t>(column)] != 0;
}

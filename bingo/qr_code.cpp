#include "bingo/qr_code.h"

#include <qrencode.h>

QrSquare QrSquareOf(const std::string& text) {
  QrSquare square;
  QRcode* code = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
  if (code == nullptr) {
    square.error = "No se pudo hacer el código QR de " + text;
    return square;
  }
  square.side = code->width;
  const size_t modules = static_cast<size_t>(code->width) * static_cast<size_t>(code->width);
  square.dark.resize(modules);
  // Bit 0 of each byte is the module's colour; the others say what the module is for.
  for (size_t at = 0; at < modules; ++at) square.dark[at] = code->data[at] & 1;
  QRcode_free(code);
  return square;
}

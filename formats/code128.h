// Code 128 barcodes: a text as the widths of the symbol's bars and spaces, in modules,
// for a drawing layer or PDF writer to paint. The card codes (8 hexadecimal digits) are
// what it is made for; any printable ASCII text (32..126) is accepted.
//
// The symbol is as short as code sets B and C allow: digit pairs go in set C (one symbol
// for two digits) wherever that saves symbols after paying for the switches, everything
// else in set B. "4730F0CA" takes 7 data symbols instead of 8, "12345678" 4; a shorter
// symbol has wider modules in the same room and reads more easily. Set A (control
// characters) and the FNC symbols are not used.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Modules of blank space each side of the symbol that a scanner needs to find its ends.
constexpr int kCode128QuietZoneModules = 10;

// The symbol from its start code to the stop pattern's final bar: widths of 1 to 4
// modules, a bar first, then alternately space and bar; ends on a bar.
struct Code128Symbol {
  std::vector<uint8_t> module_widths;
};

// The symbol, or `error` (Spanish, quoting nothing) when the text is empty or holds a
// character outside printable ASCII.
struct Code128Encoding {
  Code128Symbol symbol;
  std::string error;
};

Code128Encoding EncodeCode128(std::string_view text);

// The symbol's width in modules with a quiet zone each side.
int Code128TotalModules(const Code128Symbol& symbol);

// Glyph outlines for vector output (the PDF sheets): the face the cards' glyphs come
// from, found the same way (fontconfig, or GDI by name), each character's unhinted
// outline in font units with y up, its curves as cubics. Bold asked of a face whose
// strokes are regular weight is grown by the cards' rule (draw/embolden_freetype.h; the
// GDI side applies the same rule to the outline's points), measured at the em given.
// FreeType side: glyph_outline_freetype.cpp; GDI side: glyph_outline_gdi.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct OutlinePoint {
  double x = 0, y = 0;
};

// kMove and kLine take one point, kCubic three (two controls, then the end), kClose none.
enum class OutlineVerb : uint8_t { kMove, kLine, kCubic, kClose };

struct GlyphOutline {
  bool present = false;  // false: the face has no such character
  double advance = 0;    // font units
  bool even_odd = false;
  std::vector<OutlineVerb> verbs;
  std::vector<OutlinePoint> points;
};

// The face's vertical metrics as Windows reports them, in font units.
struct OutlineFaceMetrics {
  double units_per_em = 0;
  double ascent = 0;
  double descent = 0;
};

struct OutlineFace;

struct OpenedOutlineFace {
  OutlineFace* face = nullptr;  // null when it could not be opened; error says why
  OutlineFaceMetrics metrics;
  std::string error;
};

// `weight` as in a LOGFONT (700 bold); `bold_em_pixels` is the em at which the bold
// rule measures its growth (the cards' number em, so the print has the card's weight).
OpenedOutlineFace OpenOutlineFace(const char* name, int32_t weight, double bold_em_pixels);
GlyphOutline OutlineOf(OutlineFace* face, uint32_t codepoint);
void CloseOutlineFace(OutlineFace* face);

// Where glyph coverage comes from: FreeType + fontconfig (glyphs_freetype.cpp) or GDI
// (glyphs_gdi.cpp). The rasteriser blends the coverage itself, so a platform only
// answers "what does this character look like at this size".
#pragma once
#include <cstdint>
#include <vector>

// Font weights in the terms of a Windows LOGFONT, and the least that counts as bold when
// a face says its own.
constexpr int32_t kRegularWeight = 400;
constexpr int32_t kBoldWeight = 700;
constexpr int32_t kLeastBoldWeight = 600;

// What a font asks for, in the terms of a Windows LOGFONT.
struct GlyphFontRequest {
  char face[128];          // UTF-8, at most 31 characters
  int32_t height;          // lfHeight: negative = character height (em) in pixels,
                           // positive = cell height, 0 = the face's default
  int32_t weight;          // 400 regular, 700 bold
  bool italic;
  int32_t character_set;
  int32_t pitch_and_family;
};

// Metrics as Windows reports them (TEXTMETRIC), in whole pixels.
struct GlyphFontMetrics {
  int32_t ascent;            // tmAscent: cell top to baseline
  int32_t descent;           // tmDescent
  int32_t height;            // tmHeight = ascent + descent
  int32_t external_leading;  // tmExternalLeading
};

// One glyph's 8-bit coverage (0 = none, 255 = full), placed relative to the top-left
// of the character cell: pixel (0, 0) of the coverage lies at (left, top) in the cell.
struct Glyph {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t advance = 0;  // pen movement in whole pixels
  std::vector<uint8_t> coverage;  // width * height, row-major
  // Per row, the columns [ink_from, ink_to) outside which the coverage is 0, so that
  // drawing skips the empty margins of a glyph's box. Filled in by the drawing layer
  // when it caches the glyph; empty means "the whole row".
  std::vector<int32_t> ink_from, ink_to;
};

struct GlyphFont;  // a platform font at one size

// Null when no face at all can be had.
GlyphFont* OpenGlyphFont(const GlyphFontRequest& request, GlyphFontMetrics* metrics);
// False when the font has no such character (nothing is drawn for it).
bool RenderGlyph(GlyphFont* font, uint32_t codepoint, Glyph* glyph);
void CloseGlyphFont(GlyphFont* font);

// The process-wide font table inside draw/: what a surface needs of its selected font.
// Entries live until the process ends, so pointers to them stay valid.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "draw/glyphs.h"

struct FontDescription {
  std::string face;  // UTF-8, at most 31 UTF-16 units
  float size = 0;    // points; negative = cell height rather than character height
  int32_t weight = kRegularWeight;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  uint8_t character_set = 0;
  uint8_t pitch_and_family = 0;
  int32_t escapement = 0;
  bool operator==(const FontDescription& other) const;
};

// A character's coverage, made once per font and kept: a batch of cards never renders a
// digit twice.
struct CachedGlyph {
  bool present = false;  // false: the font has no such character
  Glyph glyph;
};

struct FontEntry {
  FontDescription description;
  bool truncated_height = false;  // font 1 takes its height truncated, the rest rounded
  GlyphFont* platform = nullptr;  // made at the first selection, kept for the process
  GlyphFontMetrics metrics{};
  const CachedGlyph* ascii[128] = {};
  std::unordered_map<uint32_t, CachedGlyph> glyphs;
};

// The entry with its platform font made (made now if need be), or null when the number
// names no font or the font cannot be made. Call with the drawing lock held.
FontEntry* MadeFont(int32_t number);
// The character's coverage in a made font, or null when the font lacks it.
// Call with the drawing lock held.
const Glyph* GlyphOf(FontEntry& font, uint32_t codepoint);
// How many glyphs the platform has been asked to render in this process.
uint64_t GlyphsRendered();
// Line height of a font: tmHeight + tmExternalLeading.
inline int32_t LineHeight(const FontEntry& font) {
  return font.metrics.height + font.metrics.external_leading;
}

constexpr int32_t kDefaultFont = 1;

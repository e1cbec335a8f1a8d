// The process-wide font table: numbered font descriptions, the platform font each one
// gets at its first selection, and the glyph cache that makes every character once.
// Numbers 1..3 are built in; the program's own fonts start at 4.
#include <cmath>
#include <cstring>
#include <deque>
#include <new>

#include "draw/draw.h"
#include "draw/font_table.h"
#include "draw/surface.h"
#include "text/utf8.h"

namespace {
constexpr size_t kMostFaceUnits = 31;  // UTF-16 units, as LOGFONT holds them
constexpr float kDefaultPoints = 8;
constexpr int32_t kStyleBold = 1, kStyleItalic = 2, kStyleUnderline = 4, kStyleStrikeOut = 8,
                  kStyleCellHeight = 16;
constexpr uint8_t kFixedPitchModern = 0x31;  // FIXED_PITCH | FF_MODERN

SpinLock g_font_lock;
// Number n is g_fonts[n - 1]; a deque keeps entries in place. Fonts live as long as the
// process, so the table is never destroyed (not even at exit, while other threads or
// static destructors may still draw).
std::deque<FontEntry>& g_fonts = *new std::deque<FontEntry>;

FontDescription Described(const char* face, float points, uint8_t pitch_and_family) {
  FontDescription description;
  description.face = face;
  description.size = points;
  description.pitch_and_family = pitch_and_family;
  return description;
}

// With the font lock held.
void AddBuiltInFonts() {
  if (!g_fonts.empty()) return;
  g_fonts.emplace_back();
  g_fonts.back().description = Described("MS Sans Serif", kDefaultPoints, 0);
  g_fonts.back().truncated_height = true;
  g_fonts.emplace_back();
  g_fonts.back().description = Described("Courier New", 10, kFixedPitchModern);
  g_fonts.emplace_back();
  g_fonts.back().description = Described("Fixedsys", 9, kFixedPitchModern);
}

// With the font lock held.
FontEntry* EntryOf(int32_t number) {
  AddBuiltInFonts();
  if (number < 1 || static_cast<size_t>(number) > g_fonts.size()) return nullptr;
  return &g_fonts[number - 1];
}

// The first 31 UTF-16 units of a UTF-8 name, cut only between characters.
std::string TruncatedFace(const char* face) {
  const char* p = face;
  size_t units = 0;
  while (*p) {
    const char* start = p;
    const uint32_t c = NextCodepoint(p);
    units += c > 0xFFFF ? 2 : 1;
    if (units > kMostFaceUnits) return std::string(face, start);
  }
  return face;
}

// Points to lfHeight: negative asks for the character height, positive for the cell.
int32_t HeightOf(const FontEntry& entry) {
  const double pixels = -(double{kDotsPerInch} * entry.description.size / 72.0);
  if (std::isnan(pixels) || std::fabs(pixels) > (1 << 20)) return 0;
  return static_cast<int32_t>(entry.truncated_height ? std::trunc(pixels)
                                                     : std::nearbyint(pixels));
}

// With the font lock held.
bool MakePlatformFont(FontEntry& entry) {
  if (entry.platform) return true;
  GlyphFontRequest request{};
  std::strncpy(request.face, entry.description.face.c_str(), sizeof request.face - 1);
  request.height = HeightOf(entry);
  request.weight = entry.description.weight;
  request.italic = entry.description.italic;
  request.character_set = entry.description.character_set;
  request.pitch_and_family = entry.description.pitch_and_family;
  entry.platform = OpenGlyphFont(request, &entry.metrics);
  return entry.platform != nullptr;
}
}  // namespace

bool FontDescription::operator==(const FontDescription& other) const {
  return face == other.face && size == other.size && weight == other.weight &&
         italic == other.italic && underline == other.underline &&
         strike_out == other.strike_out && character_set == other.character_set &&
         pitch_and_family == other.pitch_and_family && escapement == other.escapement;
}

int32_t NewFont(const char* face, float size, int32_t style, int32_t character_set,
                int32_t pitch_and_family, int32_t escapement) {
  try {
    FontDescription wanted;
    wanted.face = TruncatedFace(face ? face : "");
    wanted.size = size == 0 ? kDefaultPoints : size;
    if (style & kStyleCellHeight) wanted.size = -wanted.size;
    wanted.weight = (style & kStyleBold) ? kBoldWeight : kRegularWeight;
    wanted.italic = style & kStyleItalic;
    wanted.underline = style & kStyleUnderline;
    wanted.strike_out = style & kStyleStrikeOut;
    wanted.character_set = static_cast<uint8_t>(character_set & 0xFF);
    wanted.pitch_and_family = static_cast<uint8_t>(pitch_and_family & 0xFF);
    wanted.escapement = escapement;

    SpinGuard guard(g_font_lock);
    AddBuiltInFonts();
    for (size_t i = 0; i < g_fonts.size(); ++i)
      if (g_fonts[i].description == wanted) return static_cast<int32_t>(i + 1);
    g_fonts.emplace_back();
    g_fonts.back().description = std::move(wanted);
    return static_cast<int32_t>(g_fonts.size());
  } catch (const std::bad_alloc&) {
    RecordRuntimeError(kErrorMisusedDrawing);
    return 0;
  }
}

void SelectFont(int32_t number) {
  bool failed = false;
  {
    SpinGuard guard(g_drawing_lock);
    Surface* surface = CurrentSurface();
    if (!surface) return;
    if (number == 0) number = kDefaultFont;
    int32_t line_height = 0;
    {
      SpinGuard fonts(g_font_lock);
      FontEntry* entry = EntryOf(number);
      if (!entry) return;  // names no font: nothing at all
      failed = !MakePlatformFont(*entry);
      if (!failed) line_height = LineHeight(*entry);
    }
    if (!failed) {
      surface->font = number;
      surface->line_height = line_height;
    }
  }
  if (failed) RecordRuntimeError(kErrorMisusedDrawing);
}

FontEntry* MadeFont(int32_t number) {
  SpinGuard guard(g_font_lock);
  FontEntry* entry = EntryOf(number);
  return entry && MakePlatformFont(*entry) ? entry : nullptr;
}

namespace {
uint64_t g_glyphs_rendered = 0;
}  // namespace

uint64_t GlyphsRendered() { return g_glyphs_rendered; }

namespace {
void MarkInkedColumns(Glyph* glyph) {
  glyph->ink_from.assign(static_cast<size_t>(glyph->height), 0);
  glyph->ink_to.assign(static_cast<size_t>(glyph->height), 0);
  for (int32_t y = 0; y < glyph->height; ++y) {
    const uint8_t* row = glyph->coverage.data() + static_cast<size_t>(y) * glyph->width;
    int32_t from = 0, to = glyph->width;
    while (from < to && row[from] == 0) ++from;
    while (to > from && row[to - 1] == 0) --to;
    glyph->ink_from[static_cast<size_t>(y)] = from;
    glyph->ink_to[static_cast<size_t>(y)] = to;
  }
}
}  // namespace

const Glyph* GlyphOf(FontEntry& font, uint32_t codepoint) {
  if (codepoint < 128 && font.ascii[codepoint])
    return font.ascii[codepoint]->present ? &font.ascii[codepoint]->glyph : nullptr;
  auto found = font.glyphs.find(codepoint);
  if (found == font.glyphs.end()) {
    CachedGlyph made;
    made.present = RenderGlyph(font.platform, codepoint, &made.glyph);
    if (made.present) MarkInkedColumns(&made.glyph);
    ++g_glyphs_rendered;
    found = font.glyphs.emplace(codepoint, std::move(made)).first;
  }
  // unordered_map nodes stay put, so the fast table may point into it.
  if (codepoint < 128) font.ascii[codepoint] = &found->second;
  return found->second.present ? &found->second.glyph : nullptr;
}

// Glyph coverage from FreeType, the face chosen by fontconfig for the requested name,
// weight and slant. Wine's folder of Windows-metric fonts is added to the search so that
// "Tahoma" finds a Tahoma-compatible face where one is installed. Metrics follow what
// Windows reports: ascent and descent from the OS/2 table's usWinAscent/usWinDescent.
// Only scalable faces are used; the first scalable one fontconfig ranks is taken. Glyphs
// are hinted by the face's own instructions, never by FreeType's auto-hinter.
// Bold asked of a face whose strokes are regular weight is drawn emboldened by the rule
// of draw/embolden_freetype.h, in pixels on the hinted outline.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <mutex>
#include <string>

#include "draw/embolden_freetype.h"
#include "draw/face_file_freetype.h"
#include "draw/glyphs_freetype.h"

struct GlyphFont {
  FT_Face face = nullptr;
  GlyphFaceFile file;
  int32_t ascent = 0;         // baseline below the cell top, in pixels
  BoldGrowth bold;             // in 26.6 pixels, the outlines' own units
  bool slant = false;          // italic asked for, only an upright face found
};

namespace {
// The em of lfHeight 0 ("the face's default"), about what Windows picks.
constexpr int32_t kDefaultEmPixels = 12;

// FreeType's library and faces are not thread-safe; the drawing lock already serialises
// every use, this keeps the functions safe on their own.
std::mutex g_mutex;
FT_Library g_library = nullptr;

bool Started() {
  if (!g_library && FT_Init_FreeType(&g_library) != 0) {
    g_library = nullptr;
    return false;
  }
  return StartFontconfig();
}

int32_t Rounded(double value) { return static_cast<int32_t>(std::lround(value)); }

// Sizes the face for lfHeight and fills in the metrics Windows would report.
bool SizeFace(FT_Face face, int32_t height, GlyphFontMetrics* metrics) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const double units = face->units_per_EM;
  double win_ascent = face->ascender, win_descent = -face->descender;
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    win_ascent = os2->usWinAscent;
    win_descent = os2->usWinDescent;
  }
  if (units <= 0 || win_ascent + win_descent <= 0) return false;

  double em;  // pixels
  if (height > 0) {
    // A cell height: the face's Windows ascent plus descent fill it.
    const auto em_26_6 =
        static_cast<FT_F26Dot6>(std::lround(height * 64.0 * units / (win_ascent + win_descent)));
    if (FT_Set_Char_Size(face, 0, em_26_6, 72, 72) != 0) return false;
    em = em_26_6 / 64.0;
    metrics->ascent = Rounded(win_ascent * height / (win_ascent + win_descent));
    metrics->descent = height - metrics->ascent;
  } else {
    const int32_t pixels = height < 0 ? -height : kDefaultEmPixels;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) return false;
    em = pixels;
    metrics->ascent = Rounded(win_ascent * em / units);
    metrics->descent = Rounded(win_descent * em / units);
  }
  metrics->height = metrics->ascent + metrics->descent;
  metrics->external_leading = 0;
  if (hhea) {
    // Windows counts only the part of the line gap that the Windows metrics leave out.
    const double gap = hhea->Line_Gap - ((win_ascent + win_descent) -
                                         (static_cast<double>(hhea->Ascender) - hhea->Descender));
    if (gap > 0) metrics->external_leading = Rounded(gap * em / units);
  }
  return true;
}

}  // namespace

GlyphFont* OpenGlyphFont(const GlyphFontRequest& request, GlyphFontMetrics* metrics) {
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!Started()) return nullptr;
  GlyphFaceFile file;
  if (!FindFaceFile(request, &file)) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(g_library, file.path.c_str(), file.index, &face) != 0) return nullptr;
  GlyphFontMetrics sized{};
  if (!FT_IS_SCALABLE(face) || !SizeFace(face, request.height, &sized)) {
    FT_Done_Face(face);
    return nullptr;
  }
  auto* font = new GlyphFont;
  font->face = face;
  font->file = file;
  font->ascent = sized.ascent;
  font->bold = BoldGrowthOf(face, request.weight, double(face->size->metrics.y_ppem));
  font->slant = request.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  *metrics = sized;
  return font;
}

bool RenderGlyph(GlyphFont* font, uint32_t codepoint, Glyph* glyph) {
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!font) return false;
  FT_Face face = font->face;
  const FT_UInt index = FT_Get_Char_Index(face, codepoint);
  // Hinted by the face's own instructions only, as GDI does: FreeType's auto-hinter would
  // take over a face that has none (Wine's Tahoma) and lift its round tops, the 8's and the
  // 9's, a pixel above where GDI draws them.
  if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_AUTOHINT) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE)
    EmboldenOutline(font->bold, font->bold.stem, &slot->outline, &slot->advance.x);
  if (font->slant && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    const FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
    FT_Outline_Transform(&slot->outline, &shear);
  }
  if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
      FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
    return false;
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph->left = slot->bitmap_left;
  glyph->top = font->ascent - slot->bitmap_top;
  glyph->width = static_cast<int32_t>(bitmap.width);
  glyph->height = static_cast<int32_t>(bitmap.rows);
  glyph->advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
  glyph->coverage.assign(static_cast<size_t>(glyph->width) * glyph->height, 0);
  for (int32_t y = 0; y < glyph->height; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    uint8_t* out = glyph->coverage.data() + static_cast<size_t>(y) * glyph->width;
    for (int32_t x = 0; x < glyph->width; ++x) {
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays > 1)
        out[x] = static_cast<uint8_t>(row[x] * 255 / (bitmap.num_grays - 1));
    }
  }
  return true;
}

void CloseGlyphFont(GlyphFont* font) {
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!font) return;
  FT_Done_Face(font->face);
  delete font;
}

GlyphFaceFile FaceFileOf(const GlyphFont* font) {
  std::lock_guard<std::mutex> guard(g_mutex);
  return font ? font->file : GlyphFaceFile{};
}

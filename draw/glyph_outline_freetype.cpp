// Glyph outlines from FreeType: the face file fontconfig gives the cards, loaded unscaled
// and unhinted (what print wants), emboldened in font units by the cards' rule.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cstring>
#include <mutex>

#include "draw/embolden_freetype.h"
#include "draw/face_file_freetype.h"
#include "draw/glyph_outline.h"

struct OutlineFace {
  FT_Face face = nullptr;
  BoldGrowth growth;
  FT_Pos embolden = 0;  // font units
};

namespace {
// FreeType's library is not thread-safe; one lock for every use of it here.
std::mutex g_mutex;
FT_Library g_library = nullptr;

OutlineFaceMetrics WindowsMetrics(FT_Face face) {
  OutlineFaceMetrics metrics;
  metrics.units_per_em = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  metrics.ascent = face->ascender;
  metrics.descent = -face->descender;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    metrics.ascent = os2->usWinAscent;
    metrics.descent = os2->usWinDescent;
  }
  return metrics;
}

// Outline points in font units become the path; quadratic curves become their cubics.
struct PathBuilder {
  GlyphOutline* outline;
  OutlinePoint last;
  bool open = false;
};
OutlinePoint PointOf(const FT_Vector* v) { return {double(v->x), double(v->y)}; }
void Add(PathBuilder* b, OutlineVerb verb, std::initializer_list<OutlinePoint> points) {
  b->outline->verbs.push_back(verb);
  for (const OutlinePoint& p : points) b->outline->points.push_back(p);
  if (points.size() > 0) b->last = *(points.end() - 1);
}
int MoveTo(const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  if (b->open) Add(b, OutlineVerb::kClose, {});
  Add(b, OutlineVerb::kMove, {PointOf(to)});
  b->open = true;
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  Add(static_cast<PathBuilder*>(user), OutlineVerb::kLine, {PointOf(to)});
  return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  const OutlinePoint p0 = b->last, c = PointOf(control), p3 = PointOf(to);
  Add(b, OutlineVerb::kCubic,
      {{p0.x + 2.0 / 3.0 * (c.x - p0.x), p0.y + 2.0 / 3.0 * (c.y - p0.y)},
       {p3.x + 2.0 / 3.0 * (c.x - p3.x), p3.y + 2.0 / 3.0 * (c.y - p3.y)},
       p3});
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  Add(static_cast<PathBuilder*>(user), OutlineVerb::kCubic,
      {PointOf(c1), PointOf(c2), PointOf(to)});
  return 0;
}
}  // namespace

OpenedOutlineFace OpenOutlineFace(const char* name, int32_t weight, double bold_em_pixels) {
  OpenedOutlineFace opened;
  GlyphFontRequest request{};
  std::strncpy(request.face, name, sizeof request.face - 1);
  request.weight = weight;
  GlyphFaceFile file;
  std::lock_guard<std::mutex> guard(g_mutex);
  if (!g_library && FT_Init_FreeType(&g_library) != 0) {
    g_library = nullptr;
    opened.error = "no se pudo iniciar FreeType";
    return opened;
  }
  FT_Face face = nullptr;
  if (!FindFaceFile(request, &file) ||
      FT_New_Face(g_library, file.path.c_str(), file.index, &face) != 0) {
    opened.error = std::string("no se encontró la letra ") + name;
    return opened;
  }
  opened.face = new OutlineFace;
  opened.face->face = face;
  opened.face->growth = BoldGrowthOf(face, weight, bold_em_pixels);
  opened.face->embolden = GrowthInFontUnits(opened.face->growth, face, bold_em_pixels);
  opened.metrics = WindowsMetrics(face);
  return opened;
}

GlyphOutline OutlineOf(OutlineFace* face, uint32_t codepoint) {
  GlyphOutline outline;
  std::lock_guard<std::mutex> guard(g_mutex);
  const FT_UInt index = FT_Get_Char_Index(face->face, codepoint);
  if (index == 0 ||
      FT_Load_Glyph(face->face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
    return outline;
  FT_GlyphSlot slot = face->face->glyph;
  FT_Pos advance = slot->metrics.horiAdvance;
  outline.present = true;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    EmboldenOutline(face->growth, face->embolden, &slot->outline, &advance);
    static const FT_Outline_Funcs kFuncs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    PathBuilder builder{&outline, {}, false};
    FT_Outline_Decompose(&slot->outline, &kFuncs, &builder);
    if (builder.open) outline.verbs.push_back(OutlineVerb::kClose);
    outline.even_odd = (slot->outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
  }
  outline.advance = double(advance);
  return outline;
}

void CloseOutlineFace(OutlineFace* face) {
  if (!face) return;
  std::lock_guard<std::mutex> guard(g_mutex);
  FT_Done_Face(face->face);
  delete face;
}

// The cards' face for the PDF sheets. A light bold face is emboldened by the cards' rule
// (draw/embolden_freetype.h) at the cards' em, then worked in font units on unhinted
// outlines, which is what print wants; the card works it in pixels at its one size.
#include "sheets/card_face.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstring>
#include <mutex>

#include "card/renderer.h"
#include "draw/draw.h"
#include "draw/embolden_freetype.h"
#include "draw/face_file_freetype.h"
#include "draw/glyphs.h"

namespace {

// Faces are opened one at a time.
std::mutex g_library_mutex;

const cairo_user_data_key_t kFaceKey{};
const cairo_user_data_key_t kBoldKey{};

// The bold numbers' face: the FreeType face and how much its outlines grow.
struct BoldFace {
  FT_Face face = nullptr;
  BoldGrowth growth;
  FT_Pos embolden = 0;  // font units
  double units = 1;
};

void DoneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }
void DoneBold(void* data) {
  auto* bold = static_cast<BoldFace*>(data);
  FT_Done_Face(bold->face);
  delete bold;
}

bool OpenFace(int32_t weight, FT_Face* face, std::string* error) {
  GlyphFontRequest request{};
  std::strncpy(request.face, kNumberFace, sizeof request.face - 1);
  request.weight = weight;
  GlyphFaceFile file;
  std::lock_guard<std::mutex> guard(g_library_mutex);
  if (FreeTypeLibrary() == nullptr) {
    *error = "no se pudo iniciar FreeType";
    return false;
  }
  if (!FindFaceFile(request, &file) ||
      FT_New_Face(FreeTypeLibrary(), file.path.c_str(), file.index, face) != 0) {
    *error = std::string("no se encontró la letra de los cartones (") + kNumberFace + ")";
    return false;
  }
  return true;
}

// Outlines in font units, y up, become cairo paths in ems, y down.
struct PathScale {
  cairo_t* cr;
  double units;
  FT_Vector last;
};
double X(const PathScale* p, const FT_Vector* v) { return static_cast<double>(v->x) / p->units; }
double Y(const PathScale* p, const FT_Vector* v) { return static_cast<double>(-v->y) / p->units; }
int MoveTo(const FT_Vector* to, void* user) {
  auto* p = static_cast<PathScale*>(user);
  cairo_close_path(p->cr);
  cairo_move_to(p->cr, X(p, to), Y(p, to));
  p->last = *to;
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  auto* p = static_cast<PathScale*>(user);
  cairo_line_to(p->cr, X(p, to), Y(p, to));
  p->last = *to;
  return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* p = static_cast<PathScale*>(user);
  // A quadratic curve as the cubic with the same shape.
  const double x0 = X(p, &p->last), y0 = Y(p, &p->last);
  const double cx = X(p, control), cy = Y(p, control), x3 = X(p, to), y3 = Y(p, to);
  cairo_curve_to(p->cr, x0 + 2.0 / 3.0 * (cx - x0), y0 + 2.0 / 3.0 * (cy - y0),
                 x3 + 2.0 / 3.0 * (cx - x3), y3 + 2.0 / 3.0 * (cy - y3), x3, y3);
  p->last = *to;
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* p = static_cast<PathScale*>(user);
  cairo_curve_to(p->cr, X(p, c1), Y(p, c1), X(p, c2), Y(p, c2), X(p, to), Y(p, to));
  p->last = *to;
  return 0;
}

BoldFace* BoldOf(cairo_scaled_font_t* font) {
  return static_cast<BoldFace*>(
      cairo_font_face_get_user_data(cairo_scaled_font_get_font_face(font), &kBoldKey));
}

cairo_status_t InitBold(cairo_scaled_font_t* font, cairo_t*, cairo_font_extents_t* extents) {
  const BoldFace* bold = BoldOf(font);
  double ascent, descent;
  WindowsMetrics(bold->face, &ascent, &descent);
  extents->ascent = ascent / bold->units;
  extents->descent = descent / bold->units;
  extents->height = extents->ascent + extents->descent;
  extents->max_x_advance = bold->face->max_advance_width / bold->units;
  extents->max_y_advance = 0;
  return CAIRO_STATUS_SUCCESS;
}

cairo_status_t UnicodeToBold(cairo_scaled_font_t* font, unsigned long unicode,
                             unsigned long* glyph) {
  *glyph = FT_Get_Char_Index(BoldOf(font)->face, unicode);
  return CAIRO_STATUS_SUCCESS;
}

cairo_status_t RenderBold(cairo_scaled_font_t* font, unsigned long glyph, cairo_t* cr,
                          cairo_text_extents_t* extents) {
  const BoldFace* bold = BoldOf(font);
  FT_Face face = bold->face;
  if (FT_Load_Glyph(face, static_cast<FT_UInt>(glyph),
                    FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
    return CAIRO_STATUS_USER_FONT_ERROR;
  FT_GlyphSlot slot = face->glyph;
  FT_Pos advance = slot->metrics.horiAdvance;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    EmboldenOutline(bold->growth, bold->embolden, &slot->outline, &advance);
    static const FT_Outline_Funcs kFuncs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    PathScale scale{cr, bold->units, {0, 0}};
    FT_Outline_Decompose(&slot->outline, &kFuncs, &scale);
    cairo_close_path(cr);
    cairo_set_fill_rule(cr, (slot->outline.flags & FT_OUTLINE_EVEN_ODD_FILL)
                                ? CAIRO_FILL_RULE_EVEN_ODD
                                : CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
  }
  extents->x_advance = static_cast<double>(advance) / bold->units;
  extents->y_advance = 0;
  return CAIRO_STATUS_SUCCESS;
}

// The card's em and emboldening at its size, as draw/ works them out.
double NumberEm() {
  return std::nearbyint(double{kDotsPerInch} * kNumberPoints / 72.0);
}
}  // namespace

bool OpenSheetFaces(SheetFaces* faces, std::string* error) {
  FT_Face regular = nullptr, bold_face = nullptr;
  if (!OpenFace(kRegularWeight, &regular, error)) return false;
  if (!OpenFace(kBoldWeight, &bold_face, error)) {
    FT_Done_Face(regular);
    return false;
  }
  auto* bold = new BoldFace;
  bold->face = bold_face;
  bold->units = bold_face->units_per_EM > 0 ? bold_face->units_per_EM : 2048;
  const double em = NumberEm();
  bold->growth = BoldGrowthOf(bold_face, kBoldWeight, em);
  bold->embolden = GrowthInFontUnits(bold->growth, bold_face, em);

  double ascent, descent;
  WindowsMetrics(bold_face, &ascent, &descent);
  faces->number_em = em;
  faces->number_ascent = static_cast<double>(std::lround(ascent * em / bold->units));

  faces->regular = cairo_ft_font_face_create_for_ft_face(regular, 0);
  cairo_font_face_set_user_data(faces->regular, &kFaceKey, regular, DoneFace);
  faces->bold = cairo_user_font_face_create();
  cairo_user_font_face_set_init_func(faces->bold, InitBold);
  cairo_user_font_face_set_unicode_to_glyph_func(faces->bold, UnicodeToBold);
  cairo_user_font_face_set_render_glyph_func(faces->bold, RenderBold);
  cairo_font_face_set_user_data(faces->bold, &kBoldKey, bold, DoneBold);
  if (cairo_font_face_status(faces->regular) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_status(faces->bold) != CAIRO_STATUS_SUCCESS) {
    *error = "cairo no pudo usar la letra de los cartones";
    CloseSheetFaces(faces);
    return false;
  }
  return true;
}

void CloseSheetFaces(SheetFaces* faces) {
  if (faces->bold) cairo_font_face_destroy(faces->bold);
  if (faces->regular) cairo_font_face_destroy(faces->regular);
  faces->bold = faces->regular = nullptr;
}

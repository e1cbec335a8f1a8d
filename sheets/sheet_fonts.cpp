// The sheets' faces as Type 3 fonts: each glyph's outline, in glyph units (1000 to the
// em), becomes a filled path; the fill colour is left to the text that shows it.
#include "sheets/sheet_fonts.h"

#include <cmath>
#include <cstdio>

#include "card/renderer.h"
#include "text/hex.h"
#include "text/utf8.h"

namespace {

double Scale(const SheetFace& face) { return kPdfGlyphUnits / face.metrics.units_per_em; }

// The outline as path operators in glyph units, and the box around its points.
std::string Drawing(const GlyphOutline& outline, double scale, double box[4]) {
  std::string path;
  size_t next = 0;
  box[0] = box[1] = box[2] = box[3] = 0;
  bool first = true;
  auto point = [&](const char* separator) {
    const OutlinePoint& p = outline.points[next++];
    const double x = p.x * scale, y = p.y * scale;
    AppendPdfNumber(&path, x);
    path += ' ';
    AppendPdfNumber(&path, y);
    path += separator;
    box[0] = first ? x : std::fmin(box[0], x);
    box[1] = first ? y : std::fmin(box[1], y);
    box[2] = first ? x : std::fmax(box[2], x);
    box[3] = first ? y : std::fmax(box[3], y);
    first = false;
  };
  for (OutlineVerb verb : outline.verbs) {
    if (verb == OutlineVerb::kMove) point(" m\n");
    if (verb == OutlineVerb::kLine) point(" l\n");
    if (verb == OutlineVerb::kCubic) {
      point(" ");
      point(" ");
      point(" c\n");
    }
    if (verb == OutlineVerb::kClose) path += "h\n";
  }
  if (!path.empty()) path += outline.even_odd ? "f*\n" : "f\n";
  return path;
}

}  // namespace

std::string MissingCharacterText(uint32_t c) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  std::string shown;
  if (c >= 0x20) {  // the character itself, as UTF-8, when it can be shown
    if (c < 0x80) shown = std::string(1, static_cast<char>(c));
    else if (c < 0x800) shown = {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
    else if (c < 0x10000)
      shown = {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
    else
      shown = {char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)), char(0x80 | (c >> 6 & 0x3F)),
               char(0x80 | (c & 0x3F))};
    shown = "«" + shown + "» ";
  }
  return "la letra de las hojas (" + std::string(kNumberFace) + ") no tiene el carácter " +
         shown + "(" + code + ")";
}

namespace {

// The glyph's code in the face's font, made now if need be; 0 when the face lacks it.
int CodeOf(SheetFace* face, PdfDocument* document, uint32_t c) {
  const int known = PdfGlyphCode(document->fonts[static_cast<size_t>(face->font)], c);
  if (known != 0) return known;
  const GlyphOutline outline = OutlineOf(face->outline, c);
  if (!outline.present) return 0;
  double box[4];
  const std::string drawing = Drawing(outline, Scale(*face), box);
  return AddPdfGlyph(document, face->font, c, outline.advance * Scale(*face), box, drawing);
}

std::string OpenFace(SheetFace* face, int32_t weight, double em, PdfDocument* document) {
  const OpenedOutlineFace opened = OpenOutlineFace(kNumberFace, weight, em);
  if (!opened.face) return opened.error;
  face->outline = opened.face;
  face->metrics = opened.metrics;
  face->font = AddPdfFont(document, face->metrics.ascent * Scale(*face),
                          face->metrics.descent * Scale(*face));
  face->resource = "/" + document->fonts[static_cast<size_t>(face->font)].name;
  return "";
}
}  // namespace

std::string OpenSheetFaces(SheetFaces* faces, PdfDocument* document) {
  // The card's em and baseline at its size, as draw/ works them out.
  faces->number_em = std::nearbyint(double{kDotsPerInch} * kNumberPoints / 72.0);
  std::string error = OpenFace(&faces->bold, kSheetBoldWeight, faces->number_em, document);
  if (error.empty()) error = OpenFace(&faces->regular, kSheetRegularWeight, faces->number_em, document);
  if (!error.empty()) {
    CloseSheetFaces(faces);
    return error;
  }
  faces->number_ascent = static_cast<double>(std::lround(AscentEms(faces->bold) * faces->number_em));
  return "";
}

void CloseSheetFaces(SheetFaces* faces) {
  CloseOutlineFace(faces->bold.outline);
  CloseOutlineFace(faces->regular.outline);
  faces->bold.outline = faces->regular.outline = nullptr;
}

SheetText EncodeSheetText(SheetFace* face, PdfDocument* document, const std::string& utf8) {
  SheetText text;
  text.codes = "<";
  for (const char* at = utf8.c_str(); *at;) {
    const uint32_t c = NextCodepoint(at);
    const int code = CodeOf(face, document, c);
    if (code == 0) {
      text.error = MissingCharacterText(c);
      return text;
    }
    AppendHexDigits(&text.codes, static_cast<uint32_t>(code), 2);
    const PdfGlyph& glyph =
        document->fonts[static_cast<size_t>(face->font)].glyphs[static_cast<size_t>(code - 1)];
    text.width += glyph.width / kPdfGlyphUnits;
  }
  text.codes += ">";
  return text;
}

double AscentEms(const SheetFace& face) { return face.metrics.ascent / face.metrics.units_per_em; }
double DescentEms(const SheetFace& face) {
  return face.metrics.descent / face.metrics.units_per_em;
}

void ShowCodes(std::string* out, const SheetFace& face, double size, double x, double baseline,
               const std::string& codes) {
  *out += "BT " + face.resource + ' ';
  AppendPdfNumber(out, size);
  *out += " Tf\n1 0 0 -1 ";
  AppendPdfNumber(out, x);
  *out += ' ';
  AppendPdfNumber(out, baseline);
  *out += " Tm\n" + codes + " Tj ET\n";
}

// Glyph outlines from GDI: the face made with CreateFontIndirectW at an em of its own
// units per em, so GetGlyphOutlineW's unhinted native outlines (GGO_NATIVE |
// GGO_UNHINTED) come in font units; quadratic B-splines (TrueType) and cubic ones
// (PostScript faces) become cubics. Bold asked of a light face is grown by the cards'
// rule, read from the face's own OS/2 table as FreeType reads it.
#include <windows.h>

#include <cstring>
#include <vector>

#include "draw/bold_rule.h"
#include "draw/embolden_outline.h"
#include "draw/glyph_outline.h"

struct OutlineFace {
  HDC dc = nullptr;
  HFONT font = nullptr;
  HGDIOBJ previous = nullptr;
  long embolden = 0;  // font units
  bool widen_advance = false;
};

namespace {
constexpr DWORD kOs2Table = 0x322F534F;  // 'OS/2' as GetFontData takes a tag
constexpr DWORD kWeightClassAt = 4, kSelectionAt = 62, kWinAscentAt = 74;
constexpr unsigned kSelectionBold = 0x20;
const MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};

double FixedValue(const FIXED& f) { return f.value + f.fract / 65536.0; }
OutlinePoint PointOf(const POINTFX& p) { return {FixedValue(p.x), FixedValue(p.y)}; }

unsigned BigEndianAt(HDC dc, DWORD offset) {
  unsigned char bytes[2] = {0, 0};
  if (GetFontData(dc, kOs2Table, offset, bytes, 2) != 2) return 0;
  return unsigned{bytes[0]} << 8 | bytes[1];
}

HFONT MakeFont(const char* name, int32_t weight, LONG height) {
  LOGFONTW description{};
  description.lfHeight = height;
  description.lfWeight = weight;
  WCHAR wide[LF_FACESIZE * 4] = {};
  MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, LF_FACESIZE * 4 - 1);
  std::memcpy(description.lfFaceName, wide, sizeof(WCHAR) * (LF_FACESIZE - 1));
  return CreateFontIndirectW(&description);
}

bool HasCharacter(HDC dc, uint32_t c) {
  if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  const wchar_t character = static_cast<wchar_t>(c);
  WORD index = 0;
  return GetGlyphIndicesW(dc, &character, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR &&
         index != 0xFFFF;
}

// The stem of 'l' as a share of the em, as the rule measures it; 0 without an 'l'.
double StemShare(HDC dc, double units) {
  GLYPHMETRICS metrics;
  if (!HasCharacter(dc, 'l') ||
      GetGlyphOutlineW(dc, 'l', GGO_METRICS | GGO_UNHINTED, &metrics, 0, nullptr, &kIdentity) ==
          GDI_ERROR)
    return 0;
  return metrics.gmBlackBoxX / units;
}
}  // namespace

namespace {
enum class PointKind : uint8_t { kOn, kQuadratic, kCubic };  // an end point or a control

struct NativeOutline {
  OutlineContours contours;
  std::vector<std::vector<PointKind>> kinds;
};

// GetGlyphOutlineW's polygons: a header with the start point, then lines and splines.
NativeOutline ParseNative(const std::vector<BYTE>& data) {
  NativeOutline native;
  size_t at = 0;
  while (at + sizeof(TTPOLYGONHEADER) <= data.size()) {
    TTPOLYGONHEADER header;
    std::memcpy(&header, &data[at], sizeof header);
    const size_t end = at + header.cb;
    if (header.cb < sizeof header || end > data.size()) break;
    std::vector<OutlinePoint> points{PointOf(header.pfxStart)};
    std::vector<PointKind> kinds{PointKind::kOn};
    for (size_t curve = at + sizeof header; curve + 4 <= end;) {
      WORD type, count;
      std::memcpy(&type, &data[curve], 2);
      std::memcpy(&count, &data[curve + 2], 2);
      for (WORD i = 0; i < count && curve + 4 + (i + 1) * sizeof(POINTFX) <= end; ++i) {
        POINTFX point;
        std::memcpy(&point, &data[curve + 4 + i * sizeof(POINTFX)], sizeof point);
        points.push_back(PointOf(point));
        const bool last = i + 1 == count;
        kinds.push_back(type == TT_PRIM_LINE || (type == TT_PRIM_QSPLINE && last) ||
                                (type == TT_PRIM_CSPLINE && i % 3 == 2)
                            ? PointKind::kOn
                            : type == TT_PRIM_CSPLINE ? PointKind::kCubic : PointKind::kQuadratic);
      }
      curve += 4 + count * sizeof(POINTFX);
    }
    native.contours.push_back(points);
    native.kinds.push_back(kinds);
    at = end;
  }
  return native;
}

void Add(GlyphOutline* o, OutlineVerb verb, std::initializer_list<OutlinePoint> points) {
  o->verbs.push_back(verb);
  o->points.insert(o->points.end(), points);
}

OutlinePoint Towards(const OutlinePoint& from, const OutlinePoint& to, double share) {
  return {from.x + share * (to.x - from.x), from.y + share * (to.y - from.y)};
}

// One contour as path verbs: runs of quadratic controls with their implied on-curve
// midpoints, cubic controls in pairs; closed back to the start.
void AddContour(GlyphOutline* o, const std::vector<OutlinePoint>& p, const std::vector<PointKind>& k) {
  const size_t n = p.size();
  OutlinePoint current = p[0];
  Add(o, OutlineVerb::kMove, {current});
  for (size_t i = 1; i <= n;) {
    const OutlinePoint& here = p[i % n];
    if (k[i % n] == PointKind::kOn) {
      Add(o, OutlineVerb::kLine, {here});
      current = here;
      ++i;
    } else if (k[i % n] == PointKind::kCubic) {
      const OutlinePoint end = p[(i + 2) % n];
      Add(o, OutlineVerb::kCubic, {here, p[(i + 1) % n], end});
      current = end;
      i += 3;
    } else {
      const bool next_on = i + 1 > n || k[(i + 1) % n] != PointKind::kQuadratic;
      const OutlinePoint end = next_on ? p[(i + 1) % n] : Towards(here, p[(i + 1) % n], 0.5);
      Add(o, OutlineVerb::kCubic,
          {Towards(current, here, 2.0 / 3.0), Towards(end, here, 2.0 / 3.0), end});
      current = end;
      i += next_on ? 2 : 1;
    }
  }
  Add(o, OutlineVerb::kClose, {});
}
}  // namespace

OpenedOutlineFace OpenOutlineFace(const char* name, int32_t weight, double bold_em_pixels) {
  OpenedOutlineFace opened;
  opened.error = std::string("no se encontró la letra ") + name;
  const HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return opened;
  // First at any size, to learn the face's units per em; then at that em.
  HFONT probe = MakeFont(name, weight, -1000);
  HGDIOBJ previous = probe ? SelectObject(dc, probe) : nullptr;
  OUTLINETEXTMETRICW metrics{};
  metrics.otmSize = sizeof metrics;
  const bool measured = previous && GetOutlineTextMetricsW(dc, sizeof metrics, &metrics) != 0;
  if (previous) SelectObject(dc, previous);
  if (probe) DeleteObject(probe);
  HFONT font = measured ? MakeFont(name, weight, -static_cast<LONG>(metrics.otmEMSquare)) : nullptr;
  previous = font ? SelectObject(dc, font) : nullptr;
  if (!previous) {
    if (font) DeleteObject(font);
    DeleteDC(dc);
    return opened;
  }
  const double units = metrics.otmEMSquare;
  const unsigned selection = BigEndianAt(dc, kSelectionAt);
  const bool bold_face = (selection & kSelectionBold) || BigEndianAt(dc, kWeightClassAt) >=
                                                             static_cast<unsigned>(kBoldRuleWeight);
  opened.face = new OutlineFace{dc, font, previous, 0, false};
  const long growth = BoldStemGrowth(weight, StemShare(dc, units), bold_face, bold_em_pixels);
  opened.face->embolden = BoldGrowthInFontUnits(growth, units, bold_em_pixels);
  opened.face->widen_advance = weight >= kBoldRuleWeight && !bold_face;
  opened.metrics.units_per_em = units;
  opened.metrics.ascent = BigEndianAt(dc, kWinAscentAt);
  opened.metrics.descent = BigEndianAt(dc, kWinAscentAt + 2);
  if (opened.metrics.ascent + opened.metrics.descent <= 0) {
    TEXTMETRICW text{};
    GetTextMetricsW(dc, &text);
    opened.metrics.ascent = text.tmAscent;
    opened.metrics.descent = text.tmDescent;
  }
  opened.error.clear();
  return opened;
}

GlyphOutline OutlineOf(OutlineFace* face, uint32_t codepoint) {
  GlyphOutline outline;
  if (!HasCharacter(face->dc, codepoint)) return outline;
  GLYPHMETRICS metrics;
  const UINT format = GGO_NATIVE | GGO_UNHINTED;
  const DWORD size = GetGlyphOutlineW(face->dc, codepoint, format, &metrics, 0, nullptr, &kIdentity);
  if (size == GDI_ERROR) return outline;
  std::vector<BYTE> data(size);
  if (size > 0 && GetGlyphOutlineW(face->dc, codepoint, format, &metrics, size, data.data(),
                                   &kIdentity) == GDI_ERROR)
    return outline;
  NativeOutline native = ParseNative(data);
  EmboldenContours(&native.contours, static_cast<double>(face->embolden));
  for (size_t c = 0; c < native.contours.size(); ++c)
    AddContour(&outline, native.contours[c], native.kinds[c]);
  outline.present = true;
  outline.advance = metrics.gmCellIncX + (face->widen_advance ? face->embolden : 0);
  return outline;
}

void CloseOutlineFace(OutlineFace* face) {
  if (!face) return;
  SelectObject(face->dc, face->previous);
  DeleteObject(face->font);
  DeleteDC(face->dc);
  delete face;
}

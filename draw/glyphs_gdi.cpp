// Glyph coverage from GDI: the font is made with CreateFontIndirectW in a memory device
// context, and each character comes from GetGlyphOutlineW as a 65-level grey bitmap,
// widened to 0..255. The drawing layer blends the coverage itself.
#include <windows.h>

#include <cstring>
#include <vector>

#include "draw/glyphs.h"
#include "text/utf16_win32.h"

struct GlyphFont {
  HDC dc;
  HFONT font;
  HGDIOBJ previous_font;
  int32_t ascent;
};

namespace {
constexpr int kGray8Levels = 64;  // GGO_GRAY8_BITMAP coverage runs 0..64

// The face name in UTF-16, at most 31 characters (LOGFONTW's limit).
void CopyFaceName(const char* face, WCHAR (&out)[LF_FACESIZE]) {
  std::memset(out, 0, sizeof(out));
  if (face[0] == '\0') return;
  const std::wstring wide = WideOfUtf8(face);
  const size_t kept = wide.size() < LF_FACESIZE - 1 ? wide.size() : LF_FACESIZE - 1;
  std::memcpy(out, wide.data(), sizeof(WCHAR) * kept);
}

bool HasCharacter(HDC dc, wchar_t character) {
  WORD index = 0;
  const DWORD done = GetGlyphIndicesW(dc, &character, 1, &index, GGI_MARK_NONEXISTING_GLYPHS);
  return done != GDI_ERROR && index != 0xFFFF;
}
}  // namespace

GlyphFont* OpenGlyphFont(const GlyphFontRequest& request, GlyphFontMetrics* metrics) {
  LOGFONTW description{};
  description.lfHeight = request.height;
  description.lfWeight = request.weight;
  description.lfItalic = request.italic ? 1 : 0;
  description.lfCharSet = static_cast<BYTE>(request.character_set);
  description.lfPitchAndFamily = static_cast<BYTE>(request.pitch_and_family);
  CopyFaceName(request.face, description.lfFaceName);

  const HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return nullptr;
  const HFONT font = CreateFontIndirectW(&description);
  if (font == nullptr) {
    DeleteDC(dc);
    return nullptr;
  }
  const HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICW text_metrics;
  if (previous == nullptr || !GetTextMetricsW(dc, &text_metrics)) {
    if (previous != nullptr) SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return nullptr;
  }
  if (metrics != nullptr) {
    metrics->ascent = text_metrics.tmAscent;
    metrics->descent = text_metrics.tmDescent;
    metrics->height = text_metrics.tmHeight;
    metrics->external_leading = text_metrics.tmExternalLeading;
  }
  return new GlyphFont{dc, font, previous, text_metrics.tmAscent};
}

bool RenderGlyph(GlyphFont* font, uint32_t codepoint, Glyph* glyph) {
  // GetGlyphOutlineW takes one UTF-16 unit; characters beyond it are not drawn.
  if (font == nullptr || codepoint > 0xFFFF || (codepoint >= 0xD800 && codepoint <= 0xDFFF))
    return false;
  if (!HasCharacter(font->dc, static_cast<wchar_t>(codepoint))) return false;

  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS metrics;
  const DWORD bytes =
      GetGlyphOutlineW(font->dc, codepoint, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
  if (bytes == GDI_ERROR) return false;

  glyph->advance = metrics.gmCellIncX;
  glyph->left = metrics.gmptGlyphOrigin.x;
  glyph->top = font->ascent - metrics.gmptGlyphOrigin.y;
  glyph->coverage.clear();
  if (bytes == 0) {  // a blank such as the space: an advance and nothing to draw
    glyph->width = 0;
    glyph->height = 0;
    return true;
  }

  std::vector<BYTE> grey(bytes);
  if (GetGlyphOutlineW(font->dc, codepoint, GGO_GRAY8_BITMAP, &metrics, bytes, grey.data(),
                       &identity) == GDI_ERROR)
    return false;
  const int32_t width = static_cast<int32_t>(metrics.gmBlackBoxX);
  const int32_t height = static_cast<int32_t>(metrics.gmBlackBoxY);
  const size_t pitch = (static_cast<size_t>(width) + 3) & ~size_t{3};  // rows are DWORD-aligned
  if (pitch * static_cast<size_t>(height) > grey.size()) return false;

  glyph->width = width;
  glyph->height = height;
  glyph->coverage.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int level = grey[static_cast<size_t>(y) * pitch + static_cast<size_t>(x)];
      glyph->coverage[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
          static_cast<uint8_t>((level * 255 + kGray8Levels / 2) / kGray8Levels);
    }
  }
  return true;
}

void CloseGlyphFont(GlyphFont* font) {
  if (font == nullptr) return;
  SelectObject(font->dc, font->previous_font);
  DeleteObject(font->font);
  DeleteDC(font->dc);
  delete font;
}

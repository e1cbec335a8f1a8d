// Face lookup through fontconfig (see face_file_freetype.h).
#include "draw/face_file_freetype.h"

#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <mutex>

namespace {
constexpr const char* kWindowsMetricFonts = "/usr/share/wine/fonts";
constexpr int kFixedPitch = 1;

std::mutex g_fontconfig_mutex;
bool g_fontconfig_ready = false;
}  // namespace

FT_Library FreeTypeLibrary() {
  static const FT_Library library = [] {
    FT_Library made = nullptr;
    return FT_Init_FreeType(&made) == 0 ? made : nullptr;
  }();
  return library;
}

void WindowsMetrics(FT_Face face, double* ascent, double* descent) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  *ascent = face->ascender;
  *descent = -face->descender;
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    *ascent = os2->usWinAscent;
    *descent = os2->usWinDescent;
  }
}

bool StartFontconfig() {
  std::lock_guard<std::mutex> guard(g_fontconfig_mutex);
  if (!g_fontconfig_ready) {
    if (!FcInit()) return false;
    // Missing on machines without fonts-wine; fontconfig then answers with what it has.
    FcConfigAppFontAddDir(nullptr, reinterpret_cast<const FcChar8*>(kWindowsMetricFonts));
    g_fontconfig_ready = true;
  }
  return true;
}

bool FindFaceFile(const GlyphFontRequest& request, GlyphFaceFile* found) {
  if (!StartFontconfig()) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (request.face[0])
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.face));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if ((request.pitch_and_family & 3) == kFixedPitch)
    FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcFontSet* fonts = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
  bool ok = false;
  for (int i = 0; fonts && i < fonts->nfont && !ok; ++i) {
    FcBool scalable = FcFalse;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetBool(fonts->fonts[i], FC_SCALABLE, 0, &scalable) != FcResultMatch ||
        !scalable || FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
      continue;
    FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
    found->path = reinterpret_cast<const char*>(file);
    found->index = index;
    ok = true;
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcPatternDestroy(pattern);
  return ok;
}


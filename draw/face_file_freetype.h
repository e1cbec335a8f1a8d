// Where a face is found on a FreeType system: fontconfig, with Wine's folder of
// Windows-metric fonts added to its search so that "Tahoma" finds a Tahoma-compatible
// face where one is installed. Shared by the glyphs of the cards and by anything that
// must draw with the very same face file (the PDF sheets).
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "draw/glyphs.h"

struct GlyphFaceFile {
  std::string path;
  int index = 0;  // the face within the file
};

// FreeType's library for the process, shared by the cards' glyphs and the PDF sheets:
// made at the first call and never released (cairo may release a face after the
// document that used it is gone). Null if FreeType cannot start. Its users serialise
// their calls (the drawing lock; the sheets draw on the same thread).
FT_Library FreeTypeLibrary();

// The ascent and descent Windows reports for a face, in font units: usWinAscent and
// usWinDescent where the OS/2 table has them, else the face's own.
void WindowsMetrics(FT_Face face, double* ascent, double* descent);

// Starts fontconfig once for the process; false if it cannot start.
bool StartFontconfig();

// The first scalable face fontconfig ranks for the request's name, weight, slant and
// pitch. Starts fontconfig if need be.
bool FindFaceFile(const GlyphFontRequest& request, GlyphFaceFile* found);

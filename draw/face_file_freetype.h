// Where a face is found on a FreeType system: fontconfig, with Wine's folder of
// Windows-metric fonts added to its search so that "Tahoma" finds a Tahoma-compatible
// face where one is installed. Shared by the glyphs of the cards and by anything that
// must draw with the very same face file (the PDF sheets).
#pragma once
#include <string>

#include "draw/glyphs.h"

struct GlyphFaceFile {
  std::string path;
  int index = 0;  // the face within the file
};

// Starts fontconfig once for the process; false if it cannot start.
bool StartFontconfig();

// The first scalable face fontconfig ranks for the request's name, weight, slant and
// pitch. Starts fontconfig if need be.
bool FindFaceFile(const GlyphFontRequest& request, GlyphFaceFile* found);

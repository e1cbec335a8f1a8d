// What the FreeType glyph source chose for a font: the face file, so that the drawn
// glyphs can be compared with that face's own outlines.
#pragma once
#include <string>

#include "draw/face_file_freetype.h"
#include "draw/glyphs.h"

// The file behind a font opened by OpenGlyphFont; an empty path for a null font.
GlyphFaceFile FaceFileOf(const GlyphFont* font);

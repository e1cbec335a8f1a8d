// The cards' face for cairo: the same face file the card glyphs come from (draw/'s
// fontconfig lookup), at the cards' metrics. The bold numbers are drawn from the face's
// outlines emboldened as draw/glyphs_freetype.cpp emboldens a light "bold" face, so the
// printed digits have the weight of the card's; they go into the PDF as an embedded
// Type 3 font of vector glyphs. Plain text (labels) uses the regular face through
// cairo-ft, embedded as a TrueType subset.
#pragma once
#include <cairo.h>

#include <string>

struct SheetFaces {
  cairo_font_face_t* bold = nullptr;
  cairo_font_face_t* regular = nullptr;
  double number_em = 0;      // the numbers' em in card pixels (lfHeight -53 for 40 points)
  double number_ascent = 0;  // cell top to baseline, in card pixels, as the card rounds it
};

bool OpenSheetFaces(SheetFaces* faces, std::string* error);
void CloseSheetFaces(SheetFaces* faces);

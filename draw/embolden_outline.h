// Growing an outline's points as FreeType's FT_Outline_EmboldenXY grows them, for outlines
// that do not come from FreeType (GDI's): each point moves out along the bisector of its
// two edges, by at most what the shorter edge allows, and the whole by half the growth,
// so the left and bottom edges stay. Then, as the cards' rule does, the glyph goes down
// by half its vertical growth (draw/embolden_freetype.h's EmboldenOutline).
#pragma once
#include <vector>

#include "draw/glyph_outline.h"

// Contours of control and on-curve points alike, each closed implicitly, in font units.
using OutlineContours = std::vector<std::vector<OutlinePoint>>;

// The outline `x_growth` wider and `x_growth / kVerticalShare` taller, kept in its place.
void EmboldenContours(OutlineContours* contours, double x_growth);

// The card renderer: draws a generated card into a 720 x 280 card image and shows it
// on a picture.
#pragma once
#include <cstdint>

#include "card/layout.h"
#include "draw/draw.h"

constexpr int32_t kCellSize = 80;
constexpr int32_t kCardImageWidth = 720;
constexpr int32_t kCardImageHeight = 280;
constexpr int32_t kPictureWidth = 721;
constexpr int32_t kPictureHeight = 241;
constexpr Colour kDefaultCardColour = 0xC0C0C0;
// The numbers: bold, in this face and size, the top-left of the first character cell
// this far from the cell's top-left corner. Anything that draws a card otherwise (the
// PDF sheets) takes them from here.
constexpr const char* kNumberFace = "Tahoma";
constexpr float kNumberPoints = 40;
constexpr int32_t kNumberOffsetX = 4;
constexpr int32_t kNumberOffsetY = 7;

// The first program's colour of cells, outlines and numbers, changed by "Elegir Color";
// DrawCard and ShowCard draw in it. A run of cards passes its own colour instead.
extern Colour g_card_colour;
// The bitmap of the last card made, 0 before the first.
extern uint32_t g_card_image;

// Draws the card of the seed into a card image.
void DrawCard(uint32_t card_image, uint32_t seed_bits);
void DrawCardInColour(uint32_t card_image, uint32_t seed_bits, Colour colour);
// Draws a card already laid out (a series cartón, say) the same way, cell for cell.
void DrawLayoutInColour(uint32_t card_image, const CardLayout& layout, Colour colour);

// Replaces the card image with the card of the seed and copies it onto the picture: a
// window's picture control, or a 721 x 241 bitmap (whose control is 0). Afterwards the
// picture is the drawing target.
void ShowCard(uint32_t window, int32_t control, uint32_t seed_bits);
void ShowCardInColour(uint32_t window, int32_t control, uint32_t seed_bits, Colour colour);
void ShowLayoutInColour(uint32_t window, int32_t control, const CardLayout& layout,
                        Colour colour);

// The claimed card as both bingo windows show it: drawn by the project's card renderer,
// as its sheet shows it, then marked for the caller. A blank stays in the card's colour;
// a called number keeps its white cell and gets a round amber dab under its digits, so
// the two are told apart at a glance; a full row is framed in green.
#pragma once
#include <cstdint>
#include <vector>

#include "card/layout.h"
#include "draw/draw.h"

#include "card/renderer.h"

// The card's rows only, not the renderer's white margin below them.
constexpr int32_t kClaimCardWidth = kCardImageWidth;
constexpr int32_t kClaimCardHeight = kPictureHeight;

// kClaimCardWidth x kClaimCardHeight pixels, 0xFFRRGGBB row by row from the top; empty
// when no bitmap could be made.
std::vector<uint32_t> ClaimCardPixels(const CardLayout& layout,
                                      const bool marked[kCardRows][kCardColumns],
                                      const bool full_row[kCardRows], Colour colour);

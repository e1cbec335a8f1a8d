// The hall screen's layout with the phones' page on: its QR code and address in a column
// at the right, clear of the board, and the bands along the bottom as wide as without it.
#include <gtest/gtest.h>

#include "bingo/hall_screen.h"

namespace {
constexpr double kTahomaBoldEights = 1.12;  // "88" in a bold face, per pixel of its size

TEST(HallLayout, ThePagesColumnStandsRightOfTheBoardAndAboveTheBottomBands) {
  const struct {
    int width, height;
  } screens[] = {{1920, 1080}, {1280, 1024}, {1024, 768}, {640, 512}, {800, 1280}};
  for (const auto& screen : screens) {
    SCOPED_TRACE(std::to_string(screen.width) + "x" + std::to_string(screen.height));
    const HallLayout plain = LayOutHall(screen.width, screen.height, kTahomaBoldEights, 90);
    const HallLayout page = LayOutHall(screen.width, screen.height, kTahomaBoldEights, 90, true);
    const BoardBox& qr = page.page_qr;
    EXPECT_EQ(qr.right - qr.left, qr.bottom - qr.top) << "the QR code's box is square";
    EXPECT_GE(qr.right - qr.left, screen.height / 8);
    EXPECT_GE(qr.left, page.board.grid.right) << "clear of the board";
    EXPECT_LE(qr.right, screen.width);
    EXPECT_GE(qr.top, page.top.bottom) << "under the top band";
    EXPECT_GE(page.page_address.top, qr.bottom);
    EXPECT_LE(page.page_address.bottom, page.given.top) << "above the bottom band";
    EXPECT_EQ(page.given.right, plain.given.right) << "the prizes given keep their width";
    EXPECT_LT(page.board.grid.right, plain.board.grid.right) << "the board makes room";
  }
}
}  // namespace

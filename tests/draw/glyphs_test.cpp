// Glyph coverage and metrics from the platform: the Tahoma-metric bold face must report
// the metrics Windows reports, so that the card's numbers stand where they do there.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "draw/glyphs.h"

namespace {
GlyphFontRequest Request(const char* face, int32_t height, int32_t weight) {
  GlyphFontRequest request{};
  std::strcpy(request.face, face);
  request.height = height;
  request.weight = weight;
  return request;
}

bool HaveTahomaBold() {
  return std::ifstream("/usr/share/wine/fonts/tahomabd.ttf").good();
}

TEST(Glyphs, TahomaBoldAt53PixelsHasTheWindowsMetrics) {
  if (!HaveTahomaBold()) GTEST_SKIP() << "fonts-wine is not installed (no tahomabd.ttf)";
  GlyphFontMetrics metrics{};
  GlyphFont* font = OpenGlyphFont(Request("Tahoma", -53, 700), &metrics);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(metrics.ascent, 53);
  EXPECT_EQ(metrics.descent, 11);
  EXPECT_EQ(metrics.height, 64);
  EXPECT_EQ(metrics.external_leading, 0);
  Glyph seven;
  ASSERT_TRUE(RenderGlyph(font, '7', &seven));
  // Digits stand on the baseline; the bold's even vertical growth may reach a row below.
  EXPECT_GE(seven.top + seven.height, metrics.ascent);
  EXPECT_LE(seven.top + seven.height, metrics.ascent + 1);
  CloseGlyphFont(font);
}

TEST(Glyphs, AnyFaceGivesConsistentMetricsAndAntiAliasedDigits) {
  GlyphFontMetrics metrics{};
  GlyphFont* font = OpenGlyphFont(Request("Tahoma", -53, 700), &metrics);
  ASSERT_NE(font, nullptr) << "no scalable font at all on this machine";
  EXPECT_EQ(metrics.height, metrics.ascent + metrics.descent);
  EXPECT_GT(metrics.ascent, 40);
  int32_t advance = -1;
  for (uint32_t c = '0'; c <= '9'; ++c) {
    Glyph glyph;
    ASSERT_TRUE(RenderGlyph(font, c, &glyph));
    ASSERT_EQ(glyph.coverage.size(), size_t(glyph.width) * glyph.height);
    EXPECT_GT(glyph.advance, 20);
    if (advance < 0) advance = glyph.advance;
    EXPECT_EQ(glyph.advance, advance) << "digits share one width";
    EXPECT_GE(glyph.top, 0);
    EXPECT_LE(glyph.top + glyph.height, metrics.height);
    bool solid = false, partial = false;
    for (uint8_t v : glyph.coverage) {
      solid = solid || v == 255;
      partial = partial || (v > 0 && v < 255);
    }
    EXPECT_TRUE(solid && partial) << char(c);
  }
  Glyph missing;
  EXPECT_FALSE(RenderGlyph(font, 0x10FFFD, &missing));
  CloseGlyphFont(font);
}

TEST(Glyphs, APositiveHeightIsTheCellHeight) {
  GlyphFontMetrics metrics{};
  GlyphFont* font = OpenGlyphFont(Request("Tahoma", 64, 700), &metrics);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(metrics.height, 64);
  if (HaveTahomaBold()) {
    EXPECT_EQ(metrics.ascent, 53);
  }
  CloseGlyphFont(font);
}
}  // namespace

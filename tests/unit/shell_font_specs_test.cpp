#include <gtest/gtest.h>

#include <cstring>

#include "app/font_specs.h"

TEST(ShellFontSpecs, DoubleByteFacesAreShiftJisBytes) {
  const unsigned char gothic[] = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x82, 0x6F, 0x83,
                                  0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E, 0x00};
  const unsigned char mincho[] = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x96, 0xBE, 0x92, 0xA9, 0x00};
  for (const FontSet* set : {&StandardFontSet, &StatusFontSet}) {
    EXPECT_EQ(std::memcmp(set->doubleBytePrimary.faceName, gothic, sizeof(gothic)), 0);
    EXPECT_EQ(std::memcmp(set->doubleByteFallback.faceName, mincho, sizeof(mincho)), 0);
    EXPECT_EQ(set->doubleBytePrimary.charset, 128);
    EXPECT_EQ(set->doubleBytePrimary.pitchAndFamily, 0x10);
  }
}

TEST(ShellFontSpecs, SingleByteFacesSwapBetweenTheSets) {
  EXPECT_STREQ(StandardFontSet.singleBytePrimary.faceName, "Arial");
  EXPECT_EQ(StandardFontSet.singleBytePrimary.pitchAndFamily, 0x22);
  EXPECT_EQ(StandardFontSet.singleBytePrimary.weight, 400);
  EXPECT_STREQ(StandardFontSet.singleByteFallback.faceName, "MS Sans Serif");
  EXPECT_STREQ(StatusFontSet.singleBytePrimary.faceName, "MS Sans Serif");
  EXPECT_EQ(StatusFontSet.singleBytePrimary.weight, 700);
  EXPECT_EQ(StatusFontSet.singleBytePrimary.pitchAndFamily, 0x20);
  EXPECT_STREQ(StatusFontSet.singleByteFallback.faceName, "Arial");
  EXPECT_EQ(StatusFontSet.doubleBytePrimary.weight, 400);
  EXPECT_EQ(HeaderFontSpec.height, 8);
  EXPECT_EQ(HeaderFontSpec.weight, 700);
  EXPECT_STREQ(HeaderFontSpec.faceName, "MS Sans Serif");
}

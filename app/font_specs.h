// Font descriptions shared by the panes and dialogs; each creates its own font from them.
#pragma once

#include <cstdint>

struct FontSpec {
  int32_t height;  // negative: character height; positive: cell height
  int32_t weight;  // 400 normal, 700 bold
  uint8_t italic;
  uint8_t charset;         // 0 ANSI, 128 Shift-JIS
  uint8_t pitchAndFamily;  // 0x10 roman, 0x20 swiss, 0x22 swiss variable pitch
  char faceName[32];       // in the code page of the charset
};

// Tried in this order: double-byte systems take the first pair, others the second.
struct FontSet {
  FontSpec doubleBytePrimary;
  FontSpec doubleByteFallback;
  FontSpec singleBytePrimary;
  FontSpec singleByteFallback;
};

extern const FontSet StandardFontSet;
extern const FontSet StatusFontSet;
extern const FontSpec HeaderFontSpec;  // made with default output quality, no fallback

#include "app/startup.h"

#include <cstring>

HFONT CreateFontFromSpec(const FontSpec& spec, BYTE quality) {
  LOGFONTA font = {};
  font.lfHeight = spec.height;
  font.lfWeight = spec.weight;
  font.lfItalic = spec.italic;
  font.lfCharSet = spec.charset;
  font.lfPitchAndFamily = spec.pitchAndFamily;
  static_assert(sizeof(font.lfFaceName) == sizeof(spec.faceName), "face name limits differ");
  std::memcpy(font.lfFaceName, spec.faceName, sizeof(font.lfFaceName));
  font.lfFaceName[sizeof(font.lfFaceName) - 1] = '\0';
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = quality;
  return CreateFontIndirectA(&font);
}

HFONT CreateFontFromSet(const FontSet& set) {
  bool doubleByte = GetSystemMetrics(SM_DBCSENABLED) != 0;
  const FontSpec& primary = doubleByte ? set.doubleBytePrimary : set.singleBytePrimary;
  const FontSpec& fallback = doubleByte ? set.doubleByteFallback : set.singleByteFallback;
  if (HFONT font = CreateFontFromSpec(primary)) return font;
  return CreateFontFromSpec(fallback);
}

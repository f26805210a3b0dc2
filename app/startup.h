// Font creation shared by every pane and dialog (the start-up itself is WinMain).
#pragma once

#include <windows.h>

#include "app/font_specs.h"

// A font exactly as described; proof quality unless told otherwise (the column header passes
// DEFAULT_QUALITY for HeaderFontSpec). None when the platform refuses it.
HFONT CreateFontFromSpec(const FontSpec& spec, BYTE quality = PROOF_QUALITY);

// The double-byte pair on double-byte systems, else the single-byte pair: primary, then fallback.
HFONT CreateFontFromSet(const FontSet& set);

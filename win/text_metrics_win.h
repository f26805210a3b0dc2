// Text measuring shared by the layout, the panes and the owner-drawn lists.
#pragma once

#include <windows.h>

// Text metrics with tmHeight + 2 and tmAveCharWidth + 1; false (unadjusted) when measuring fails.
bool GetPaddedTextMetrics(HDC dc, TEXTMETRICA* metrics);

// Padded character height of a font (the stock system font standing in for none) on a drawing
// surface of the window; 0 when it cannot be measured.
int PaddedTextHeight(HWND window, HFONT font);

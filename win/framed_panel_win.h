// The sunken frame of the status bar and the recipient box: a light-grey face in a grey
// outline, dark inner edges top and left, white inner edges bottom and right.
#pragma once

#include <windows.h>

constexpr COLORREF kPanelFrameGrey = RGB(110, 110, 110);

// Everything it selects is deselected again on return.
void DrawFramedPanel(HDC dc, const RECT& r);

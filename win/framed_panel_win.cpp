#include "win/framed_panel_win.h"

#include "win/gdi_owners_win.h"

void DrawFramedPanel(HDC dc, const RECT& r) {
  OwnedPen framePen(CreatePen(PS_SOLID, 1, kPanelFrameGrey));
  {
    SelectGuard pen(dc, framePen.get());
    SelectGuard brush(dc, GetStockObject(LTGRAY_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    DrawLine(dc, r.left + 2, r.top + 2, r.right - 2, r.top + 2);
    DrawLine(dc, r.left + 2, r.top + 2, r.left + 2, r.bottom - 3);
  }
  SelectGuard pen(dc, GetStockObject(WHITE_PEN));
  DrawLine(dc, r.left + 2, r.bottom - 3, r.right - 2, r.bottom - 3);
  DrawLine(dc, r.right - 2, r.top + 2, r.right - 2, r.bottom - 3);
}

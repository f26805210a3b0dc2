#include "win/text_metrics_win.h"

#include "win/gdi_owners_win.h"

bool GetPaddedTextMetrics(HDC dc, TEXTMETRICA* metrics) {
  if (!GetTextMetricsA(dc, metrics)) return false;
  metrics->tmHeight += 2;
  metrics->tmAveCharWidth += 1;
  return true;
}

int PaddedTextHeight(HWND window, HFONT font) {
  WindowDC surface(window);
  if (!surface.get()) return 0;
  SelectGuard selected(surface.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA metrics = {};
  return GetPaddedTextMetrics(surface.get(), &metrics) ? metrics.tmHeight : 0;
}

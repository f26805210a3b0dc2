// Print: the standard print dialog, then one GDI page after another at the printer's own
// resolution, inside 15 mm margins; the layout comes from the portable core.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <string>

#include "app/shell_state.h"
#include "app/text_message.h"
#include "print/print_command.h"
#include "print/page_range.h"
#include "print/print_errors.h"
#include "print/print_entries.h"
#include "win/gdi_owners_win.h"
#include "win/list_box_win.h"
#include "win/system_words_win.h"

namespace {

enum : UINT { kTitleText = 101, kGroupWord = 162, kPageText = 191, kPrintFailed = 192, kRangeBeyondLast = 2111 };
constexpr int kPointSize = 10;
constexpr int kMarginTenthsMm = 150;

static_assert(kErrorCancelled == ERROR_CANCELLED && kErrorPrintCancelled == ERROR_PRINT_CANCELLED,
              "the core's error codes are the system's");

void TellFailure(HWND owner, const std::string& words) {
  ShowTextMessage(owner, kPrintFailed, {words}, MB_OK | MB_ICONHAND | MB_SETFOREGROUND);
}

// A printing call that failed without saying why still gets a reason.
std::string WordsFor(DWORD error) { return SystemWords(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE); }
std::string LastErrorWords() { return WordsFor(GetLastError()); }

// Tells a failed print call's error, unless the user cancelled (in the driver's own prompt).
void TellUnlessCancelled(HWND owner, DWORD error) {
  if (PrintFailureIsTold(error)) TellFailure(owner, WordsFor(error));
}

// The selected entries, or with none selected the whole list in its order.
std::vector<ItemRef> EntriesToPrint() {
  std::vector<int> selected = SelectedPositions(g_shell.entryList);
  return selected.empty() ? AllItemData(g_shell.entryList) : ItemDataAt(g_shell.entryList, selected);
}

// The area inside 15 mm margins of the paper, in device units from the printable origin.
RECT AreaInsideMargins(HDC dc) {
  int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  int marginX = MulDiv(kMarginTenthsMm, dpiX, 254), marginY = MulDiv(kMarginTenthsMm, dpiY, 254);
  int paperWidth = GetDeviceCaps(dc, PHYSICALWIDTH), paperHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
  int offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX), offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  if (paperWidth <= 0 || paperHeight <= 0) {  // not a printer: its whole surface is the paper
    paperWidth = GetDeviceCaps(dc, HORZRES);
    paperHeight = GetDeviceCaps(dc, VERTRES);
    offsetX = offsetY = 0;
  }
  RECT area;
  area.left = std::max(marginX - offsetX, 0);
  area.top = std::max(marginY - offsetY, 0);
  area.right = std::max(paperWidth - marginX - offsetX, static_cast<int>(area.left) + 1);
  area.bottom = std::max(paperHeight - marginY - offsetY, static_cast<int>(area.top) + 1);
  return area;
}

struct PrinterFonts {
  OwnedFont normal;
  OwnedFont bold;
};

HFONT MakeFont(HDC dc, int weight) {
  LOGFONTA font = {};
  font.lfHeight = -MulDiv(kPointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpyA(font.lfFaceName, "Arial");
  return CreateFontIndirectA(&font);
}

int TextWidthIn(HDC dc, HFONT font, std::string_view text) {
  SelectGuard use(dc, font);
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int LineHeightOf(HDC dc, HFONT font) {
  SelectGuard use(dc, font);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  return std::max<int>(metrics.tmHeight + metrics.tmExternalLeading, 1);
}

void DrawTextLine(HDC dc, HFONT font, int x, int y, std::string_view text) {
  SelectGuard use(dc, font);
  TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

void DrawHeader(HDC dc, const PrinterFonts& fonts, const RECT& area, const std::string& title, int number) {
  std::string text = PageNumberText(LoadLongString(kPageText), number);
  DrawTextLine(dc, fonts.bold.get(), area.left, area.top, title);
  DrawTextLine(dc, fonts.bold.get(), area.right - TextWidthIn(dc, fonts.bold.get(), text), area.top, text);
}

// Draws the pages from..to (1-based, inclusive) into a document already started; false with
// the system's error code when the printer refused a page.
bool DrawPages(HDC dc, const std::vector<PrintPage>& pages, int from, int to, const PrinterFonts& fonts, const RECT& area) {
  std::string title = LoadLongString(kTitleText);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (int number = from; number <= to && number <= static_cast<int>(pages.size()); ++number) {
    if (StartPage(dc) <= 0) return false;
    DrawHeader(dc, fonts, area, title, number);
    for (const PlacedLine& line : pages[number - 1].lines)
      DrawTextLine(dc, line.bold ? fonts.bold.get() : fonts.normal.get(), area.left, area.top + line.y, line.text);
    if (EndPage(dc) <= 0) return false;
  }
  return true;
}

// Lays out the entries for this device and prints the pages asked for as one document.
void PrintOn(HWND owner, HDC dc, int from, int to) {
  PrinterFonts fonts{OwnedFont(MakeFont(dc, FW_NORMAL)), OwnedFont(MakeFont(dc, FW_BOLD))};
  RECT area = AreaInsideMargins(dc);
  PageGeometry geometry;
  geometry.width = area.right - area.left;
  geometry.height = area.bottom - area.top;
  geometry.lineHeight = std::max(LineHeightOf(dc, fonts.normal.get()), LineHeightOf(dc, fonts.bold.get()));
  auto measure = [&](std::string_view text, bool bold) {
    return TextWidthIn(dc, bold ? fonts.bold.get() : fonts.normal.get(), text);
  };
  std::vector<PrintPage> pages =
      LayOutPages(EntryBlocks(g_shell.store, EntriesToPrint(), LoadLongString(kGroupWord)), geometry, g_shell.store.codePage, measure);
  if (pages.empty()) return;
  PageRange range = PagesToPrint(static_cast<int>(pages.size()), from, to);
  if (range.Empty()) {  // an empty job would still come out of the printer, as a blank sheet
    ShowTextMessage(owner, kRangeBeyondLast, {std::to_string(pages.size())}, MB_OK | MB_ICONINFORMATION);
    return;
  }
  std::string title = LoadLongString(kTitleText);
  DOCINFOA document = {};
  document.cbSize = sizeof document;
  document.lpszDocName = title.c_str();
  if (StartDocA(dc, &document) <= 0) {
    TellUnlessCancelled(owner, GetLastError());
    return;
  }
  if (!DrawPages(dc, pages, range.from, range.to, fonts, area)) {
    DWORD error = GetLastError();
    AbortDoc(dc);
    TellUnlessCancelled(owner, error);
    return;
  }
  if (EndDoc(dc) <= 0) TellUnlessCancelled(owner, GetLastError());
}

// The chosen printer's device context, made without a port as Win32 asks: each document then
// starts on the printer's own port, and a port that writes to a file asks the user for its name
// (under Wine as on Windows; a context made with the port "FILE:" would write a file of that name).
HDC CreatePrinterContext(const PRINTDLGA& dialog) {
  const auto* names = static_cast<const DEVNAMES*>(GlobalLock(dialog.hDevNames));
  if (!names) return nullptr;
  const auto* mode = dialog.hDevMode ? static_cast<const DEVMODEA*>(GlobalLock(dialog.hDevMode)) : nullptr;
  const char* base = reinterpret_cast<const char*>(names);
  HDC dc = CreateDCA(base + names->wDriverOffset, base + names->wDeviceOffset, nullptr, mode);
  if (mode) GlobalUnlock(dialog.hDevMode);
  GlobalUnlock(dialog.hDevNames);
  return dc;
}

std::string DialogFailureWords(DWORD extendedError) {
  if (extendedError == PDERR_NODEFAULTPRN || extendedError == PDERR_NODEVICES)
    return SystemWords(ERROR_INVALID_PRINTER_NAME);
  char text[64];
  wsprintfA(text, "Print dialog error 0x%04lX.", static_cast<unsigned long>(extendedError));
  return text;
}

}  // namespace

void PrintEntries(HWND mainWindow) {
  if (ListCount(g_shell.entryList) == 0) return;
  PRINTDLGA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = mainWindow;
  // The default printer first, without a window: with none the platform's dialog would only
  // warn, and report nothing back.
  dialog.Flags = PD_RETURNDEFAULT;
  DWORD error = 0;  // stays 0 for Cancel
  if (!PrintDlgA(&dialog)) {
    error = CommDlgExtendedError();
  } else {
    dialog.Flags = PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    dialog.nFromPage = 1;
    dialog.nToPage = 1;
    dialog.nMinPage = 1;
    dialog.nMaxPage = 0xFFFF;
    dialog.nCopies = 1;
    ++g_shell.DialogActive;
    BOOL chosen = PrintDlgA(&dialog);
    --g_shell.DialogActive;
    if (!chosen) {
      error = CommDlgExtendedError();
    } else if (HDC dc = CreatePrinterContext(dialog)) {
      bool range = (dialog.Flags & PD_PAGENUMS) != 0;
      PrintOn(mainWindow, dc, range ? dialog.nFromPage : 1, range ? dialog.nToPage : 0xFFFF);
      DeleteDC(dc);
    } else {
      TellFailure(mainWindow, LastErrorWords());
    }
  }
  if (error != 0) TellFailure(mainWindow, DialogFailureWords(error));
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
}

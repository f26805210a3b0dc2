#include "store/code_page.h"

#include <windows.h>

CodePage SystemCodePage() {
  CodePage page;
  page.number = GetACP();
  for (unsigned c = 0x80; c < 256; ++c)
    page.lead[c] = IsDBCSLeadByteEx(page.number, static_cast<BYTE>(c)) != FALSE;
  return page;
}

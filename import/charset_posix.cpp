// Native stand-in for the platform's code pages: the ANSI code page is Windows-1252, which is
// also the only other 8-bit code page read.
#include "import/charset.h"

namespace {

constexpr uint32_t kWindows1252 = 1252;

// 0x80 to 0x9F; the five unassigned bytes keep the C1 control of the same number, as Windows does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Widen(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
}

// Best fit of U+0100 to U+017F (Latin Extended-A): the letter without its mark; "?" where
// there is none. The five that Windows-1252 holds are found in kHighControls first.
constexpr char kLatinExtendedA[] =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

// The byte of `c`, or none when it has no best fit either.
int Narrow(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == c) return 0x80 + i;
  if (c >= 0x100 && c < 0x180 && kLatinExtendedA[c - 0x100] != '?') return kLatinExtendedA[c - 0x100];
  if (c >= 0xFF01 && c <= 0xFF5E) return c - 0xFF01 + 0x21;  // fullwidth forms: their ASCII letter
  return -1;
}

}  // namespace

bool DecodeCodePage(uint32_t codePage, std::string_view bytes, std::u16string& out) {
  if (codePage != kAnsiCodePage && codePage != kWindows1252) return false;
  out.clear();
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(Widen(static_cast<unsigned char>(c)));
  return true;
}

std::string EncodeAnsi(std::u16string_view text, bool* unshowable) {
  std::string out;
  out.reserve(text.size());
  bool missing = false;
  for (size_t i = 0; i < text.size(); ++i) {
    bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() &&
                text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
    int byte = pair ? -1 : Narrow(text[i]);
    if (byte < 0) missing = true;
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    if (pair) ++i;
  }
  if (unshowable) *unshowable = missing;
  return out;
}


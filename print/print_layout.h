// Laying out printed pages: the lines of each entry's block, wrapped at word boundaries to the
// page width and placed on pages below a header line, so that a block is not split across pages
// unless it is taller than a page. Sizes are in the printer's units; the caller measures text.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/code_page.h"

struct PrintLine {
  std::string text;
  bool bold = false;
};

// The lines of one entry, first to last; empty lines are left out by whoever builds it.
using PrintBlock = std::vector<PrintLine>;

// The printable area inside the margins, and the height of one line.
struct PageGeometry {
  int width = 0;
  int height = 0;
  int lineHeight = 1;
};

struct PlacedLine {
  std::string text;
  bool bold = false;
  int y = 0;  // top of the line, from the top of the printable area
};

// The body lines of one page; the header line (title and page number) sits at y 0 above them.
struct PrintPage {
  std::vector<PlacedLine> lines;
};

// The width a text takes in the font of a bold or a normal line.
using TextWidth = std::function<int(std::string_view text, bool bold)>;

// The text broken into lines no wider than `width`, at spaces; a word wider than a line is
// broken where it has to be, between two characters of the code page. Always at least one line
// (empty for an empty text).
std::vector<std::string> WrapText(std::string_view text, int width, const CodePage& page,
                                  const std::function<int(std::string_view)>& measure);

// The page header's number text: the first "%d" of the pattern replaced by the number (a
// translated pattern is never handed to printf).
std::string PageNumberText(std::string_view pattern, int number);

// The pages for the blocks in order: one blank line between blocks and after the header.
std::vector<PrintPage> LayOutPages(const std::vector<PrintBlock>& blocks, const PageGeometry& page,
                                   const CodePage& codePage, const TextWidth& measure);

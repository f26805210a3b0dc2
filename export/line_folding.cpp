#include "export/line_folding.h"

void AppendFoldedLine(std::string& out, std::string_view line, size_t maxOctets) {
  size_t room = maxOctets;
  while (line.size() > room) {
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    if (cut == 0) cut = room;  // not UTF-8 after all: cut anywhere rather than never
    out.append(line.data(), cut);
    out.append("\r\n ");
    line.remove_prefix(cut);
    room = maxOctets - 1;
  }
  out.append(line.data(), line.size());
  out.append("\r\n");
}

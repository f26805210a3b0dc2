#include "print/print_layout.h"

#include <algorithm>

namespace {

constexpr int kHeaderLines = 2;  // the header and a blank line below it

// Where the characters of `word` end, in bytes: a cut is only ever made at one of these.
std::vector<size_t> CharacterEnds(std::string_view word, const CodePage& page) {
  std::vector<size_t> ends;
  for (size_t i = 0; i < word.size();) {
    i += CharLengthAt(page, word, i);
    ends.push_back(i);
  }
  return ends;
}

// The longest start of `word` that fits, at least one character so that wrapping always moves on.
size_t FittingPrefix(std::string_view word, int width, const CodePage& page,
                     const std::function<int(std::string_view)>& measure) {
  std::vector<size_t> ends = CharacterEnds(word, page);
  size_t low = 0, high = ends.size() - 1;
  while (low < high) {
    size_t mid = (low + high + 1) / 2;
    if (measure(word.substr(0, ends[mid])) <= width)
      low = mid;
    else
      high = mid - 1;
  }
  return ends[low];
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < text.size()) {
    size_t start = text.find_first_not_of(' ', at);
    if (start == std::string_view::npos) break;
    size_t end = std::min(text.find(' ', start), text.size());
    words.push_back(text.substr(start, end - start));
    at = end;
  }
  return words;
}

struct PageFiller {
  int lineHeight;
  int bodyLines;
  std::vector<PrintPage> pages;
  int used = 0;  // body lines taken on the last page

  void NewPage() {
    pages.emplace_back();
    used = 0;
  }
  void Put(const PrintLine& line) {
    if (pages.empty() || used == bodyLines) NewPage();
    pages.back().lines.push_back({line.text, line.bold, (kHeaderLines + used) * lineHeight});
    ++used;
  }
  void PutBlock(const std::vector<PrintLine>& lines) {
    bool started = !pages.empty() && used > 0;
    int need = static_cast<int>(lines.size()) + (started ? 1 : 0);
    if (started && (used + need > bodyLines)) {
      NewPage();
    } else if (started) {
      ++used;  // the blank line between blocks
    }
    for (const PrintLine& line : lines) Put(line);
  }
};

}  // namespace

std::vector<std::string> WrapText(std::string_view text, int width, const CodePage& page,
                                  const std::function<int(std::string_view)>& measure) {
  std::vector<std::string> lines;
  std::string line;
  for (std::string_view word : Words(text)) {
    std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (measure(candidate) <= width) {
      line = std::move(candidate);
      continue;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    line.clear();
    while (measure(word) > width && CharLengthAt(page, word, 0) < word.size()) {
      size_t cut = FittingPrefix(word, width, page, measure);
      lines.emplace_back(word.substr(0, cut));
      word.remove_prefix(cut);
    }
    line = std::string(word);
  }
  if (!line.empty() || lines.empty()) lines.push_back(std::move(line));
  return lines;
}

std::string PageNumberText(std::string_view pattern, int number) {
  std::string text(pattern);
  size_t at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(number));
  return text;
}

std::vector<PrintPage> LayOutPages(const std::vector<PrintBlock>& blocks, const PageGeometry& page,
                                   const CodePage& codePage, const TextWidth& measure) {
  int lineHeight = std::max(page.lineHeight, 1);
  PageFiller filler{lineHeight, std::max(page.height / lineHeight - kHeaderLines, 1), {}, 0};
  for (const PrintBlock& block : blocks) {
    std::vector<PrintLine> lines;
    for (const PrintLine& line : block) {
      auto width = [&](std::string_view text) { return measure(text, line.bold); };
      for (std::string& part : WrapText(line.text, page.width, codePage, width)) lines.push_back({std::move(part), line.bold});
    }
    if (!lines.empty()) filler.PutBlock(lines);
  }
  return std::move(filler.pages);
}

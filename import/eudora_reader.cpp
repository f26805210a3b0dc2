// Eudora nickname file: every "alias NICK ADDRESSES" gives a person named NICK whose e-mail is
// the rest of the line as written.
#include "import/import_readers.h"
#include "import/text_scan.h"

namespace {

constexpr std::string_view kAliasLabel = "alias ";
constexpr size_t npos = std::string_view::npos;

}  // namespace

std::optional<ImportBatch> ReadEudoraNicknames(std::string_view text, uint32_t batchLimit) {
  text = UpToFirstZero(text);
  std::optional<ImportBatch> batch = ImportBatch::Make(kBatchStartCapacity, batchLimit);
  if (!batch) return std::nullopt;
  size_t pos = 0;
  for (;;) {
    size_t label = FindFrom(text, kAliasLabel, pos);
    if (label == npos) break;
    size_t nickStart = label + kAliasLabel.size();
    // The nickname ends at the next blank, even one on a later line.
    size_t blank = FindFrom(text, " ", nickStart);
    if (blank == npos) break;
    size_t lineEnd = LineEnd(text, blank + 1);
    pos = lineEnd + 1;
    ImportEntry entry;
    entry.description = Between(text, nickStart, blank);
    entry.email = Between(text, blank + 1, lineEnd);
    batch->Append(entry);
    if (!batch->GrowIfFull()) return std::nullopt;
  }
  return batch;
}

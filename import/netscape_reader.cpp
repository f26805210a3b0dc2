// Netscape address book saved as HTML: every mailto link gives a person, its link text the
// description.
#include "import/import_readers.h"
#include "import/text_scan.h"

namespace {

constexpr std::string_view kLinkLabel = "<A HREF=\"mailto:";
constexpr std::string_view kLinkEnd = "</A>";
constexpr size_t npos = std::string_view::npos;

}  // namespace

std::optional<ImportBatch> ReadNetscapeBook(std::string_view text, uint32_t batchLimit) {
  text = UpToFirstZero(text);
  std::optional<ImportBatch> batch = ImportBatch::Make(kBatchStartCapacity, batchLimit);
  if (!batch) return std::nullopt;
  size_t pos = 0;
  for (;;) {
    size_t label = FindFrom(text, kLinkLabel, pos);
    if (label == npos) break;
    size_t mailStart = label + kLinkLabel.size();
    size_t quote = FindFrom(text, "\"", mailStart);
    if (quote == npos) break;
    pos = quote + 1;
    size_t tagEnd = FindFrom(text, ">", pos);
    if (tagEnd == npos) continue;  // this link is dropped; later ones may still be read
    size_t linkEnd = FindFrom(text, kLinkEnd, tagEnd + 1);
    if (linkEnd == npos) break;
    pos = linkEnd + 1;
    ImportEntry entry;
    entry.email = Between(text, mailStart, quote);
    entry.description = Between(text, tagEnd + 1, linkEnd);
    batch->Append(entry);
    if (!batch->GrowIfFull()) return std::nullopt;
  }
  return batch;
}

#include "import/foreign_book_batch.h"

#include <limits>

#include "import/charset.h"
#include "import/decoded_person.h"
#include "import/text_scan.h"

namespace {

constexpr uint32_t kNotInBatch = std::numeric_limits<uint32_t>::max();

std::string_view KeepAnsi(ImportBatch& batch, std::string_view utf8) {
  return batch.Keep(TrimBlanks(Utf8ToAnsiChecked(TrimBlanks(utf8)).text));
}

ListedGroup Listed(ImportBatch& batch, const ForeignGroup& group, const std::vector<uint32_t>& entryOf) {
  ListedGroup listed;
  listed.name = KeepAnsi(batch, group.name);
  listed.memo = KeepAnsi(batch, group.memo);
  for (size_t person : group.members)
    if (person < entryOf.size() && entryOf[person] != kNotInBatch) listed.members.push_back(entryOf[person]);
  for (const std::string& missing : group.missingMembers) listed.missingMembers.push_back(KeepAnsi(batch, missing));
  return listed;
}

}  // namespace

std::optional<ImportBatch> BatchOfForeignBook(const ForeignBook& book) {
  std::optional<ImportBatch> batch = ImportBatch::Make(kBatchStartCapacity);
  if (!batch) return std::nullopt;
  std::vector<uint32_t> entryOf(book.persons.size(), kNotInBatch);
  for (size_t i = 0; i < book.persons.size(); ++i) {
    uint32_t before = batch->count();
    if (!AppendDecodedPerson(*batch, book.persons[i])) return std::nullopt;
    if (batch->count() > before) entryOf[i] = before;
  }
  for (const ForeignGroup& group : book.groups) batch->AddListedGroup(Listed(*batch, group, entryOf));
  return batch;
}

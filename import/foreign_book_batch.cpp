#include "import/foreign_book_batch.h"

#include <limits>
#include <new>

#include "import/charset.h"
#include "import/decoded_person.h"
#include "import/foreign_readers.h"
#include "import/text_scan.h"

namespace {

constexpr uint32_t kNotInBatch = std::numeric_limits<uint32_t>::max();

std::string_view KeepAnsi(ImportBatch& batch, std::string_view utf8) {
  return batch.Keep(TrimBlanks(Utf8ToAnsiChecked(TrimBlanks(utf8)).text));
}

ListedGroup Listed(ImportBatch& batch, const ForeignGroup& group, const std::vector<uint32_t>& entryOf) {
  ListedGroup listed;
  AnsiText name = Utf8ToAnsiChecked(TrimBlanks(group.name));
  listed.name = batch.Keep(TrimBlanks(name.text));
  listed.unshowable = name.unshowable;
  listed.label = KeepAnsi(batch, group.label.empty() ? group.name : group.label);
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
  batch->NoteUnclosedQuotes(book.unclosedQuoteLines);
  return batch;
}

ContactsReading ReadContactsBatch(ContactsFormat format, std::string_view bytes) {
  ContactsReading reading;
  try {
    std::optional<ForeignBook> book = format == ContactsFormat::kLdif ? ReadLdif(bytes) : ReadContactsCsv(bytes);
    if (!book) {
      reading.failure = ContactsFailure::kNoEmailColumn;
      return reading;
    }
    reading.batch = BatchOfForeignBook(*book);
  } catch (const std::bad_alloc&) {
    reading.batch.reset();
  }
  if (!reading.batch) reading.failure = ContactsFailure::kOutOfMemory;
  return reading;
}

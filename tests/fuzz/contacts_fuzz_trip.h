// Shared by the CSV and LDIF fuzz targets: a file merged into an empty book must leave sound
// records and groups, its persons must come back as stored from the book's own export, and the
// book written out and read back twice must come out the same.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "export/export_selection.h"
#include "import/foreign_book_batch.h"
#include "import/import_merge.h"
#include "store/code_page.h"
#include "store/indexes.h"

using ReadContacts = std::function<std::optional<ForeignBook>(std::string_view)>;
using WriteContacts = std::function<std::string(const AddressStore&)>;

inline bool Terminated(const char* field, size_t size) { return std::memchr(field, 0, size) != nullptr; }

// Every record zero-terminated within its fields, no live description held twice, every member
// a person of the book and in its group once.
inline void CheckBook(const AddressStore& book) {
  if (book.persons) {
    const PersonTable& t = *book.persons;
    for (uint32_t slot = 0; slot < t.used; ++slot) {
      const PersonRecord& p = t[slot];
      if (!Terminated(p.description, kTextFieldSize) || !Terminated(p.email, kEmailFieldSize) ||
          !Terminated(p.names, kTextFieldSize) || !Terminated(p.memo, kTextFieldSize))
        std::abort();
      if (!p.deleted && FindPersonByDescription(book, p.description) != static_cast<int>(slot)) std::abort();
    }
  }
  if (!book.groups) return;
  for (uint32_t g = 0; g < book.groups->used; ++g) {
    const GroupRecord& group = (*book.groups)[g];
    if (!Terminated(group.name, kTextFieldSize) || !Terminated(group.memo, kTextFieldSize)) std::abort();
    if (!group.members) continue;
    std::unordered_set<uint32_t> seen;
    for (uint32_t member : *group.members)
      if (!book.persons || member >= book.persons->used || !seen.insert(member).second) std::abort();
  }
}

// The live persons of a book as the list shows them, in slot order; `middle` false leaves out
// the middle name (LDIF has no place for one).
inline std::vector<std::string> PersonsOf(const AddressStore& book, bool middle) {
  std::vector<std::string> persons;
  if (!book.persons) return persons;
  for (uint32_t slot = 0; slot < book.persons->used; ++slot) {
    const PersonRecord& p = (*book.persons)[slot];
    if (p.deleted) continue;
    std::string names = p.names;
    if (!middle) {
      size_t first = names.find(';'), second = names.find(';', first + 1);
      if (first != std::string::npos && second != std::string::npos) names.erase(first + 1, second - first - 1);
    }
    persons.push_back(std::string(p.description) + '\x1F' + p.email + '\x1F' + names + '\x1F' + p.memo);
  }
  return persons;
}

struct TripRules {
  bool keepsMiddleNames = true;
  // True when the exported text can read otherwise than it was meant (an ANSI export that is
  // also valid UTF-8): the first import is then not compared with the second.
  std::function<bool(std::string_view)> ambiguous = [](std::string_view) { return false; };
};

class ContactsTrip {
 public:
  ContactsTrip(ReadContacts read, WriteContacts write, TripRules rules = {})
      : read_(std::move(read)), write_(std::move(write)), rules_(std::move(rules)) {}

  // The persons of the first import come back from its export as they were stored, and the
  // second book's export is the third's.
  void Run(std::string_view input) {
    std::vector<std::string> firstPersons, secondPersons;
    std::optional<std::string> first = Trip(input, "a", firstPersons);
    if (!first) return;
    std::optional<std::string> second = Trip(*first, "b", secondPersons);
    if (!second) std::abort();
    if (!rules_.ambiguous(*first) && firstPersons != secondPersons) std::abort();
    std::vector<std::string> thirdPersons;
    std::optional<std::string> third = Trip(*second, "c", thirdPersons);
    if (!third || *second != *third) std::abort();
  }

 private:
  // The text merged into an empty book, checked, and that book written out; none when the
  // reader refuses the text.
  std::optional<std::string> Trip(std::string_view text, const char* name, std::vector<std::string>& persons) {
    std::optional<ForeignBook> foreign = read_(text);
    if (!foreign) return std::nullopt;
    std::optional<ImportBatch> batch = BatchOfForeignBook(*foreign);
    if (!batch) return std::nullopt;
    AddressStore book;
    // In memory where the system has it: the merge flushes both files each time.
    std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string scratch = folder + "/fuzz_contacts_" + std::to_string(getpid()) + "_" + name;
    book.personPath = scratch + "_personal.inf";
    book.groupPath = scratch + "_group.inf";
    AppendImportedPersons(book, *batch, SystemCodePage());
    std::remove(book.personPath.c_str());
    std::remove(book.groupPath.c_str());
    CheckBook(book);
    persons = PersonsOf(book, rules_.keepsMiddleNames);
    return write_(book);
  }

  ReadContacts read_;
  WriteContacts write_;
  TripRules rules_;
};

// Merging an import batch into the address book.
#pragma once

#include <cstdint>
#include <vector>

#include "import/import_batch.h"
#include "import/import_report.h"
#include "store/code_page.h"
#include "store/records.h"

// What a merge added, for the entry list, and what it did not take as it stood.
struct ImportOutcome {
  std::vector<uint32_t> persons;  // person slots added, in batch order
  std::vector<uint32_t> groups;   // group slots made, in the order they first appeared
  ImportReport report;
  bool outOfMemory = false;       // the merge ran out of memory: nothing was added
};

// Converts each entry, in batch order, into a new person unless a live person already has its
// description (letter case ignored, earlier entries of the batch included); either way the
// person then joins the entry's groups. Texts are stored at most as long as the dialogs let one
// type them, and descriptions, name parts and group names with each forbidden character
// replaced by its look-alike (never a trail byte of `page`'s double-byte characters), so the
// dialogs accept them. Grows the person table once for the whole batch, then rebuilds the
// indexes and writes the person file, also when nobody was added, and the group file when a
// group changed. Out of memory on the way, everything merged is taken back and nothing written.
ImportOutcome AppendImportedPersons(AddressStore& store, const ImportBatch& batch, const CodePage& page);

// The text stored in `names`: "first;middle;last", or ";;" when that would not fit.
void JoinImportedNames(const ImportEntry& entry, char (&names)[kTextFieldSize]);

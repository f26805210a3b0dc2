// Merging an import batch into the address book.
#pragma once

#include <cstdint>
#include <vector>

#include "import/import_batch.h"
#include "store/records.h"

// Converts each entry, in batch order, into a new person unless a live person already has its
// description (letter case ignored, earlier entries of the batch included). Grows the person
// table once for the whole batch, then rebuilds the indexes and writes the person file, also
// when nobody was added. Returns the slots added, in batch order, for the entry list.
std::vector<uint32_t> AppendImportedPersons(AddressStore& store, const ImportBatch& batch);

// The text stored in `names`: "first;middle;last", or ";;" when that would not fit.
void JoinImportedNames(const ImportEntry& entry, char (&names)[kTextFieldSize]);

// The persons and groups of a CSV or LDIF file as a batch for the merge.
#pragma once

#include <optional>

#include "import/foreign_book.h"
#include "import/import_batch.h"

// Each person converted as every decoding reader converts (a person without an e-mail address is
// noted for the report, not added); each group the file lists whole becomes a listed group of
// the batch with its members' entries in order. None when the batch cannot be made or grow.
std::optional<ImportBatch> BatchOfForeignBook(const ForeignBook& book);

enum class ContactsFormat { kCsv, kLdif };
enum class ContactsFailure { kNone, kNoEmailColumn, kOutOfMemory };

// A CSV or LDIF file read whole into a batch; a failure leaves no batch and says why (a CSV
// header naming no e-mail column, or no memory at any step).
struct ContactsReading {
  std::optional<ImportBatch> batch;
  ContactsFailure failure = ContactsFailure::kNone;
};
ContactsReading ReadContactsBatch(ContactsFormat format, std::string_view bytes);

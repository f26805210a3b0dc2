// The persons of a CSV or LDIF file as a batch for the merge.
#pragma once

#include "import/foreign_book.h"
#include "import/import_batch.h"

// Texts converted to the ANSI code page and cut to their fields; a person without an e-mail
// address is left out, as a vCard without one is. None when the batch cannot be made.
std::optional<ImportBatch> BatchOfForeignBook(const ForeignBook& book);

// The three readers of foreign address books. Each reads the loaded text up to its first zero
// byte and only locates values: the spans of the batch point into `text`. None means the import
// is abandoned (the batch could not be made or could not grow); nothing may then be merged.
#pragma once

#include <optional>
#include <string_view>

#include "import/import_batch.h"

std::optional<ImportBatch> ReadVCard(std::string_view text, uint32_t batchLimit = kNoBatchLimit);
std::optional<ImportBatch> ReadNetscapeBook(std::string_view text,
                                            uint32_t batchLimit = kNoBatchLimit);
std::optional<ImportBatch> ReadEudoraNicknames(std::string_view text,
                                               uint32_t batchLimit = kNoBatchLimit);

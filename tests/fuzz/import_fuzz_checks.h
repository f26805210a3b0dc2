// Checks shared by the import fuzz targets: every span lies inside the text the reader saw.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/import_batch.h"

inline void CheckSpanInside(std::string_view span, std::string_view seen) {
  if (span.empty()) return;
  const char* begin = seen.data();
  const char* end = seen.data() + seen.size();
  if (span.data() < begin || span.data() + span.size() > end) std::abort();
  if (span.find('\0') != std::string_view::npos) std::abort();
}

inline void CheckBatch(const ImportBatch& batch, std::string_view text) {
  std::string_view seen = text.substr(0, text.find('\0'));
  if (batch.count() > batch.capacity()) std::abort();
  for (uint32_t i = 0; i < batch.count(); ++i) {
    const ImportEntry& e = batch[i];
    for (std::string_view span :
         {e.description, e.email, e.firstName, e.middleName, e.lastName, e.memo}) {
      CheckSpanInside(span, seen);
    }
  }
}

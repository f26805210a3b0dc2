// Checks shared by the import fuzz targets: every span of the Netscape and Eudora readers lies
// inside the text the reader saw; the vCard reader's decoded values fit their fields.
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

inline void CheckWithin(std::string_view value, size_t limit) {
  if (value.size() > limit || value.find('\0') != std::string_view::npos) std::abort();
}

// Decoded vCard values: within the record's widths (names are judged by the merge), an address
// always present, no separator left inside a name part.
inline void CheckDecodedBatch(const ImportBatch& batch) {
  if (batch.count() > batch.capacity()) std::abort();
  for (uint32_t i = 0; i < batch.count(); ++i) {
    const ImportEntry& e = batch[i];
    CheckWithin(e.description, 259);
    CheckWithin(e.email, 127);
    CheckWithin(e.memo, 259);
    if (e.email.empty() || e.description.empty()) std::abort();
    for (std::string_view part : {e.firstName, e.middleName, e.lastName}) {
      CheckWithin(part, std::string_view::npos - 1);
      if (part.find(';') != std::string_view::npos) std::abort();
    }
  }
}

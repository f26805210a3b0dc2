// Checks shared by the import fuzz targets: every span of the Netscape and Eudora readers lies
// inside the text the reader saw; the vCard reader's decoded values are whole texts.
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

// Decoded vCard values (the merge cuts them to the fields): no zero byte, an address and a
// description always present, no separator left inside a name part, no "?" standing for a
// character that cannot be shown in a description or a name part.
inline void CheckDecodedBatch(const ImportBatch& batch) {
  constexpr size_t kAny = std::string_view::npos - 1;
  if (batch.count() > batch.capacity()) std::abort();
  for (uint32_t i = 0; i < batch.count(); ++i) {
    const ImportEntry& e = batch[i];
    for (std::string_view text : {e.description, e.email, e.memo}) CheckWithin(text, kAny);
    for (std::string_view group : e.groups) CheckWithin(group, kAny);
    if (e.email.empty() || e.description.empty()) std::abort();
    for (std::string_view part : {e.firstName, e.middleName, e.lastName}) {
      CheckWithin(part, kAny);
      if (part.find(';') != std::string_view::npos) std::abort();
    }
  }
  for (const LeftOutEntry& left : batch.withoutAddress()) {
    CheckWithin(left.description, kAny);
    if (left.position > batch.count()) std::abort();
  }
}

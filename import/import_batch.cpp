#include "import/import_batch.h"

#include <new>

std::optional<ImportBatch> ImportBatch::Make(uint32_t capacity, uint32_t limit) {
  if (capacity > limit) return std::nullopt;
  try {
    ImportBatch batch;
    batch.slots_.resize(capacity);
    batch.limit_ = limit;
    return batch;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

bool ImportBatch::Append(const ImportEntry& entry) {
  if (full()) return false;
  slots_[count_++] = entry;
  return true;
}

bool ImportBatch::GrowIfFull() {
  if (!full()) return true;
  if (limit_ < kBatchGrowStep || capacity() > limit_ - kBatchGrowStep) return false;
  try {
    slots_.resize(static_cast<size_t>(capacity()) + kBatchGrowStep);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::string_view ImportBatch::Keep(std::string_view text) {
  if (text.empty()) return std::string_view();
  if (!kept_) kept_ = std::make_shared<std::deque<std::string>>();
  return kept_->emplace_back(text);
}

void ImportBatch::NoteWithoutAddress(std::string_view description) {
  withoutAddress_.push_back(LeftOutEntry{count_, Keep(description)});
}

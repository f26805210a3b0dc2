// Storage of a record table: zero-filled fixed-width records in chunks of 128 that never move,
// so growing a full book adds chunks instead of copying every record.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

template <typename Record>
class SlotArray {
 public:
  static constexpr size_t kChunk = 128;

  SlotArray() = default;
  SlotArray(SlotArray&&) noexcept = default;
  SlotArray& operator=(SlotArray&&) noexcept = default;
  SlotArray(const SlotArray& other) { CopyFrom(other); }
  SlotArray& operator=(const SlotArray& other) {
    if (this != &other) {
      SlotArray copy(other);
      *this = std::move(copy);
    }
    return *this;
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Record& operator[](size_t slot) { return chunks_[slot / kChunk].get()[slot % kChunk]; }
  const Record& operator[](size_t slot) const { return chunks_[slot / kChunk].get()[slot % kChunk]; }
  Record& back() { return (*this)[size_ - 1]; }

  // New records are zero-filled; shrinking clears the records beyond the new size.
  // Throws std::bad_alloc, leaving the array as it was, when memory runs out.
  void resize(size_t count) {
    while (chunks_.size() * kChunk < count) {
      Chunk chunk = NewChunk();
      chunks_.push_back(std::move(chunk));
    }
    for (size_t slot = count; slot < size_; ++slot) (*this)[slot] = Record{};
    size_ = count;
  }

  Record& emplace_back() {
    resize(size_ + 1);
    return back();
  }

 private:
  struct FreeChunk {
    void operator()(Record* records) const {
      if constexpr (std::is_trivially_copyable_v<Record>) std::free(records);
      else delete[] records;
    }
  };
  using Chunk = std::unique_ptr<Record, FreeChunk>;

  // Plain records come from calloc, whose large blocks arrive as zero pages touched only when used.
  static Chunk NewChunk() {
    if constexpr (std::is_trivially_copyable_v<Record>) {
      void* block = std::calloc(kChunk, sizeof(Record));
      if (!block) throw std::bad_alloc();
      return Chunk(static_cast<Record*>(block));
    } else {
      return Chunk(new Record[kChunk]());
    }
  }

  void CopyFrom(const SlotArray& other) {
    resize(other.size_);
    for (size_t slot = 0; slot < other.size_; ++slot) (*this)[slot] = other[slot];
  }

  std::vector<Chunk> chunks_;
  size_t size_ = 0;
};

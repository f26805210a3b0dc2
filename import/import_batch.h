// The persons a reader found in an imported file, as spans into the loaded text.
#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a reader already changed in an entry while decoding it, for the import report.
enum ImportEntryNote : uint8_t {
  kNoteNone = 0,
  kNoteUnshowable = 1,  // some text held characters this system cannot show
};

// Every span points into the loaded text, which must outlive the batch, or into a decoded value
// the batch keeps itself. An absent value is an empty view with no data.
struct ImportEntry {
  std::string_view description;
  std::string_view email;
  std::string_view firstName;
  std::string_view middleName;
  std::string_view lastName;
  std::string_view memo;
  std::vector<std::string_view> groups;  // names of the groups the person belongs to, file order
  std::vector<std::string_view> unshowableGroups;  // group names this system cannot show: left out
  uint8_t notes = kNoteNone;             // ImportEntryNote bits
};

// An entry a reader found but could not take (no e-mail address, or no name to store it under).
struct LeftOutEntry {
  uint32_t position;             // the batch count when it was found: it stood before that entry
  std::string_view description;  // what it would have been stored under
};

// A group a file lists whole with its members (LDIF's groupOfNames), rather than naming it on
// each member. Members are batch entries, in the file's order.
struct ListedGroup {
  std::string_view name;
  std::string_view label;  // what the report calls it: the name, else what its dn calls it
  bool unshowable = false;  // the name holds a character this system cannot show
  std::string_view memo;
  std::vector<uint32_t> members;               // entry indexes
  std::vector<std::string_view> missingMembers;  // names of members the file does not hold
};

constexpr uint32_t kBatchStartCapacity = 10;
constexpr uint32_t kBatchGrowStep = 10;
constexpr uint32_t kNoBatchLimit = std::numeric_limits<uint32_t>::max();

// A zero-filled array of `capacity` entry slots of which the first `count` are filled. It grows by
// whole steps; when growing fails (no memory, or `limit` reached) the reader abandons the import.
class ImportBatch {
 public:
  // None when its slots cannot be made.
  static std::optional<ImportBatch> Make(uint32_t capacity, uint32_t limit = kNoBatchLimit);

  uint32_t capacity() const { return static_cast<uint32_t>(slots_.size()); }
  uint32_t count() const { return count_; }
  const ImportEntry& operator[](uint32_t index) const { return slots_[index]; }
  bool full() const { return count_ == capacity(); }

  // Fills the next free slot; false when the batch is full.
  bool Append(const ImportEntry& entry);
  // Adds kBatchGrowStep slots when the batch is full; false when it cannot.
  bool GrowIfFull();
  // Keeps a decoded value as long as the batch or a copy of it lives; empty text is absent.
  std::string_view Keep(std::string_view text);

  // Records an entry without an e-mail address or a name, for the report; it is never merged.
  void NoteWithoutAddress(std::string_view description);
  const std::vector<LeftOutEntry>& withoutAddress() const { return withoutAddress_; }

  // Groups the file lists whole; the merge joins them after the entries.
  void AddListedGroup(ListedGroup group) { listedGroups_.push_back(std::move(group)); }
  const std::vector<ListedGroup>& listedGroups() const { return listedGroups_; }

  // CSV: the lines where a quote opened that the file never closes, for the report.
  void NoteUnclosedQuotes(std::vector<size_t> lines) { unclosedQuoteLines_ = std::move(lines); }
  const std::vector<size_t>& unclosedQuoteLines() const { return unclosedQuoteLines_; }

  // A file of the reader's kind holds at least one record (vCard: a BEGIN:VCARD line); a file
  // without any is told once instead of being merged.
  void NoteNoRecord() { noRecord_ = true; }
  bool noRecord() const { return noRecord_; }

 private:
  std::vector<ImportEntry> slots_;
  std::vector<LeftOutEntry> withoutAddress_;
  std::vector<ListedGroup> listedGroups_;
  std::vector<size_t> unclosedQuoteLines_;
  bool noRecord_ = false;
  uint32_t count_ = 0;
  uint32_t limit_ = kNoBatchLimit;
  std::shared_ptr<std::deque<std::string>> kept_;  // a deque never moves what it holds
};

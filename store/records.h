// Person and group records, their growable tables and the two data files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/code_page.h"
#include "store/data_file_io.h"
#include "store/file_state.h"
#include "store/search_texts.h"
#include "store/slot_array.h"

constexpr size_t kTextFieldSize = 260;   // description, names, memo, group name: 259 characters + zero
constexpr size_t kEmailFieldSize = 128;  // e-mail: 127 characters + zero
constexpr uint32_t kGrowStep = 10;       // ReserveRecordSlot grows a table by this many slots
constexpr uint32_t kMaxSlots = 65536;    // an ItemRef carries the slot in 16 bits

struct PersonRecord {
  int32_t deleted;  // 0 live, 1 deleted; never cleared again
  char description[kTextFieldSize];
  char email[kEmailFieldSize];
  char names[kTextFieldSize];  // "first;middle;last"
  char memo[kTextFieldSize];
};

// Person slot indexes of one group, in the order they were added.
using MemberList = std::vector<uint32_t>;

struct GroupRecord {
  int32_t deleted;
  uint32_t memberCount;
  char name[kTextFieldSize];
  char memo[kTextFieldSize];
  std::optional<MemberList> members;  // none when the group has no members after a load
};

// A table of fixed-width records. Slots are only appended, never reused or moved, so a slot
// index is a record's identity for the whole run. Slots from `used` on are zero-filled.
template <typename Record>
struct RecordTable {
  uint32_t capacity = 0;
  uint32_t used = 0;
  SlotArray<Record> slots;  // exactly `capacity` records

  Record& operator[](uint32_t slot) { return slots[slot]; }
  const Record& operator[](uint32_t slot) const { return slots[slot]; }
};

using PersonTable = RecordTable<PersonRecord>;
using GroupTable = RecordTable<GroupRecord>;

// One of the three sorted arrays of slot indexes. `built` false is an index that is none.
struct SortedIndex {
  int32_t count = 0;
  std::vector<uint32_t> entries;  // room for used + 10; the first `count` are valid
  bool built = false;
};

// Everything the address book holds in memory. A table that does not exist is std::nullopt.
struct AddressStore {
  std::optional<PersonTable> persons;
  std::optional<GroupTable> groups;
  SortedIndex personNameIndex;
  SortedIndex personMailIndex;
  SortedIndex groupNameIndex;
  std::string personPath;  // fixed at start-up: current directory + "\personal.inf"
  std::string groupPath;   // fixed at start-up: current directory + "\group.inf"
  DataFileState personFile;  // pending save, latest failure, original to keep: each file apart
  DataFileState groupFile;
  uint32_t changeCount = 0;  // changes of the book this run: what a change undoes must still be there
  SearchTexts searchTexts;   // every entry's texts folded for the search box
  CodePage codePage;         // the ANSI code page the texts are in: every comparison and rule reads it
};

// Copies text into a fixed field, cut to the field and always zero-terminated.
void CopyToField(char* field, size_t fieldSize, std::string_view text);
// The same, cut between two characters of the code page.
void CopyToField(char* field, size_t fieldSize, std::string_view text, const CodePage& page);

// Whole content of a file, or none when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

// Fills both tables from the data files at store.personPath and store.groupPath. A person file
// that is there but cannot be read stops the load with no tables; a group file that cannot be
// read leaves no groups. Either way the report says so, and the caller must not save.
LoadReport LoadAddressStore(AddressStore& store, DataFileSystem& files = PlatformFiles());

// Write the whole file from the table (a damaged original is copied first); nothing happens
// when the table is none. False when the save did not complete: the old file keeps its bytes,
// and the file's state holds the failure and that a save is pending.
bool SavePersonFile(AddressStore& store, DataFileSystem& files = PlatformFiles());
bool SaveGroupFile(AddressStore& store, DataFileSystem& files = PlatformFiles());

// Makes sure slot `used` exists (creating the table with 10 slots or growing it by 10).
// Returns false, touching nothing, when the table cannot grow (memory or 65,536 slots).
bool ReserveRecordSlot(std::optional<PersonTable>& table);
bool ReserveRecordSlot(std::optional<GroupTable>& table);

// The import's growth: once per import, room for `batchSize` more persons. A new table gets
// room for batchSize + 1 with capacity batchSize. False, touching nothing, when it cannot.
bool GrowPersonTableForBatch(std::optional<PersonTable>& table, uint32_t batchSize);

// Releases both tables (and every member list) and sets them to none.
void FreeAddressStore(AddressStore& store);

// True when the table exists and some slot below `used` is not deleted.
bool HasLivePerson(const AddressStore& store);

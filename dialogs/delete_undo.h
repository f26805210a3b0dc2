// What one delete removed, kept so that Undo delete can bring it back: the records (by slot),
// the places of the removed persons in the groups that stay, the recipients it dropped and the
// entry list's selection before it. One level: any later change of the book makes it stale.
#pragma once

#include <cstdint>
#include <vector>

#include "app/panes/item_ref.h"
#include "store/records.h"

struct DeleteUndo {
  struct Placed {
    ItemRef entry;
    int position;  // where it stood before the delete
  };
  struct Membership {
    uint32_t person;
    uint32_t group;
    uint32_t position;  // in the group's member list
  };
  std::vector<Placed> entries;        // the selection before the delete, ascending positions
  std::vector<Membership> memberships;
  std::vector<Placed> recipients;     // dropped recipients, ascending positions
  // Entries whose key a live record outside the delete held as well (an old file may name two
  // persons alike): such a pair comes back as it was.
  std::vector<ItemRef> sharedKeys;
  uint32_t changeCount = 0;           // the book's change count right after the delete
  uint32_t listSorts = 0;             // how often the entry list had been sorted, at the delete
};

// Records a delete of the entries at these ascending list positions, before the records are
// flagged. `recipients` is the recipient list before the delete (empty without a box).
DeleteUndo RecordDelete(const AddressStore& store, const std::vector<ItemRef>& entries,
                        const std::vector<int>& positions, const std::vector<ItemRef>& recipients);

// Flags the recorded entries deleted and counts the change; the undo then matches the book.
void ApplyDelete(AddressStore& store, DeleteUndo& undo);

// True while nothing else has changed the book since the delete.
bool CanUndoDelete(const AddressStore& store, const DeleteUndo& undo);

// Makes the deleted records live again in their own slots, puts removed members back at their
// places and rebuilds the indexes; the files are the caller's to write. Anything but Restored
// touches nothing: the undo is stale, or it would give a key twice that was once only.
enum class UndoOutcome { Restored, BookChanged, KeyTaken };
UndoOutcome RestoreDeletedEntries(AddressStore& store, const DeleteUndo& undo);

// The order a sort gave the entry list: persons by the name or e-mail index, then groups (by name,
// or in record order for the e-mail sort whatever its direction).
enum class EntryOrder { ByNameAscending, ByNameDescending, ByMailAscending, ByMailDescending };

// Where `entries` go in `items`, a list in `order` (the indexes built with the entries live):
// their final positions, ascending, for WithPlacedItems.
std::vector<DeleteUndo::Placed> PlacesInOrder(const AddressStore& store, EntryOrder order,
                                              const std::vector<ItemRef>& items,
                                              const std::vector<ItemRef>& entries);

// `placed` (ascending positions) put back into `items` where they stood (a position past the
// end goes to the end), and the positions they take there, ascending.
struct PlacedList {
  std::vector<ItemRef> items;
  std::vector<int> placedAt;
};
PlacedList WithPlacedItems(const std::vector<ItemRef>& items, const std::vector<DeleteUndo::Placed>& placed);

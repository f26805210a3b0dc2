// Merging a set of duplicates into its first person: the values offered and chosen, the checks,
// the change of the book, and what an undo needs to put every byte back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/panes/item_ref.h"
#include "dialogs/delete_undo.h"
#include "dialogs/duplicate_sets.h"
#include "dialogs/entry_records.h"

enum MergeField : int { kFieldDescription, kFieldEmail, kFieldFirst, kFieldMiddle, kFieldLast, kFieldMemo, kFieldCount };

constexpr char kCutMark[] = "(cut)";
constexpr size_t kMergedTextLimit = 258;  // what the person dialog would store

using FieldValues = std::array<std::string, kFieldCount>;

// A person's six fields, in MergeField order.
FieldValues FieldsOf(const PersonRecord& person);

// For each field the distinct non-empty values in the set's order; the memo's also offers all
// of them joined by " / " (cut to 258 characters, then ending in "(cut)") when there are two or more.
std::array<std::vector<std::string>, kFieldCount> OfferedValues(const AddressStore& store, const DuplicateSet& set,
                                                                const CodePage& page);

// For each field the value of the person with the most filled fields among those who have one,
// the first in the set on a tie.
FieldValues DefaultValues(const AddressStore& store, const DuplicateSet& set);

// True when the persons have the same folded description and e-mail address and no two
// different non-empty values in any other field: a merge that needs no choice.
bool IsIdenticalSet(const AddressStore& store, const DuplicateSet& set, const CodePage& page);

// The set's line: the descriptions joined by " / ", then the reasons in brackets.
std::string SetLine(const AddressStore& store, const DuplicateSet& set, const std::string& sameEmail,
                    const std::string& sameName);

// The name rules for the survivor's new values, against every live person outside the set: a
// validation message id, or kMsgNone.
int CheckMergedValues(const AddressStore& store, const DuplicateSet& set, const FieldValues& values);

struct MergePlan {
  DuplicateSet set;
  FieldValues values;
};

// The recipients after the merges: each set's first person in the place of the first of its
// persons, the others gone, nothing twice.
std::vector<ItemRef> RecipientsAfterMerge(const std::vector<ItemRef>& recipients, const std::vector<MergePlan>& plans);

// Addresses of merged persons chosen as recipients that differ from the address kept, so that
// they would no longer be sent; each once, in recipient order.
std::vector<std::string> AddressesNoLongerSent(const AddressStore& store, const std::vector<ItemRef>& recipients,
                                               const MergePlan& plan, const CodePage& page);

struct MergeUndo {
  struct Kept {
    uint32_t slot;
    PersonRecord before;
  };
  struct GroupBefore {
    uint32_t group;
    uint32_t memberCount;
    std::optional<MemberList> members;
  };
  std::vector<Kept> survivors;
  std::vector<uint32_t> removed;            // person slots the merges flagged deleted
  std::vector<GroupBefore> groups;          // member lists the merges changed, as they were
  std::vector<DeleteUndo::Placed> entries;  // the removed persons' items and their list positions
  std::vector<ItemRef> recipients;          // the recipient list before
  uint32_t changeCount = 0;                 // the book's change count right after the merges
};

// Merges every plan (sets must not overlap): the survivor takes the values, memberships move to
// it, the others are flagged deleted; the indexes are rebuilt once. The files are the caller's.
// `entryList` is the entry list's items, `recipients` the recipient list before.
MergeUndo ApplyMerges(AddressStore& store, const std::vector<MergePlan>& plans, const std::vector<ItemRef>& entryList,
                      const std::vector<ItemRef>& recipients);

bool CanUndoMerge(const AddressStore& store, const MergeUndo& undo);

// Puts the merged persons back in their slots, the survivors' former values and the member lists,
// and rebuilds the indexes. False, touching nothing, when the book changed since.
bool RestoreMerge(AddressStore& store, const MergeUndo& undo);

// The groups an import puts its persons into: the live group of that name, else a new one made
// under the group dialog's rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "import/import_report.h"
#include "store/records.h"

// Names the exporters give their own lists; they name no group of this book.
bool IsSystemGroupLabel(std::string_view name);

class ImportGroups {
 public:
  explicit ImportGroups(AddressStore& store);

  // Appends the person to each named group it is not yet a member of, in the order given,
  // making the groups that do not exist. A name the rules refuse (empty, a forbidden character
  // or one this system cannot show, which stands as "?"), or a group that cannot be made, is
  // left out and noted in `changes`; a name longer than the field is cut and noted so.
  void Join(uint32_t personSlot, const std::vector<std::string_view>& names, EntryChanges& changes);

  // A group listed whole: made (with the memo) when no live group has the name, also when it has
  // no members, then the persons appended in order. False, and nothing done, when the name is
  // refused or the group cannot be made; a system label is passed over (true).
  bool JoinListed(std::string_view name, std::string_view memo, const std::vector<uint32_t>& personSlots);

  // True when the rules take the name for a group (system labels are no group, but not refused).
  bool AcceptsName(std::string_view name) const;

  // Group slots made, in the order they were made.
  const std::vector<uint32_t>& made() const { return made_; }
  // True when any group was made or got a member, so the group file must be written.
  bool changed() const { return changed_; }

 private:
  int FindOrMake(std::string_view name);  // the group's slot, or -1 when none can be made
  void AddMember(uint32_t groupSlot, uint32_t personSlot);

  AddressStore& store_;
  std::unordered_map<std::string, uint32_t> slotOfName_;  // folded name -> first live slot
  std::unordered_map<uint32_t, std::unordered_set<uint32_t>> membersOf_;  // of groups touched
  std::vector<uint32_t> made_;
  bool changed_ = false;
};

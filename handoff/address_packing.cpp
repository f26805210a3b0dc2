#include "handoff/address_packing.h"

#include <algorithm>
#include <cstring>

namespace {

// The address text of one hand-off and the files it has filled so far.
class AddressCollector {
 public:
  void Add(std::string_view address) {
    if (buffer_.size() + address.size() + 2 >= kAddressBufferSize) {
      files_.push_back({IntermediateAddressFileName(counter_++), std::move(buffer_)});
      buffer_.clear();
    }
    buffer_.append(address);
    buffer_.push_back(',');
  }

  std::vector<AddressFile> Finish() {
    files_.push_back({kFinalAddressFile, std::move(buffer_)});
    return std::move(files_);
  }

  std::vector<AddressFile> Abandon() { return std::move(files_); }

 private:
  std::string buffer_;
  std::vector<AddressFile> files_;
  int counter_ = 0;
};

// A slot outside the table (damaged member list) contributes nothing rather than
// reading beyond the records.
void AddPerson(AddressCollector& out, const PersonTable& persons, uint32_t slot) {
  if (slot >= persons.slots.size()) return;
  const char* email = persons[slot].email;
  out.Add(std::string_view(email, strnlen(email, kEmailFieldSize)));
}

void AddGroupMembers(AddressCollector& out, const PersonTable& persons, const GroupTable& groups,
                     uint32_t slot) {
  if (slot >= groups.slots.size()) return;
  const GroupRecord& group = groups[slot];
  if (!group.members || group.memberCount == 0) return;
  size_t count = std::min<size_t>(group.memberCount, group.members->size());
  for (size_t i = 0; i < count; ++i) AddPerson(out, persons, (*group.members)[i]);
}

}  // namespace

std::string IntermediateAddressFileName(int counter) {
  return "c:\\Temp" + std::to_string(counter) + ".adr";
}

std::vector<AddressFile> PackAddresses(const AddressStore& store,
                                       const std::vector<ItemRef>& recipients) {
  if (recipients.empty()) return {};
  AddressCollector out;
  for (ItemRef ref : recipients) {
    uint32_t slot = ItemSlot(ref);
    if (ItemKindOf(ref) == kPersonItem) {
      if (!store.persons) return out.Abandon();
      AddPerson(out, *store.persons, slot);
    } else {
      if (!store.groups || !store.persons) return out.Abandon();
      AddGroupMembers(out, *store.persons, *store.groups, slot);
    }
  }
  return out.Finish();
}

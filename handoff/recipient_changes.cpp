#include "handoff/recipient_changes.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <unordered_set>

std::vector<ItemRef> RecipientsToAppend(const std::vector<ItemRef>& recipients, const std::vector<ItemRef>& selected) {
  std::unordered_set<ItemRef> present(recipients.begin(), recipients.end());
  std::vector<ItemRef> added;
  for (ItemRef entry : selected)
    if (present.insert(entry).second) added.push_back(entry);
  return added;
}

std::vector<int> RecipientPositionsToDrop(const std::vector<ItemRef>& recipients, const std::vector<ItemRef>& deleted) {
  std::unordered_map<ItemRef, std::deque<int>> positionsOf;
  for (size_t i = 0; i < recipients.size(); ++i) positionsOf[recipients[i]].push_back(static_cast<int>(i));
  std::vector<int> dropped;
  for (ItemRef entry : deleted) {
    auto found = positionsOf.find(entry);
    if (found == positionsOf.end() || found->second.empty()) continue;
    dropped.push_back(found->second.front());  // the first one left
    found->second.pop_front();
  }
  std::sort(dropped.begin(), dropped.end());
  return dropped;
}

#include "export/vcard_export.h"

#include <algorithm>

#include "dialogs/name_parts.h"
#include "import/charset.h"
#include "store/folded_key.h"

namespace {

constexpr size_t kMaxLineOctets = 75;  // without the CR LF

bool IsLivePerson(const AddressStore& store, uint32_t slot) {
  return store.persons && slot < store.persons->used && !(*store.persons)[slot].deleted;
}

// For every person slot, the live groups it belongs to, in group slot order.
std::vector<std::vector<uint32_t>> GroupsOfPersons(const AddressStore& store) {
  std::vector<std::vector<uint32_t>> groupsOf(store.persons ? store.persons->used : 0);
  if (!store.groups) return groupsOf;
  for (uint32_t g = 0; g < store.groups->used; ++g) {
    const GroupRecord& group = (*store.groups)[g];
    if (group.deleted || !group.members) continue;
    for (uint32_t member : *group.members) {
      if (member >= groupsOf.size()) continue;
      std::vector<uint32_t>& groups = groupsOf[member];
      if (groups.empty() || groups.back() != g) groups.push_back(g);
    }
  }
  return groupsOf;
}

// Appends one content line and its CR LF, folding before a character that would pass 75
// octets; a continuation line's leading blank counts, and no UTF-8 sequence is split.
void AppendFoldedLine(std::string& out, std::string_view line) {
  size_t room = kMaxLineOctets;
  while (line.size() > room) {
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    if (cut == 0) cut = room;  // not UTF-8 after all: cut anywhere rather than never
    out.append(line.data(), cut);
    out.append("\r\n ");
    line.remove_prefix(cut);
    room = kMaxLineOctets - 1;
  }
  out.append(line.data(), line.size());
  out.append("\r\n");
}

bool NeedsWork(unsigned char c) {
  return c >= 0x80 || c == '\\' || c == ',' || c == ';' || c == '\r' || c == '\n';
}

// ANSI field text as an escaped UTF-8 text value.
void AppendEscaped(std::string& out, std::string_view ansi) {
  if (std::none_of(ansi.begin(), ansi.end(), [](char c) { return NeedsWork(static_cast<unsigned char>(c)); })) {
    out.append(ansi.data(), ansi.size());
    return;
  }
  std::string utf8 = AnsiToUtf8(ansi);
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '\\' || c == ',' || c == ';') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out.append("\\n");
    } else {
      out.push_back(c);
    }
  }
}

template <size_t N>
std::string_view Field(const char (&field)[N]) {
  return FieldText(field, N);
}

void AppendCard(std::string& out, std::string& line, const AddressStore& store,
                const PersonRecord& person, const std::vector<uint32_t>& groups) {
  out.append("BEGIN:VCARD\r\nVERSION:3.0\r\n");
  line.assign("FN:");
  AppendEscaped(line, Field(person.description));
  AppendFoldedLine(out, line);
  NameParts names = SplitNames(person.names, sizeof person.names);
  line.assign("N:");
  AppendEscaped(line, names.last);
  line.push_back(';');
  AppendEscaped(line, names.first);
  line.push_back(';');
  AppendEscaped(line, names.middle);
  line.append(";;");
  AppendFoldedLine(out, line);
  if (person.email[0]) {
    line.assign("EMAIL;TYPE=INTERNET:");
    AppendEscaped(line, Field(person.email));
    AppendFoldedLine(out, line);
  }
  if (person.memo[0]) {
    line.assign("NOTE:");
    AppendEscaped(line, Field(person.memo));
    AppendFoldedLine(out, line);
  }
  if (!groups.empty()) {
    line.assign("CATEGORIES:");
    for (size_t i = 0; i < groups.size(); ++i) {
      if (i > 0) line.push_back(',');
      AppendEscaped(line, Field((*store.groups)[groups[i]].name));
    }
    AppendFoldedLine(out, line);
  }
  out.append("END:VCARD\r\n");
}

}  // namespace

std::vector<uint32_t> PersonsToExport(const AddressStore& store, const std::vector<ItemRef>& selection) {
  std::vector<uint32_t> persons;
  if (!store.persons) return persons;
  std::vector<bool> chosen(store.persons->used, selection.empty());
  for (ItemRef item : selection) {
    uint32_t slot = ItemSlot(item);
    if (ItemKindOf(item) == kPersonItem) {
      if (slot < chosen.size()) chosen[slot] = true;
    } else if (store.groups && slot < store.groups->used && !(*store.groups)[slot].deleted) {
      const GroupRecord& group = (*store.groups)[slot];
      if (group.members)
        for (uint32_t member : *group.members)
          if (member < chosen.size()) chosen[member] = true;
    }
  }
  for (uint32_t slot = 0; slot < chosen.size(); ++slot)
    if (chosen[slot] && IsLivePerson(store, slot)) persons.push_back(slot);
  return persons;
}

std::string WriteVCards(const AddressStore& store, const std::vector<uint32_t>& persons) {
  std::vector<std::vector<uint32_t>> groupsOf = GroupsOfPersons(store);
  std::string out, line;
  out.reserve(persons.size() * 160);
  for (uint32_t slot : persons)
    if (IsLivePerson(store, slot)) AppendCard(out, line, store, (*store.persons)[slot], groupsOf[slot]);
  return out;
}

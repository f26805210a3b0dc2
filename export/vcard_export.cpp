#include "export/vcard_export.h"

#include <algorithm>

#include "dialogs/name_parts.h"
#include "export/line_folding.h"
#include "import/charset.h"
#include "store/folded_key.h"

namespace {

constexpr size_t kMaxLineOctets = 75;  // without the CR LF

void AppendFoldedLine(std::string& out, std::string_view line) {
  ::AppendFoldedLine(out, line, kMaxLineOctets);
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

std::string WriteVCards(const AddressStore& store, const std::vector<uint32_t>& persons) {
  std::vector<std::vector<uint32_t>> groupsOf = GroupsOfPersons(store);
  std::string out, line;
  out.reserve(persons.size() * 160);
  for (uint32_t slot : persons)
    if (IsLivePerson(store, slot)) AppendCard(out, line, store, (*store.persons)[slot], groupsOf[slot]);
  return out;
}

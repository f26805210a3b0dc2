#include "export/csv_export.h"

#include <algorithm>

#include "dialogs/name_parts.h"
#include "export/export_selection.h"
#include "store/folded_key.h"

namespace {

constexpr char kHeader[] =
    "First Name,Middle Name,Last Name,E-mail Address,E-mail Type,E-mail Display Name,Notes,"
    "Categories\r\n";

bool NeedsQuotes(std::string_view cell) {
  if (cell.empty()) return false;
  if (cell.front() == ' ' || cell.back() == ' ' || cell.front() == '\t' || cell.back() == '\t') return true;
  return cell.find_first_of(",\"\r\n") != std::string_view::npos;
}

// Quoted only when the cell needs it, so that plain files stay plain to the eye.
void AppendCell(std::string& out, std::string_view cell) {
  if (!NeedsQuotes(cell)) {
    out.append(cell.data(), cell.size());
    return;
  }
  out.push_back('"');
  for (char c : cell) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

template <size_t N>
std::string_view Field(const char (&field)[N]) {
  return FieldText(field, N);
}

void AppendRow(std::string& out, const AddressStore& store, const PersonRecord& person,
               const std::vector<uint32_t>& groups) {
  NameParts names = SplitNames(person.names, sizeof person.names);
  std::string categories;
  for (uint32_t group : groups) {
    if (!categories.empty()) categories.push_back(';');
    categories.append(Field((*store.groups)[group].name));
  }
  const std::string_view cells[] = {names.first,  names.middle,     names.last,
                                    Field(person.email), "SMTP", Field(person.description),
                                    Field(person.memo), categories};
  for (size_t i = 0; i < std::size(cells); ++i) {
    if (i > 0) out.push_back(',');
    AppendCell(out, cells[i]);
  }
  out.append("\r\n");
}

}  // namespace

std::string WriteOutlookCsv(const AddressStore& store, const std::vector<uint32_t>& persons) {
  std::vector<std::vector<uint32_t>> groupsOf = GroupsOfPersons(store);
  std::string out(kHeader);
  out.reserve(persons.size() * 120);
  for (uint32_t slot : persons)
    if (IsLivePerson(store, slot)) AppendRow(out, store, (*store.persons)[slot], groupsOf[slot]);
  return out;
}

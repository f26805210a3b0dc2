#include "export/ldif_export.h"

#include <algorithm>
#include <deque>

#include "dialogs/name_parts.h"
#include "export/export_selection.h"
#include "export/line_folding.h"
#include "import/base64.h"
#include "import/charset.h"
#include "store/folded_key.h"

namespace {

constexpr size_t kMaxLineLength = 76;  // without the CR LF

template <size_t N>
std::string_view Field(const char (&field)[N]) {
  return FieldText(field, N);
}

void AppendLine(std::string& out, std::string_view line) { AppendFoldedLine(out, line, kMaxLineLength); }

// A value may stand as it is only when it is plain ASCII without line breaks that does not
// start with a blank, ":" or "<" and does not end with a blank.
bool IsSafeValue(std::string_view value) {
  if (value.empty()) return true;
  if (value.front() == ' ' || value.front() == ':' || value.front() == '<' || value.back() == ' ')
    return false;
  return std::none_of(value.begin(), value.end(), [](char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u == 0 || u == '\r' || u == '\n' || u >= 0x80;
  });
}

// "name: value", or "name:: base64" of the value in UTF-8.
void AppendAttribute(std::string& out, std::string& line, std::string_view name, std::string_view ansi) {
  line.assign(name);
  if (IsSafeValue(ansi)) {
    line.append(": ");
    line.append(ansi);
  } else {
    line.append(":: ");
    AppendBase64(line, AnsiToUtf8(ansi));
  }
  AppendLine(out, line);
}

// An attribute value inside a dn, escaped as RFC 4514 says (and "=" too, as Thunderbird does).
void AppendDnValue(std::string& dn, std::string_view value) {
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    bool special = c == ',' || c == '+' || c == '=' || c == '"' || c == '\\' || c == '<' ||
                   c == '>' || c == ';' || (i == 0 && (c == '#' || c == ' ')) ||
                   (i + 1 == value.size() && c == ' ');
    if (special) dn.push_back('\\');
    dn.push_back(c);
  }
}

std::string PersonDn(const PersonRecord& person) {
  std::string dn = "cn=";
  AppendDnValue(dn, Field(person.description));
  if (person.email[0]) {
    dn.append(",mail=");
    AppendDnValue(dn, Field(person.email));
  }
  return dn;
}

void AppendPerson(std::string& out, std::string& line, const PersonRecord& person, const std::string& dn) {
  AppendAttribute(out, line, "dn", dn);
  out.append("objectclass: top\r\nobjectclass: person\r\nobjectclass: organizationalPerson\r\n"
             "objectclass: inetOrgPerson\r\nobjectclass: mozillaAbPersonAlpha\r\n");
  NameParts names = SplitNames(person.names, sizeof person.names);
  if (!names.first.empty()) AppendAttribute(out, line, "givenName", names.first);
  if (!names.last.empty()) AppendAttribute(out, line, "sn", names.last);
  AppendAttribute(out, line, "cn", Field(person.description));
  if (person.email[0]) AppendAttribute(out, line, "mail", Field(person.email));
  if (person.memo[0]) AppendAttribute(out, line, "description", Field(person.memo));
  out.append("\r\n");
}

// `writtenIn` holds, per person slot, the last group (plus one) whose member line it got.
void AppendGroup(std::string& out, std::string& line, const GroupRecord& group, uint32_t groupSlot,
                 const std::vector<const std::string*>& dnOfPerson, std::vector<uint32_t>& writtenIn) {
  std::string dn = "cn=";
  AppendDnValue(dn, Field(group.name));
  AppendAttribute(out, line, "dn", dn);
  out.append("objectclass: top\r\nobjectclass: groupOfNames\r\n");
  AppendAttribute(out, line, "cn", Field(group.name));
  if (group.memo[0]) AppendAttribute(out, line, "description", Field(group.memo));
  if (group.members) {
    for (uint32_t member : *group.members) {
      if (member >= dnOfPerson.size() || !dnOfPerson[member] || writtenIn[member] == groupSlot + 1) continue;
      writtenIn[member] = groupSlot + 1;
      AppendAttribute(out, line, "member", *dnOfPerson[member]);
    }
  }
  out.append("\r\n");
}

}  // namespace

std::string WriteLdif(const AddressStore& store, const std::vector<uint32_t>& persons,
                      const std::vector<uint32_t>& groups) {
  std::string out, line;
  out.reserve(persons.size() * 300);
  std::deque<std::string> dns;  // a deque never moves what it holds
  std::vector<const std::string*> dnOfPerson(store.persons ? store.persons->used : 0, nullptr);
  for (uint32_t slot : persons) {
    if (!IsLivePerson(store, slot)) continue;
    const PersonRecord& person = (*store.persons)[slot];
    dns.push_back(PersonDn(person));
    dnOfPerson[slot] = &dns.back();
    AppendPerson(out, line, person, dns.back());
  }
  std::vector<uint32_t> writtenIn(dnOfPerson.size(), 0);
  for (uint32_t slot : groups)
    if (store.groups && slot < store.groups->used && !(*store.groups)[slot].deleted)
      AppendGroup(out, line, (*store.groups)[slot], slot, dnOfPerson, writtenIn);
  return out;
}

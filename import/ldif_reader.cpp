// LDIF (RFC 2849) as Thunderbird and LDAP tools write it: person records become persons, and
// groupOfNames records (Thunderbird's mailing lists) groups whose members are person records of
// the same file, named by their dn.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "import/base64.h"
#include "import/charset.h"
#include "import/file_text_encoding.h"
#include "import/foreign_readers.h"
#include "import/line_breaks.h"
#include "import/text_scan.h"

namespace {

struct Attribute {
  std::string name;   // letter case as written, options removed
  std::string value;  // UTF-8
};

using Record = std::vector<Attribute>;

std::string_view TrimLeadingBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

// The physical lines of the text, without their line ends (CR LF, LF, a lone CR, or CR CR LF
// from a file that went through a text-mode copy).
class PhysicalLines {
 public:
  explicit PhysicalLines(std::string_view text) : text_(text) {}
  bool Next(std::string_view& line) {
    if (at_ >= text_.size()) return false;
    size_t end = at_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
    line = text_.substr(at_, end - at_);
    at_ = end;
    if (text_.compare(at_, 3, "\r\r\n") == 0) at_ += 3;
    else if (text_.compare(at_, 2, "\r\n") == 0) at_ += 2;
    else if (at_ < text_.size()) ++at_;
    return true;
  }

 private:
  std::string_view text_;
  size_t at_ = 0;
};

// A base64 value holds UTF-8 by the format's rule; bytes that are not UTF-8 are read as ANSI.
std::string DecodedValue(std::string_view encoded) {
  std::string bytes = DecodeBase64(encoded);
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  return IsValidUtf8(bytes) ? bytes : AnsiToUtf8(bytes);
}

// False for lines that carry no attribute: comments, "version:", "changetype:", URL values.
bool ParseAttribute(std::string_view line, Attribute& attribute) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  std::string_view name = line.substr(0, colon);
  name = name.substr(0, name.find(';'));  // options such as ";lang-de" or ";binary"
  std::string_view rest = line.substr(colon + 1);
  if (SameNoCase(name, "version") || SameNoCase(name, "changetype")) return false;
  attribute.name = std::string(TrimBlanks(name));
  if (!rest.empty() && rest.front() == '<') return false;  // a URL: nothing is fetched
  if (!rest.empty() && rest.front() == ':') attribute.value = DecodedValue(rest.substr(1));
  else attribute.value = std::string(TrimLeadingBlanks(rest));
  return true;
}

// Collects logical lines (a line starting with one blank continues the previous one) into
// records, and hands each record to `take` as it ends: at an empty line, or at a "dn:" line,
// which opens a record also where the writer left out the empty line before it.
template <typename Take>
void ReadRecords(std::string_view text, Take take) {
  Record record;
  std::string logical;
  bool inComment = false, haveLine = false;
  auto finishLine = [&] {
    Attribute attribute;
    if (haveLine && !inComment && ParseAttribute(logical, attribute)) {
      if (SameNoCase(attribute.name, "dn") && !record.empty()) {
        take(record);
        record.clear();
      }
      record.push_back(std::move(attribute));
    }
    logical.clear();
    haveLine = inComment = false;
  };
  auto finishRecord = [&] {
    if (!record.empty()) take(record);
    record.clear();
  };
  PhysicalLines lines(text);
  std::string_view line;
  while (lines.Next(line)) {
    if (!line.empty() && line.front() == ' ' && haveLine) {
      logical.append(line.substr(1));
      continue;
    }
    finishLine();
    if (line.empty()) {
      finishRecord();
      continue;
    }
    haveLine = true;
    inComment = line.front() == '#';
    logical.assign(line);
  }
  finishLine();
  finishRecord();
}

const std::string* First(const Record& record, std::string_view name) {
  for (const Attribute& attribute : record)
    if (SameNoCase(attribute.name, name)) return &attribute.value;
  return nullptr;
}

std::string ValueOf(const Record& record, std::string_view name) {
  const std::string* value = First(record, name);
  return value ? std::string(TrimBlanks(*value)) : std::string();
}

bool HasObjectClass(const Record& record, bool (*matches)(std::string_view)) {
  for (const Attribute& attribute : record)
    if (SameNoCase(attribute.name, "objectclass") && matches(TrimBlanks(attribute.value))) return true;
  return false;
}

// person, organizationalPerson, inetOrgPerson, mozillaAbPersonAlpha and the like.
bool IsPersonClass(std::string_view objectClass) {
  constexpr std::string_view kPerson = "person";
  for (size_t at = 0; at + kPerson.size() <= objectClass.size(); ++at)
    if (SameNoCase(objectClass.substr(at, kPerson.size()), kPerson)) return true;
  return false;
}

// Thunderbird's mailing lists are groupOfNames; other directories write groupOfUniqueNames.
bool IsGroupClass(std::string_view objectClass) {
  return SameNoCase(objectClass, "groupOfNames") || SameNoCase(objectClass, "groupOfUniqueNames");
}

bool IsMemberAttribute(std::string_view name) {
  return SameNoCase(name, "member") || SameNoCase(name, "uniqueMember");
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One attribute=value part of a dn, its value with the escapes undone ("\," and "\C3\BC").
struct DnPart {
  std::string type, value;
};

// The parts of a dn in order, split at the "," and "+" that are not escaped. A uniqueMember
// value may end in "#'0101'B" (an optional unique id), which names no entry and is dropped.
std::vector<DnPart> DnParts(std::string_view dn) {
  size_t uid = dn.rfind("#'");
  if (uid != std::string_view::npos && dn.size() >= 2 && dn.substr(dn.size() - 2) == "'B") dn = dn.substr(0, uid);
  std::vector<DnPart> parts(1);
  bool inValue = false;
  for (size_t i = 0; i < dn.size(); ++i) {
    char c = dn[i];
    std::string& into = inValue ? parts.back().value : parts.back().type;
    if (c == '\\' && i + 1 < dn.size()) {
      int high = HexDigit(dn[i + 1]), low = i + 2 < dn.size() ? HexDigit(dn[i + 2]) : -1;
      if (high >= 0 && low >= 0) {
        into.push_back(static_cast<char>(high * 16 + low));
        i += 2;
      } else {
        into.push_back(dn[++i]);
      }
    } else if (c == ',' || c == '+') {
      parts.emplace_back();
      inValue = false;
    } else if (c == '=' && !inValue) {
      inValue = true;
    } else {
      into.push_back(c);
    }
  }
  for (DnPart& part : parts) {
    part.type = std::string(TrimBlanks(part.type));
    part.value = std::string(TrimBlanks(part.value));
  }
  return parts;
}

// The dn as compared: escapes undone, letter case folded, blanks around "," and "=" dropped, so
// "cn=M\C3\BCller" and "CN = Müller" are the same entry.
std::string DnKey(std::string_view dn) {
  std::string key;
  for (const DnPart& part : DnParts(TrimBlanks(dn))) {
    if (!key.empty()) key.push_back(',');
    AppendFolded(key, part.type, CodePage{});  // UTF-8: no byte of a longer character is ASCII
    key.push_back('=');
    for (char c : part.value) {
      if (c == ',' || c == '+' || c == '=' || c == '\\') key.push_back('\\');
      key.push_back(static_cast<char>(FoldByte(static_cast<unsigned char>(c))));
    }
  }
  return key;
}

// What a dn calls its entry: the value of its first part ("Ann Lee" of "cn=Ann Lee,mail=..."),
// escapes undone; the whole dn when that is empty.
std::string NameOfDn(std::string_view dn) {
  std::vector<DnPart> parts = DnParts(dn);
  return parts.front().value.empty() ? std::string(TrimBlanks(dn)) : parts.front().value;
}

DecodedPerson PersonOf(const Record& record) {
  DecodedPerson person;
  person.email = ValueOf(record, "mail");
  person.first = ValueOf(record, "givenName");
  person.last = ValueOf(record, "sn");
  if (person.last.empty()) person.last = ValueOf(record, "surname");
  person.memo = std::string(TrimBlanks(BreaksAsBlanks(ValueOf(record, "description"))));
  person.description = ValueOf(record, "cn");
  if (person.description.empty()) person.description = ValueOf(record, "mozillaNickname");
  if (person.description.empty()) {
    person.description = person.first;
    if (!person.first.empty() && !person.last.empty()) person.description.push_back(' ');
    person.description += person.last;
  }
  if (person.description.empty()) person.description = person.email;
  return person;
}

ForeignGroup GroupOf(const Record& record, const std::unordered_map<std::string, size_t>& persons) {
  ForeignGroup group;
  group.name = ValueOf(record, "cn");
  group.label = group.name.empty() ? NameOfDn(ValueOf(record, "dn")) : group.name;
  group.memo = std::string(TrimBlanks(BreaksAsBlanks(ValueOf(record, "description"))));
  for (const Attribute& attribute : record) {
    if (!IsMemberAttribute(attribute.name)) continue;
    auto found = persons.find(DnKey(attribute.value));
    if (found != persons.end()) group.members.push_back(found->second);
    else group.missingMembers.push_back(NameOfDn(attribute.value));
  }
  return group;
}

}  // namespace

ForeignBook ReadLdif(std::string_view bytes) {
  std::string text = FileTextAsUtf8(bytes);
  text.resize(std::min(text.size(), text.find('\0')));
  ForeignBook book;
  std::unordered_map<std::string, size_t> personsByDn;
  std::vector<Record> groups;  // matched once every person is known: a list may come first
  ReadRecords(text, [&](Record& record) {
    // One without "mail" is kept too, so that the merge counts it as not taken.
    if (HasObjectClass(record, IsPersonClass)) {
      personsByDn.emplace(DnKey(ValueOf(record, "dn")), book.persons.size());
      book.persons.push_back(PersonOf(record));
    } else if (HasObjectClass(record, IsGroupClass)) {
      groups.push_back(std::move(record));
    }
  });
  for (const Record& record : groups) book.groups.push_back(GroupOf(record, personsByDn));
  return book;
}

#include "import/decoded_person.h"

#include <algorithm>

#include "import/charset.h"
#include "import/text_scan.h"

namespace {

// Trimmed before the conversion and after it, since a best fit may turn a character into a blank.
AnsiText Converted(std::string_view utf8) {
  AnsiText ansi = Utf8ToAnsiChecked(TrimBlanks(utf8));
  ansi.text = std::string(TrimBlanks(ansi.text));
  return ansi;
}

struct Conversion {
  bool unshowable = false;

  std::string Text(std::string_view utf8) {
    AnsiText ansi = Converted(utf8);
    unshowable |= ansi.unshowable;
    return std::move(ansi.text);
  }

  // Empty when it cannot be shown whole.
  std::string NamePart(std::string_view utf8) {
    AnsiText ansi = Converted(utf8);
    if (ansi.unshowable) {
      unshowable = true;
      return std::string();
    }
    std::replace(ansi.text.begin(), ansi.text.end(), ';', ',');
    return std::move(ansi.text);
  }

  std::string Description(std::string_view utf8, const std::string& first, const std::string& last,
                          const std::string& email) {
    AnsiText ansi = Converted(utf8);
    unshowable |= ansi.unshowable;
    if (!ansi.text.empty() && !ansi.unshowable) return std::move(ansi.text);
    std::string joined = first;
    if (!joined.empty() && !last.empty()) joined.push_back(' ');
    joined += last;
    return joined.empty() ? email : joined;
  }
};

}  // namespace

bool AppendDecodedPerson(ImportBatch& batch, const DecodedPerson& person) {
  Conversion convert;
  std::string email = convert.Text(person.email);
  std::string first = convert.NamePart(person.first);
  std::string middle = convert.NamePart(person.middle);
  std::string last = convert.NamePart(person.last);
  std::string description = convert.Description(person.description, first, last, email);
  if (email.empty()) {
    batch.NoteWithoutAddress(description);
    return true;
  }
  ImportEntry entry;
  entry.description = batch.Keep(description);
  entry.email = batch.Keep(email);
  entry.firstName = batch.Keep(first);
  entry.middleName = batch.Keep(middle);
  entry.lastName = batch.Keep(last);
  entry.memo = batch.Keep(convert.Text(person.memo));
  entry.groups.reserve(person.groups.size());
  for (const std::string& group : person.groups) {
    AnsiText name = Converted(group);
    (name.unshowable ? entry.unshowableGroups : entry.groups).push_back(batch.Keep(name.text));
  }
  if (convert.unshowable) entry.notes |= kNoteUnshowable;
  if (!batch.GrowIfFull()) return false;
  batch.Append(entry);
  return true;
}

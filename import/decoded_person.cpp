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

ConvertedPerson ConvertDecodedPerson(const DecodedPerson& person) {
  Conversion convert;
  ConvertedPerson out;
  out.email = convert.Text(person.email);
  out.first = convert.NamePart(person.first);
  out.middle = convert.NamePart(person.middle);
  out.last = convert.NamePart(person.last);
  out.description = convert.Description(person.description, out.first, out.last, out.email);
  out.memo = convert.Text(person.memo);
  out.groups.reserve(person.groups.size());
  for (const std::string& group : person.groups) out.groups.push_back(Converted(group).text);
  out.unshowable = convert.unshowable;
  return out;
}

bool AppendDecodedPerson(ImportBatch& batch, const DecodedPerson& person) {
  ConvertedPerson converted = ConvertDecodedPerson(person);
  if (converted.email.empty()) {
    batch.NoteWithoutAddress(converted.description);
    return true;
  }
  ImportEntry entry;
  entry.description = batch.Keep(converted.description);
  entry.email = batch.Keep(converted.email);
  entry.firstName = batch.Keep(converted.first);
  entry.middleName = batch.Keep(converted.middle);
  entry.lastName = batch.Keep(converted.last);
  entry.memo = batch.Keep(converted.memo);
  entry.groups.reserve(converted.groups.size());
  for (const std::string& group : converted.groups) entry.groups.push_back(batch.Keep(group));
  if (converted.unshowable) entry.notes |= kNoteUnshowable;
  if (!batch.GrowIfFull()) return false;
  batch.Append(entry);
  return true;
}

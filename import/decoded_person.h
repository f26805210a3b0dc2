// A person as a reader decoded it, in UTF-8, and the rules that turn it into a batch entry in
// the ANSI code page the book keeps its texts in. Shared by every reader that decodes text.
#pragma once

#include <string>
#include <vector>

#include "import/import_batch.h"

struct DecodedPerson {
  std::string description;  // empty when the file gives none
  std::string email;
  std::string first;
  std::string middle;
  std::string last;
  std::string memo;
  std::vector<std::string> groups;  // group names in file order, escapes already undone
};

// Converts the person (best fit, blanks trimmed) and appends it to the batch:
// - a description that is empty or holds a character this system cannot show falls back to the
//   first and last name joined by a blank, then to the e-mail address;
// - a name part holding such a character is left empty (and is not used by that fallback); a
//   ";" a part holds after the conversion becomes ",", since ";" separates the stored parts;
// - the e-mail address and the memo keep "?" for such a character;
// - group names are converted and trimmed; the merge judges them.
// A person without an e-mail address is not appended but noted for the report. False when the
// batch cannot grow: the import is abandoned.
bool AppendDecodedPerson(ImportBatch& batch, const DecodedPerson& person);

// The same conversion without a batch: the texts in the ANSI code page, before any cut.
struct ConvertedPerson {
  std::string description, email, first, middle, last, memo;
  std::vector<std::string> groups;
  bool unshowable = false;
};
ConvertedPerson ConvertDecodedPerson(const DecodedPerson& person);

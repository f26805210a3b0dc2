// What an import did not take as it stood, counted by the merge, and the message that tells it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Why an entry is named in the report; the values are the string-table ids of the reasons.
enum class ReportReason : int {
  kAlreadyInBook = 174,
  kCut = 175,
  kUnshowable = 176,
  kNoAddress = 177,
  kGroupLeftOut = 178,
  kOverLimit = 179,
  kMemberNotInFile = 187,  // named by a list of the file, held nowhere in it; not counted
  kFitted = 2104,          // a name changed to one the dialogs accept
  kListLeftOut = 2105,     // a list of the file that made no group; not counted
};

struct ReportLine {
  std::string description;  // as stored, or as it would have been stored
  ReportReason reason;
  std::string group;        // the group name, for kGroupLeftOut
};

// What one entry of the batch met in the merge.
struct EntryChanges {
  bool cut = false;
  bool unshowable = false;
  std::vector<std::string> groupsLeftOut;
  bool fitted = false;  // the description or a name part changed to fit the name rules
  std::vector<std::string> groupsFitted;  // names of groups made under a name changed to fit
};

// Counts are of persons: one changed for two reasons counts once in `changed` and once under
// each reason.
struct ImportReport {
  static constexpr size_t kMaxLines = 10;

  uint32_t imported = 0;
  uint32_t newGroups = 0;
  uint32_t notTaken = 0;
  uint32_t alreadyInBook = 0;
  uint32_t withoutAddress = 0;
  uint32_t overLimit = 0;
  uint32_t changed = 0;
  uint32_t cut = 0;
  uint32_t unshowable = 0;
  uint32_t groupsLeftOut = 0;
  uint32_t fitted = 0;  // names changed to fit the rules: persons' and groups'
  std::vector<ReportLine> lines;  // the first kMaxLines, in file order
  std::vector<size_t> unclosedQuoteLines;  // CSV lines where a quote opened that never closes

  // An entry taken (stored as a new person, or joining groups as a person already in the book).
  void CountTaken(std::string_view description, const EntryChanges& changes);
  // An entry not taken for `reason` (kAlreadyInBook, kNoAddress or kOverLimit).
  void CountNotTaken(std::string_view description, ReportReason reason);

  // A member a listed group names that the file does not hold.
  void NoteMissingMember(std::string_view name) { AddLine(name, ReportReason::kMemberNotInFile); }
  // A group listed whole whose name was changed to fit the rules.
  void NoteFittedGroup(std::string_view name) {
    ++fitted;
    AddLine(name, ReportReason::kFitted);
  }
  // A list of the file that made no group (its name refused, or no group could be made).
  void NoteListLeftOut(std::string_view name) { AddLine(name, ReportReason::kListLeftOut); }

  // Silent when every entry was taken whole.
  bool WorthTelling() const {
    return notTaken > 0 || changed > 0 || fitted > 0 || !lines.empty() || !unclosedQuoteLines.empty();
  }

 private:
  void CountChanged(std::string_view description, const EntryChanges& changes);
  void AddLine(std::string_view description, ReportReason reason, std::string_view group = {});
};

// The string-table text of an id, in the language shown.
using TextOfId = std::function<std::string(int id)>;

// The report's text: line 170 always, 171, 172 and 2103 when they apply, a line 2101 for each
// unclosed quote (at most kMaxLines), then 173 and the first entries named, each
// "description - reason".
std::string BuildImportReport(const ImportReport& report, const TextOfId& textOf);

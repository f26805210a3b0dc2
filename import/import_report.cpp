#include "import/import_report.h"

#include "app/message_text.h"

namespace {

enum TextId : int {
  kImportedText = 170,
  kNotTakenText = 171,
  kChangedText = 172,
  kFirstOfThemText = 173,
  kUnclosedQuoteText = 2101,
  kFittedText = 2103,
};

}  // namespace

void ImportReport::AddLine(std::string_view description, ReportReason reason, std::string_view group) {
  if (lines.size() < kMaxLines) lines.push_back(ReportLine{std::string(description), reason, std::string(group)});
}

void ImportReport::CountTaken(std::string_view description, const EntryChanges& changes) {
  if (changes.cut || changes.unshowable || !changes.groupsLeftOut.empty()) CountChanged(description, changes);
  if (changes.fitted) {
    ++fitted;
    AddLine(description, ReportReason::kFitted);
  }
  for (const std::string& group : changes.groupsFitted) {
    ++fitted;
    AddLine(group, ReportReason::kFitted);
  }
}

void ImportReport::CountChanged(std::string_view description, const EntryChanges& changes) {
  ++changed;
  if (changes.cut) {
    ++cut;
    AddLine(description, ReportReason::kCut);
  }
  if (changes.unshowable) {
    ++unshowable;
    AddLine(description, ReportReason::kUnshowable);
  }
  if (!changes.groupsLeftOut.empty()) {
    ++groupsLeftOut;
    for (const std::string& group : changes.groupsLeftOut) AddLine(description, ReportReason::kGroupLeftOut, group);
  }
}

void ImportReport::CountNotTaken(std::string_view description, ReportReason reason) {
  ++notTaken;
  if (reason == ReportReason::kAlreadyInBook) ++alreadyInBook;
  else if (reason == ReportReason::kNoAddress) ++withoutAddress;
  else ++overLimit;
  AddLine(description, reason);
}

std::string BuildImportReport(const ImportReport& report, const TextOfId& textOf) {
  std::string text = FillNumbers(textOf(kImportedText), {report.imported, report.newGroups});
  if (report.notTaken > 0)
    text += "\n" + FillNumbers(textOf(kNotTakenText), {report.notTaken, report.alreadyInBook,
                                                       report.withoutAddress, report.overLimit});
  if (report.changed > 0)
    text += "\n" + FillNumbers(textOf(kChangedText),
                               {report.changed, report.cut, report.unshowable, report.groupsLeftOut});
  if (report.fitted > 0) text += "\n" + FillNumbers(textOf(kFittedText), {report.fitted});
  for (size_t i = 0; i < report.unclosedQuoteLines.size() && i < ImportReport::kMaxLines; ++i)
    text += "\n" + FillNumbers(textOf(kUnclosedQuoteText), {static_cast<uint32_t>(report.unclosedQuoteLines[i])});
  if (report.lines.empty()) return text;
  text += "\n\n" + textOf(kFirstOfThemText);
  for (const ReportLine& line : report.lines) {
    std::string reason = textOf(static_cast<int>(line.reason));
    if (line.reason == ReportReason::kGroupLeftOut) reason = FillPlaceholders(reason, {line.group});
    text += "\n" + line.description + " - " + reason;
  }
  return text;
}

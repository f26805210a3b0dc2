#include "sync/sync_report.h"

#include "app/message_text.h"

namespace {

enum TextId : int {
  kCountsText = 2030,        // new, changed, removed here; sent
  kOnlyOnServerText = 2031,  // cards without an e-mail address
  kLinesText = 2032,         // heading of the lines
  kStoppedText = 2045,       // %s server, %s what happened
  kCancelledText = 2046,
  kDamagedStateText = 2047,  // %s the copy
  kLeftOutText = 2048,       // %d cards left on the server
  kStatusText = 2049,        // %s the HTTP status
};

}  // namespace

void SyncReport::Add(std::string description, SyncReason reason, int field, std::string value) {
  // A card decided again after it changed under a put is told once.
  for (const SyncReportLine& line : lines)
    if (line.description == description && line.reason == reason && line.field == field) return;
  if (lines.size() < kMaxLines) lines.push_back(SyncReportLine{std::move(description), reason, field, std::move(value)});
}

std::string BuildSyncReport(const SyncReport& report, const TextOfId& textOf) {
  std::string text = FillNumbers(textOf(kCountsText), {report.newHere, report.changedHere, report.removedHere, report.sent});
  if (report.onlyOnServer > 0) text += "\n" + FillNumbers(textOf(kOnlyOnServerText), {report.onlyOnServer});
  if (report.leftOut > 0) text += "\n" + FillNumbers(textOf(kLeftOutText), {report.leftOut});
  if (report.stateDamaged) text += "\n" + FillPlaceholders(textOf(kDamagedStateText), {report.damagedCopy});
  if (report.failed()) {
    std::string what = report.failureStatus ? FillPlaceholders(textOf(kStatusText), {std::to_string(report.failureStatus)})
                                            : report.failure;
    text += "\n" + FillPlaceholders(textOf(kStoppedText), {report.server, what});
  }
  else if (report.cancelled) text += "\n" + textOf(kCancelledText);
  if (report.lines.empty()) return text;
  text += "\n\n" + textOf(kLinesText);
  for (const SyncReportLine& line : report.lines) {
    std::string reason = textOf(static_cast<int>(line.reason));
    std::string field = line.field ? textOf(line.field) : std::string();
    reason = FillPlaceholders(reason, {field, line.value});
    text += "\n" + line.description + " - " + reason;
  }
  return text;
}

#include <string>

#include "app/book_files.h"
#include "app/message_text.h"
#include "app/shell_state.h"
#include "app/text_message.h"
#include "store/code_page.h"
#include "store/safe_write.h"

namespace {

enum : UINT {
  kMsgUnreadable = 143, kMsgDamagedFiles = 144, kMsgDamagedFile = 145, kMsgGroupsOfLostPersons = 146,
  kMsgGroupsUnread = 148,
};

const FileLoadResult* FirstUnreadable(const LoadReport& report) {
  if (report.persons.status == FileLoadStatus::kUnreadable) return &report.persons;
  if (report.groups.status == FileLoadStatus::kUnreadable) return &report.groups;
  return nullptr;
}

bool AskRetry(const FileLoadResult& load) {
  return ShowTextMessage(nullptr, kMsgUnreadable, {load.failure.path, FailureWords(load.failure)},
                         MB_RETRYCANCEL | MB_ICONHAND | MB_SETFOREGROUND) == IDRETRY;
}

// A line for a file whose original bytes will be kept before its first save; "" for others.
std::string KeptFileLine(const std::string& path, const DataFileState& state, const FileLoadResult& load) {
  if (!state.keepOriginal) return {};
  std::string copy = FreeCopyName(PlatformFiles(), path);
  if (load.status == FileLoadStatus::kNotLoaded)
    return FillPlaceholders(LoadLongString(kMsgGroupsUnread), {path, copy}) + "\n\n";
  UINT text = load.status == FileLoadStatus::kDamaged ? kMsgDamagedFile : kMsgGroupsOfLostPersons;
  return FillPlaceholders(LoadLongString(text), {path, std::to_string(load.records), copy}) + "\n\n";
}

void TellKeptFiles(const LoadReport& report) {
  const AddressStore& store = g_shell.store;
  std::string lines = KeptFileLine(store.personPath, store.personFile, report.persons) +
                      KeptFileLine(store.groupPath, store.groupFile, report.groups);
  if (lines.empty()) return;
  lines.erase(lines.size() - 2);
  ShowTextMessage(nullptr, kMsgDamagedFiles, {lines}, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

}  // namespace

bool LoadBookAtStart() {
  g_shell.store.codePage = SystemCodePage();  // the texts of the files are in it
  for (;;) {
    LoadReport report = LoadAddressStore(g_shell.store);
    const FileLoadResult* unreadable = FirstUnreadable(report);
    if (!unreadable) {
      FoldBookTexts(g_shell.store, SystemCodePage());  // the search box never folds a record again
      TellKeptFiles(report);
      return true;
    }
    if (!AskRetry(*unreadable)) {
      FreeAddressStore(g_shell.store);
      return false;
    }
  }
}

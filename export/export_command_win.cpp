// File > Export: choose a file, write the chosen persons (and for LDIF the chosen groups) to it
// in the command's format. Silent on success; a file that cannot be written is named in a
// message box.
#include "export/export_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/shell_state.h"
#include "win/list_box_win.h"
#include "export/csv_export.h"
#include "export/ldif_export.h"
#include "export/vcard_export.h"
#include "import/import_steps_win.h"

namespace {

constexpr UINT kCaptionText = 101;  // "Address Book"
constexpr UINT kAllFilesText = 189;

// The text of the chosen persons (and groups) in one format.
using FormatWriter = std::string (*)(const AddressStore& store, const std::vector<ItemRef>& selection);

std::string VCardText(const AddressStore& store, const std::vector<ItemRef>& selection) {
  return WriteVCards(store, PersonsToExport(store, selection));
}
std::string OutlookCsvText(const AddressStore& store, const std::vector<ItemRef>& selection) {
  return WriteOutlookCsv(store, PersonsToExport(store, selection));
}
std::string LdifText(const AddressStore& store, const std::vector<ItemRef>& selection) {
  return WriteLdif(store, PersonsToExport(store, selection), GroupsToExport(store, selection));
}

struct ExportFormat {
  UINT titleId;
  UINT filterLabelId;
  const char* pattern;
  const char* defaultExtension;
  const char* proposedName;
  UINT writeFailedId;  // names the file
  UINT allFilesLabelId;
  FormatWriter write;
};

constexpr ExportFormat kVCardFormat = {137, 119, "*.vcf", "vcf", "contacts.vcf", 138, 0, VCardText};
constexpr ExportFormat kCsvFormat = {184, 182, "*.csv;*.txt", "csv", "contacts.csv", 188, kAllFilesText, OutlookCsvText};
constexpr ExportFormat kLdifFormat = {185, 183, "*.ldif;*.ldi", "ldif", "contacts.ldif", 188, kAllFilesText, LdifText};

// The entry list's selected items; empty when nothing is selected.
std::vector<ItemRef> SelectedItems(HWND list) {
  std::vector<ItemRef> items;
  LRESULT count = list ? SendMessageA(list, LB_GETSELCOUNT, 0, 0) : 0;
  if (count <= 0) return items;
  std::vector<int> indexes(static_cast<size_t>(count));
  LRESULT got = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count),
                             reinterpret_cast<LPARAM>(indexes.data()));
  for (LRESULT i = 0; i < got; ++i)
    items.push_back(static_cast<ItemRef>(SendMessageA(list, LB_GETITEMDATA, indexes[i], 0)));
  return items;
}

bool ChooseExportFile(HWND owner, const ExportFormat& format, PathBuffer& chosen) {
  FileDialogRequest dialog(owner, format.titleId, format.filterLabelId, format.pattern,
                           format.defaultExtension, chosen, format.allFilesLabelId);
  lstrcpynA(chosen, format.proposedName, kPathSize);
  dialog.request().Flags =
      OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  return GetSaveFileNameA(&dialog.request()) != FALSE;
}

void ShowWriteFailure(HWND owner, UINT formatId, const char* path) {
  char format[256] = {};
  char caption[256] = {};
  LoadLocalString(g_shell.instance, formatId, format, sizeof format);
  LoadLocalString(g_shell.instance, kCaptionText, caption, sizeof caption);
  char text[sizeof format + kPathSize] = {};
  std::snprintf(text, sizeof text, format, path);
  MessageBoxA(owner, text, caption, MB_ICONHAND | MB_SETFOREGROUND);
}

void ExportAs(HWND owner, const ExportFormat& format) {
  if (!HasLivePerson(g_shell.store)) return;
  // The selection is taken first: the dialog does not change it, but the book is read after.
  std::vector<ItemRef> selection = SelectedItems(g_shell.entryList);
  // While the search box narrows the list, "nothing selected" means every entry shown.
  if (selection.empty() && g_shell.entryView.Narrowed()) selection = AllItemData(g_shell.entryList);
  if (selection.empty() && g_shell.entryView.Narrowed()) return;
  PathBuffer chosen = {};
  ++g_shell.DialogActive;
  bool accepted = ChooseExportFile(owner, format, chosen);
  --g_shell.DialogActive;
  if (!accepted) return;
  if (!WriteExportFile(chosen, format.write(g_shell.store, selection)))
    ShowWriteFailure(owner, format.writeFailedId, chosen);
}

}  // namespace

void ExportAddressBook(HWND owner) { ExportAs(owner, kVCardFormat); }

void ExportContactsFile(HWND owner, int commandId) {
  if (commandId == kCmdExportCsv) ExportAs(owner, kCsvFormat);
  else if (commandId == kCmdExportLdif) ExportAs(owner, kLdifFormat);
}

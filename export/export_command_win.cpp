// File > Export > vCard: choose a file, write the chosen persons to it. Silent on success; a
// file that cannot be written is named in a message box.
#include "export/export_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/shell_state.h"
#include "export/vcard_export.h"
#include "import/import_steps_win.h"

namespace {

constexpr UINT kTitleText = 137;         // "Export - vCard -"
constexpr UINT kWriteFailedText = 138;   // names the file
constexpr UINT kFilterLabelText = 119;   // "vCard files (*.vcf)"
constexpr UINT kCaptionText = 101;       // "Address Book"
const char kProposedName[] = "contacts.vcf";

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

bool ChooseExportFile(HWND owner, PathBuffer& chosen) {
  FileDialogRequest dialog(owner, kTitleText, kFilterLabelText, "*.vcf", "vcf", chosen);
  CopyMemory(chosen, kProposedName, sizeof kProposedName);
  dialog.request().Flags =
      OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  return GetSaveFileNameA(&dialog.request()) != FALSE;
}

void ShowWriteFailure(HWND owner, const char* path) {
  char format[256] = {};
  char caption[256] = {};
  LoadLocalString(g_shell.instance, kWriteFailedText, format, sizeof format);
  LoadLocalString(g_shell.instance, kCaptionText, caption, sizeof caption);
  char text[sizeof format + kPathSize] = {};
  std::snprintf(text, sizeof text, format, path);
  MessageBoxA(owner, text, caption, MB_ICONHAND | MB_SETFOREGROUND);
}

}  // namespace

void ExportAddressBook(HWND owner) {
  if (!HasLivePerson(g_shell.store)) return;
  // The selection is taken first: the dialog does not change it, but the book is read after.
  std::vector<ItemRef> selection = SelectedItems(g_shell.entryList);
  PathBuffer chosen = {};
  ++g_shell.DialogActive;
  bool accepted = ChooseExportFile(owner, chosen);
  --g_shell.DialogActive;
  if (!accepted) return;
  std::string text = WriteVCards(g_shell.store, PersonsToExport(g_shell.store, selection));
  if (!WriteExportFile(chosen, text)) ShowWriteFailure(owner, chosen);
}

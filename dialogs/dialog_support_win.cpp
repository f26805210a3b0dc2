#include "dialogs/dialog_support_win.h"

#include <vector>

#include "app/settings.h"

namespace {

constexpr UINT kCaptionId = 101;

}  // namespace

// Read whole and cut here: the system would cut in the middle of a double-byte character.
std::string ReadControlText(HWND dialog, int id, int maxLength) {
  int whole = GetWindowTextLengthA(GetDlgItem(dialog, id));
  std::vector<char> buffer(static_cast<size_t>(whole > maxLength ? whole : maxLength) + 1, '\0');
  int length = GetDlgItemTextA(dialog, id, buffer.data(), static_cast<int>(buffer.size()));
  std::string_view text(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
  return std::string(text.substr(0, CutBetweenCharacters(g_shell.store.codePage, text, static_cast<size_t>(maxLength))));
}

void LimitControlText(HWND dialog, int id, int maxLength) {
  SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
  EnforceTextLimit(dialog, id, maxLength);
}

void EnforceTextLimit(HWND dialog, int id, int maxLength) {
  HWND edit = GetDlgItem(dialog, id);
  if (!edit || GetWindowTextLengthA(edit) <= maxLength) return;
  std::string kept = ReadControlText(dialog, id, maxLength);
  SetWindowTextA(edit, kept.c_str());
  SendMessageA(edit, EM_SETSEL, kept.size(), kept.size());
  MessageBeep(MB_OK);
}

void ShowInputError(HWND dialog, int messageId) {
  MessageBoxById(dialog, static_cast<UINT>(messageId), kCaptionId, MB_ICONHAND | MB_SETFOREGROUND);
}

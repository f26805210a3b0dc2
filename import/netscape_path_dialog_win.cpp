// "IMPDLG": proposes the Netscape address book file recorded in the registry.
#include <windows.h>

#include "app/startup.h"
#include "app/localized_dialog.h"
#include "app/settings.h"
#include "app/shell_state.h"
#include "import/import_steps_win.h"
#include "win/dialog_frame_win.h"

namespace {

constexpr int kPathEditId = 1000;
constexpr int kBrowseId = 3;

struct PathDialogState {
  PathBuffer* pathBlock = nullptr;
  DialogFont ImportDialogFont;
};

PathDialogState* StateOf(HWND dialog) {
  return reinterpret_cast<PathDialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void OnInit(HWND dialog, PathDialogState* state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  state->ImportDialogFont.Adopt(CreateFontFromSet(StandardFontSet));
  state->ImportDialogFont.ApplyTo(dialog, {kPathEditId});
  PathBuffer location;
  if (!ReadNetscapeBookLocation(location)) {
    EndDialog(dialog, kGoToChooser);
    return;
  }
  SetDlgItemTextA(dialog, kPathEditId, location);
}

// OK keeps the typed path only if that file opens; otherwise the chooser follows.
void OnOk(HWND dialog, PathDialogState* state) {
  PathBuffer typed = {};
  GetDlgItemTextA(dialog, kPathEditId, typed, kPathSize);
  HANDLE file = CreateFileA(typed, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    EndDialog(dialog, kGoToChooser);
    return;
  }
  CopyMemory(*state->pathBlock, typed, kPathSize);
  CloseHandle(file);
  EndDialog(dialog, kPathOpened);
}

void OnDestroy(HWND dialog, PathDialogState* state) {
  if (!state) return;
  state->ImportDialogFont.RestoreSystemFont(dialog, {kPathEditId});
  state->ImportDialogFont.Release();
}

INT_PTR CALLBACK NetscapePathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsLightGrayRequest(message)) return PaintLightGray(wParam);
  switch (message) {
    case WM_INITDIALOG:
      OnInit(dialog, reinterpret_cast<PathDialogState*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: OnOk(dialog, StateOf(dialog)); return TRUE;
        case IDCANCEL: EndDialog(dialog, kImportCancelled); return TRUE;
        case kBrowseId: EndDialog(dialog, kGoToChooser); return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      OnDestroy(dialog, StateOf(dialog));
      return FALSE;
  }
  return FALSE;
}

}  // namespace

int RunNetscapePathDialog(HWND owner, PathBuffer& pathBlock) {
  PathDialogState state;
  state.pathBlock = &pathBlock;
  INT_PTR result = RunLocalizedDialog("IMPDLG", owner, NetscapePathDialogProc, reinterpret_cast<LPARAM>(&state));
  return result == kPathOpened || result == kImportCancelled ? static_cast<int>(result)
                                                             : kGoToChooser;
}
